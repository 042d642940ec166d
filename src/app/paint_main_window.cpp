// WM_PAINT: the panes of the main window, from top to bottom, and the message line.
#include "app/dpi_layout.h"
#include "app/paint_internal.h"
#include "app/window_dump.h"
#include "core/log.h"
#include "core/message_line.h"
#include "core/program_version.h"
#include "core/status_display.h"
#include "core/utf.h"

#include <fmt/format.h>

#include <optional>
#include <string_view>

namespace kvr {

namespace {

constexpr POINT messageTextAt{3, 455};

constexpr std::wstring_view ellipsis = L"\u2026";

std::optional<std::wstring> lf_wide(const std::string& text) {
    try {
        return utf8_to_wide(text);
    } catch (const std::exception& e) {
        gf_logUnlessQuiet(fmt::format("TextOut utf8  to wide failed for '{}': {}", text, e.what()));
        return std::nullopt;
    }
}

void lf_drawWide(int x, int y, const std::wstring& wide, COLORREF colour) {
    HDC dc = mainWindow.paintDc;
    gf_recordPaintedText(dc, x, y, wide, colour);
    const COLORREF previous = SetTextColor(dc, colour);
    TextOutW(dc, x, y, wide.c_str(), static_cast<int>(wide.size()));
    SetTextColor(dc, previous);
}

int lf_width(const std::wstring& text) {
    SIZE size{};
    if (!GetTextExtentPoint32W(mainWindow.paintDc, text.c_str(), static_cast<int>(text.size()), &size))
        return 0;
    return static_cast<int>(size.cx);
}

// Where a text too wide for its room loses its units to the ellipsis.
enum class Cut { atEnd, atStart, inMiddle };

// The text with `keep` of its UTF-16 units and the ellipsis in place of the others; a cut never splits a
// surrogate pair.
std::wstring lf_shortened(const std::wstring& text, std::size_t keep, Cut cut) {
    auto isLowSurrogate = [](wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; };
    const std::size_t headKept = cut == Cut::atStart ? 0 : cut == Cut::atEnd ? keep : (keep + 1) / 2;
    std::size_t head = headKept;
    while (head > 0 && head < text.size() && isLowSurrogate(text[head]))
        --head;
    std::size_t tail = text.size() - (keep - headKept);
    while (tail < text.size() && isLowSurrogate(text[tail]))
        ++tail;
    return text.substr(0, head) + std::wstring(ellipsis) + text.substr(tail);
}

// The longest shortened text that fits: the width grows with the units kept.
std::wstring lf_fitted(const std::wstring& text, int room, Cut cut) {
    if (lf_width(text) <= room)
        return text;
    std::size_t fits = 0;
    std::size_t tooMany = text.size();
    while (tooMany - fits > 1) {
        const std::size_t middle = (fits + tooMany) / 2;
        if (lf_width(lf_shortened(text, middle, cut)) <= room)
            fits = middle;
        else
            tooMany = middle;
    }
    return lf_shortened(text, fits, cut);
}

// The message line is one line high; a longer text (a downloaded version's folder) keeps its start and its
// end, which say what happened and what to do, and the whole text is in Log.txt.
void lf_drawMessageText(const std::string& text) {
    const int room = gf_scaled(messageLineRect.right - 2 * messageTextAt.x);
    const POINT at = gf_scaled(messageTextAt);
    if (const auto wide = lf_wide(text))
        lf_drawWide(at.x, at.y, lf_fitted(*wide, room, Cut::inMiddle), yellowColour);
}

} // namespace

void gf_textOut(int x, int y, const std::string& text, COLORREF colour) {
    if (const auto wide = lf_wide(text))
        lf_drawWide(gf_scaled(x), gf_scaled(y), *wide, colour);
}

void gf_textOutWithin(int x, int y, const std::string& text, int room, COLORREF colour, bool keepEnd) {
    if (const auto wide = lf_wide(text))
        lf_drawWide(gf_scaled(x), gf_scaled(y),
                    lf_fitted(*wide, gf_scaled(room), keepEnd ? Cut::atStart : Cut::atEnd), colour);
}

void gf_fillArea(const RECT& area, HBRUSH brush) {
    const RECT scaled = gf_scaled(area);
    FillRect(mainWindow.paintDc, &scaled, brush);
}

void gf_line(POINT from, POINT to) {
    const POINT points[] = {gf_scaled(from), gf_scaled(to)};
    Polyline(mainWindow.paintDc, points, 2);
}

void gf_paintMessageLine(const std::string& message) {
    gf_fillArea(messageLineRect, mainWindow.greenBrush.get());
    if (!message.empty())
        lf_drawMessageText(message);
}

void lf_paintErrorLine(const std::string& error) {
    gf_fillArea(messageLineRect, mainWindow.redBrush.get());
    lf_drawMessageText(error);
}

void lf_paintMainWindow(HDC dc) {
    mainWindow.paintDc = dc;
    // At 96 DPI the device context's own font; the font is put back before the context is handed back.
    const HGDIOBJ previousFont = gf_windowFont() ? SelectObject(dc, gf_windowFont()) : nullptr;
    gf_fillArea(headerRect, mainWindow.blackBrush.get());
    gf_fillArea(statusPaneRect, mainWindow.blackBrush.get());
    gf_fillArea(controlsRect, mainWindow.lightBlueBrush.get());
    gf_fillArea(trafficPaneRect, mainWindow.blackBrush.get());
    gf_fillArea(messageLineRect, mainWindow.greenBrush.get());

    SelectObject(dc, mainWindow.whitePen.get());
    gf_line({0, 28}, {880, 28});
    gf_line({0, 113}, {880, 113});
    gf_line({0, 449}, {880, 449});
    gf_line({0, 392}, {880, 392});
    SetBkMode(dc, TRANSPARENT);

    gf_textOut(3, 7, fmt::format("Version {}", programVersionText), greenColour);
    gf_textOut(390, 7, programShortName, greenColour);

    SelectObject(dc, mainWindow.blackPen.get());
    for (const auto& line : mainWindow.separatorLines)
        gf_line(line[0], line[1]);
    gf_line({642, 140}, {642, 308});

    lf_paintStatusPane();

    if (statusDisplay.authenticated) {
        const int weather = statusDisplay.weatherLampState;
        const int traffic = statusDisplay.trafficLampState;
        if ((weather == 1 || weather == 2) && statusDisplay.shownQnh >= 1)
            gf_textOut(642, 63, fmt::format("qnh: {:4}", statusDisplay.shownQnh.load()), greenColour);
        if (traffic == 1 || traffic == 2)
            gf_textOut(642, 91, fmt::format("live: {:3}", statusDisplay.liveAircraftCount.load()),
                       greenColour);
    }

    lf_paintControlLabels(mainWindow);
    lf_paintTrafficPane();

    // A copy taken under messageMutex: the texts may change on any thread while this paints.
    const MessageLineState line = gf_messageLineSnapshot();
    if (line.errorText.empty())
        gf_paintMessageLine(line.messageText);
    else
        lf_paintErrorLine(line.errorText);
    if (previousFont)
        SelectObject(dc, previousFont);
}

} // namespace kvr
