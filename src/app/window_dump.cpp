// VANTREL_WINDOW_JSON: the main window read back through the Win32 API only, so that the dump of the
// Windows build and the dump of the stand-in build describe the same things in the same words.
#include "app/window_dump.h"

#include "core/log.h"
#include "core/native_path.h"
#include "core/utf.h"
#include "core/xml_util.h"

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

namespace kvr {

namespace {

using Clock = std::chrono::steady_clock;
using Json = nlohmann::ordered_json;

constexpr auto minimumInterval = std::chrono::seconds(1);
constexpr UINT_PTR dumpTimerId = 0x4A53;
constexpr int classNameLength = 256;

struct PaintedText {
    int x;
    int y;
    std::string text;
    COLORREF colour;
    SIZE extent;
};

struct DumpState {
    std::mutex mutex;
    std::vector<PaintedText> painting; // the paint under way
    std::vector<PaintedText> painted;  // the last paint that ended
    std::optional<Clock::time_point> lastWrite;
    bool owed = false;
    bool failureLogged = false;
};

DumpState& lf_state() {
    static DumpState state;
    return state;
}

std::string lf_utf8(const std::wstring& wide) {
    try {
        return wide_to_utf8(wide);
    } catch (const std::exception&) {
        return "\xEF\xBF\xBD"; // a text that is no valid UTF-16 shows as one replacement character
    }
}

// The file named by VANTREL_WINDOW_JSON, read once; nothing when it is not set or empty.
const std::optional<std::filesystem::path>& lf_dumpPath() {
    static const std::optional<std::filesystem::path> path = []() -> std::optional<std::filesystem::path> {
        const DWORD size = GetEnvironmentVariableW(L"VANTREL_WINDOW_JSON", nullptr, 0);
        if (size <= 1)
            return std::nullopt;
        std::wstring value(size, L'\0');
        value.resize(GetEnvironmentVariableW(L"VANTREL_WINDOW_JSON", value.data(), size));
        return gf_pathFromUtf8(lf_utf8(value));
    }();
    return path;
}

std::wstring lf_wideWindowText(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), length + 1)));
    return text;
}

std::string lf_windowText(HWND hwnd) {
    return lf_utf8(lf_wideWindowText(hwnd));
}

std::string lf_className(HWND hwnd) {
    WCHAR name[classNameLength] = {};
    const int length = GetClassNameW(hwnd, name, classNameLength);
    return lf_utf8(std::wstring(name, static_cast<std::size_t>(std::max(length, 0))));
}

// Class names ignore case, as Win32 compares them.
bool lf_isClass(std::string_view name, std::string_view wanted) {
    return std::equal(name.begin(), name.end(), wanted.begin(), wanted.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

std::string lf_hex(LONG_PTR value) {
    return fmt::format("{:#010x}", static_cast<DWORD>(value));
}

std::string lf_colour(COLORREF colour) {
    return fmt::format("#{:02x}{:02x}{:02x}", GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

// The widths of texts as a control draws them: in its own font (none set is the System font).
Json lf_widthsInControlFont(HWND control, const std::vector<std::wstring>& texts) {
    Json widths = Json::array();
    HDC dc = GetDC(control);
    if (!dc)
        return widths;
    const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    const HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    for (const std::wstring& text : texts) {
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        widths.push_back(size.cx);
    }
    if (previous)
        SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return widths;
}

// The entries of a combo box; an entry that cannot be read is an empty text.
std::vector<std::wstring> lf_comboItems(HWND combo) {
    std::vector<std::wstring> items;
    const auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const auto index = static_cast<WPARAM>(i);
        const auto length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
        std::wstring text(length == CB_ERR ? 0 : static_cast<std::size_t>(length) + 1, L'\0');
        const auto copied = length == CB_ERR ? CB_ERR
                                             : SendMessageW(combo, CB_GETLBTEXT, index,
                                                            reinterpret_cast<LPARAM>(text.data()));
        text.resize(copied == CB_ERR ? 0 : static_cast<std::size_t>(copied));
        items.push_back(std::move(text));
    }
    return items;
}

Json lf_child(HWND parent, HWND child) {
    Json entry;
    const std::string className = lf_className(child);
    entry["class"] = className;
    entry["id"] = GetDlgCtrlID(child);
    const HWND ownParent = GetParent(child);
    if (ownParent != parent)
        entry["parentId"] = GetDlgCtrlID(ownParent);
    RECT rect{};
    GetWindowRect(child, &rect);
    // Two points: the rectangle's corners, in the client coordinates of the window that holds it.
    MapWindowPoints(HWND_DESKTOP, ownParent, reinterpret_cast<POINT*>(&rect), 2);
    entry["rect"] = {rect.left, rect.top, rect.right, rect.bottom};
    entry["text"] = lf_windowText(child);
    entry["style"] = lf_hex(GetWindowLongPtrW(child, GWL_STYLE));
    entry["exStyle"] = lf_hex(GetWindowLongPtrW(child, GWL_EXSTYLE));
    entry["enabled"] = IsWindowEnabled(child) != FALSE;
    entry["visible"] = IsWindowVisible(child) != FALSE;
    if (lf_isClass(className, "Button")) {
        entry["check"] = SendMessageW(child, BM_GETCHECK, 0, 0);
        entry["textWidth"] = lf_widthsInControlFont(child, {lf_wideWindowText(child)})[0];
    }
    if (lf_isClass(className, "ComboBox")) {
        RECT dropped{};
        SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
        MapWindowPoints(HWND_DESKTOP, ownParent, reinterpret_cast<POINT*>(&dropped), 2);
        entry["dropped"] = {dropped.left, dropped.top, dropped.right, dropped.bottom};
        const std::vector<std::wstring> items = lf_comboItems(child);
        Json texts = Json::array();
        for (const std::wstring& item : items)
            texts.push_back(lf_utf8(item));
        entry["items"] = texts;
        entry["selection"] = SendMessageW(child, CB_GETCURSEL, 0, 0);
        // The room an entry has in the closed box, and each entry's width in the box's font.
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        if (GetComboBoxInfo(child, &info))
            entry["itemRoom"] = info.rcItem.right - info.rcItem.left;
        entry["itemWidths"] = lf_widthsInControlFont(child, items);
    }
    return entry;
}

BOOL CALLBACK lf_collectChild(HWND child, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

void lf_writeDump(HWND hwnd) {
    const auto& path = lf_dumpPath();
    if (!path || !IsWindow(hwnd))
        return;
    DumpState& state = lf_state();
    {
        std::lock_guard lock(state.mutex);
        state.lastWrite = Clock::now();
    }
    if (gf_replaceFileAtomically(*path, gf_windowDumpJson(hwnd)))
        return;
    std::lock_guard lock(state.mutex);
    if (!state.failureLogged)
        gf_logLine(fmt::format("The window dump could not be written to {}", gf_pathToUtf8(*path)));
    state.failureLogged = true;
}

void CALLBACK lf_onDumpTimer(HWND hwnd, UINT, UINT_PTR id, DWORD) {
    KillTimer(hwnd, id);
    {
        DumpState& state = lf_state();
        std::lock_guard lock(state.mutex);
        state.owed = false;
    }
    lf_writeDump(hwnd);
}

} // namespace

std::string gf_windowDumpJson(HWND hwnd) {
    Json window;
    window["class"] = lf_className(hwnd);
    window["text"] = lf_windowText(hwnd);
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    window["rect"] = {rect.left, rect.top, rect.right, rect.bottom};
    RECT client{};
    GetClientRect(hwnd, &client);
    window["client"] = {client.right - client.left, client.bottom - client.top};
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    window["clientOrigin"] = {origin.x, origin.y};
    window["style"] = lf_hex(GetWindowLongPtrW(hwnd, GWL_STYLE));
    window["exStyle"] = lf_hex(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
    window["dpi"] = GetDpiForWindow(hwnd);

    std::vector<HWND> children;
    EnumChildWindows(hwnd, lf_collectChild, reinterpret_cast<LPARAM>(&children));
    std::vector<Json> controls;
    for (HWND child : children)
        controls.push_back(lf_child(hwnd, child));

    std::vector<Json> texts;
    {
        DumpState& state = lf_state();
        std::lock_guard lock(state.mutex);
        for (const PaintedText& text : state.painted)
            texts.push_back({{"x", text.x},
                             {"y", text.y},
                             {"text", text.text},
                             {"colour", lf_colour(text.colour)},
                             {"extent", {text.extent.cx, text.extent.cy}}});
    }

    // One control and one text a line, so that two dumps compare line by line.
    const auto line = [](const Json& value) {
        return value.dump(-1, ' ', false, Json::error_handler_t::replace);
    };
    const auto list = [&line](const std::vector<Json>& entries) {
        std::string out = "[";
        for (std::size_t i = 0; i < entries.size(); ++i)
            out += (i == 0 ? "\n  " : ",\n  ") + line(entries[i]);
        return out + (entries.empty() ? "]" : "\n ]");
    };
    return "{\n \"window\": " + line(window) + ",\n \"controls\": " + list(controls) +
           ",\n \"texts\": " + list(texts) + "\n}\n";
}

void gf_recordPaintedText(HDC dc, int x, int y, const std::wstring& text, COLORREF colour) {
    if (!lf_dumpPath())
        return;
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    DumpState& state = lf_state();
    std::lock_guard lock(state.mutex);
    state.painting.push_back(PaintedText{x, y, lf_utf8(text), colour, extent});
}

void gf_onMainWindowPainted(HWND hwnd) {
    if (!lf_dumpPath())
        return;
    DumpState& state = lf_state();
    {
        std::lock_guard lock(state.mutex);
        state.painted = std::move(state.painting);
        state.painting.clear();
        const auto now = Clock::now();
        if (state.lastWrite && now - *state.lastWrite < minimumInterval) {
            if (!state.owed) {
                // The timer's procedure runs on this thread, from its message loop, once the second is over.
                const auto wait =
                    std::chrono::ceil<std::chrono::milliseconds>(*state.lastWrite + minimumInterval - now);
                state.owed =
                    SetTimer(hwnd, dumpTimerId, static_cast<UINT>(wait.count()), lf_onDumpTimer) != 0;
            }
            return;
        }
    }
    lf_writeDump(hwnd);
}

void gf_writeFinalWindowDump(HWND hwnd) {
    if (!lf_dumpPath() || !hwnd)
        return;
    // What the owed timer would do, done now.
    lf_onDumpTimer(hwnd, WM_TIMER, dumpTimerId, 0);
}

} // namespace kvr
