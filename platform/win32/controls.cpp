// The built-in control classes BUTTON, COMBOBOX and EDIT. State set from code never notifies the parent;
// the user's actions, which arrive through the message queue, notify it as Win32 controls do.
#include "platform/win32/gdi_font.h"
#include "platform/win32/message_queue.h"
#include "platform/win32/window_model.h"

#include <algorithm>

namespace kvr::standin {

namespace {

struct ControlInfo {
    bool exists = false;
    bool enabled = false;
    HWND parent = nullptr;
    int id = 0;
    DWORD style = 0;
};

ControlInfo lf_info(HWND hwnd) {
    WindowRegistry& registry = windowRegistry();
    std::lock_guard lock(registry.mutex);
    WindowObject* window = registry.find(hwnd);
    if (!window)
        return {};
    return ControlInfo{true, registry.enabledForInput(hwnd), window->parent, window->id, window->style};
}

template <typename Action> LRESULT lf_withState(HWND hwnd, Action&& action) {
    WindowRegistry& registry = windowRegistry();
    std::lock_guard lock(registry.mutex);
    WindowObject* window = registry.find(hwnd);
    return window ? action(*window) : 0;
}

void lf_notifyParent(HWND hwnd, WORD code) {
    const ControlInfo info = lf_info(hwnd);
    if (info.parent)
        SendMessageW(info.parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(info.id), code),
                     reinterpret_cast<LPARAM>(hwnd));
}

LRESULT CALLBACK lf_buttonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case BM_SETCHECK:
        return lf_withState(hwnd, [&](WindowObject& w) -> LRESULT {
            w.checked = wParam != BST_UNCHECKED;
            return 0;
        });
    case BM_GETCHECK:
        return lf_withState(
            hwnd, [](WindowObject& w) -> LRESULT { return w.checked ? BST_CHECKED : BST_UNCHECKED; });
    case BM_CLICK:
        if (lf_info(hwnd).enabled) {
            SendMessageW(hwnd, WM_LBUTTONDOWN, 0, 0);
            SendMessageW(hwnd, WM_LBUTTONUP, 0, 0);
        }
        return 0;
    case WM_LBUTTONDOWN:
        return 0;
    case WM_LBUTTONUP: {
        const ControlInfo info = lf_info(hwnd);
        if (!info.enabled)
            return 0;
        if ((info.style & BS_TYPEMASK) == static_cast<DWORD>(BS_AUTOCHECKBOX))
            lf_withState(hwnd, [](WindowObject& w) -> LRESULT {
                w.checked = !w.checked;
                return 0;
            });
        lf_notifyParent(hwnd, BN_CLICKED);
        return 0;
    }
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

LRESULT CALLBACK lf_comboProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto index = static_cast<int>(static_cast<std::intptr_t>(wParam));
    switch (message) {
    case CB_ADDSTRING:
    case CB_INSERTSTRING:
        return lf_withState(hwnd, [&](WindowObject& w) -> LRESULT {
            const auto* text = reinterpret_cast<LPCWSTR>(lParam);
            const int count = static_cast<int>(w.items.size());
            const int at = message == CB_ADDSTRING || index < 0 ? count : index;
            if (at > count)
                return CB_ERR;
            w.items.insert(w.items.begin() + at, text ? text : L"");
            if (w.selection >= at)
                ++w.selection;
            return at;
        });
    case CB_DELETESTRING:
        return lf_withState(hwnd, [&](WindowObject& w) -> LRESULT {
            if (index < 0 || index >= static_cast<int>(w.items.size()))
                return CB_ERR;
            w.items.erase(w.items.begin() + index);
            if (w.selection == index)
                w.selection = -1;
            else if (w.selection > index)
                --w.selection;
            return static_cast<LRESULT>(w.items.size());
        });
    case CB_RESETCONTENT:
        return lf_withState(hwnd, [](WindowObject& w) -> LRESULT {
            w.items.clear();
            w.selection = -1;
            return 0;
        });
    case CB_GETCOUNT:
        return lf_withState(hwnd, [](WindowObject& w) { return static_cast<LRESULT>(w.items.size()); });
    case CB_SETCURSEL:
        return lf_withState(hwnd, [&](WindowObject& w) -> LRESULT {
            if (index < 0 || index >= static_cast<int>(w.items.size())) {
                w.selection = -1;
                return CB_ERR;
            }
            w.selection = index;
            return index;
        });
    case CB_GETCURSEL:
        return lf_withState(
            hwnd, [](WindowObject& w) -> LRESULT { return w.selection < 0 ? CB_ERR : w.selection; });
    case CB_GETLBTEXT:
    case CB_GETLBTEXTLEN:
        return lf_withState(hwnd, [&](WindowObject& w) -> LRESULT {
            if (index < 0 || index >= static_cast<int>(w.items.size()))
                return CB_ERR;
            const std::wstring& item = w.items[static_cast<std::size_t>(index)];
            if (message == CB_GETLBTEXT) {
                auto* buffer = reinterpret_cast<LPWSTR>(lParam);
                if (!buffer)
                    return CB_ERR;
                std::copy(item.begin(), item.end(), buffer);
                buffer[item.size()] = L'\0';
            }
            return static_cast<LRESULT>(item.size());
        });
    case CB_FINDSTRINGEXACT:
        return lf_withState(hwnd, [&](WindowObject& w) -> LRESULT {
            const auto* text = reinterpret_cast<LPCWSTR>(lParam);
            if (!text)
                return CB_ERR;
            const std::wstring wanted = gf_upperCase(text);
            const int count = static_cast<int>(w.items.size());
            for (int k = 1; k <= count; ++k) {
                const int i = (index + k + count) % count;
                if (gf_upperCase(w.items[static_cast<std::size_t>(i)]) == wanted)
                    return i;
            }
            return CB_ERR;
        });
    case CB_GETDROPPEDCONTROLRECT: {
        auto* dropped = reinterpret_cast<RECT*>(lParam);
        if (!dropped || !GetWindowRect(hwnd, dropped))
            return FALSE;
        const int height = static_cast<int>(lf_withState(hwnd, [](WindowObject& w) -> LRESULT {
            return w.droppedHeight > 0 ? w.droppedHeight : gf_closedComboHeight(w);
        }));
        dropped->bottom = dropped->top + height;
        return TRUE;
    }
    case WM_SETFONT: {
        // The field grows with the font, out of the height given for field and list together.
        const auto given = lf_withState(
            hwnd, [](WindowObject& w) -> LRESULT { return w.rect.bottom - w.rect.top + w.droppedHeight; });
        DefWindowProcW(hwnd, message, wParam, lParam);
        return lf_withState(hwnd, [&](WindowObject& w) -> LRESULT {
            if (gf_isDropDown(w))
                gf_splitComboHeight(w, static_cast<int>(given));
            return 0;
        });
    }
    case WM_SETTEXT:
        // A drop-down list has no text of its own to set.
        return (GetWindowLongPtrW(hwnd, GWL_STYLE) & 0x3) == CBS_DROPDOWNLIST
                   ? CB_ERR
                   : DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
        // A drop-down list shows the selected entry as its text.
        return lf_withState(hwnd, [&](WindowObject& w) -> LRESULT {
            const std::wstring selected = w.selection >= 0 && w.selection < static_cast<int>(w.items.size())
                                              ? w.items[static_cast<std::size_t>(w.selection)]
                                              : std::wstring();
            if (message == WM_GETTEXTLENGTH)
                return static_cast<LRESULT>(selected.size());
            auto* buffer = reinterpret_cast<LPWSTR>(lParam);
            if (!buffer || wParam == 0)
                return 0;
            const std::size_t count = std::min<std::size_t>(selected.size(), wParam - 1);
            std::copy_n(selected.begin(), count, buffer);
            buffer[count] = L'\0';
            return static_cast<LRESULT>(count);
        });
    case comboChooseMessage: {
        if (!lf_info(hwnd).enabled)
            return 0;
        const bool valid = lf_withState(hwnd, [&](WindowObject& w) -> LRESULT {
            return index >= 0 && index < static_cast<int>(w.items.size());
        });
        if (!valid)
            return 0;
        // The user drops the list, picks an entry (also the one already selected) and the list closes.
        lf_notifyParent(hwnd, CBN_DROPDOWN);
        lf_withState(hwnd, [&](WindowObject& w) -> LRESULT {
            w.selection = index;
            return 0;
        });
        lf_notifyParent(hwnd, CBN_SELENDOK);
        lf_notifyParent(hwnd, CBN_CLOSEUP);
        lf_notifyParent(hwnd, CBN_SELCHANGE);
        return 0;
    }
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

// A single-line edit box with its caret at the end of its text.
LRESULT CALLBACK lf_editProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_CHAR)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    const auto character = static_cast<wchar_t>(wParam);
    const bool changed = lf_withState(hwnd, [&](WindowObject& w) -> LRESULT {
        if (character == static_cast<wchar_t>(VK_BACK)) {
            if (w.text.empty())
                return false;
            w.text.pop_back();
            return true;
        }
        if (character < 0x20 || character == 0x7F)
            return false; // Enter, Tab and Escape change nothing in a single-line box
        w.text += character;
        return true;
    });
    if (changed) {
        lf_notifyParent(hwnd, EN_UPDATE);
        lf_notifyParent(hwnd, EN_CHANGE);
    }
    return 0;
}

} // namespace

void gf_applyCreationRules(WindowObject& window) {
    if (!(window.style & WS_CHILD)) {
        window.style |= WS_CLIPSIBLINGS;
        if (!(window.style & WS_POPUP))
            window.style |= WS_CAPTION;
    }
    if ((window.style & WS_DLGFRAME) || ((window.style & WS_THICKFRAME) && !(window.style & WS_CHILD)))
        window.exStyle |= WS_EX_WINDOWEDGE;
    if (window.kind == ControlKind::edit && (window.style & WS_BORDER) &&
        !(window.exStyle & WS_EX_CLIENTEDGE)) {
        window.style &= ~WS_BORDER;
        window.ownBorder = true;
    }
    if (gf_isDropDown(window)) {
        // The scroll bars belong to the dropped list, not to the box.
        window.style &= ~(WS_VSCROLL | WS_HSCROLL);
        gf_splitComboHeight(window, window.rect.bottom - window.rect.top);
    }
}

bool gf_isDropDown(const WindowObject& window) {
    return window.kind == ControlKind::comboBox && (window.style & static_cast<DWORD>(CBS_DROPDOWN));
}

int gf_closedComboHeight(const WindowObject& combo) {
    if (combo.fontCellHeight <= 0)
        return closedComboHeight;
    return (closedComboHeight * combo.fontCellHeight + systemFontCellHeight / 2) / systemFontCellHeight;
}

void gf_splitComboHeight(WindowObject& combo, int height) {
    // As Win32 reports it: the dropped list takes what the closed field leaves of the height given.
    const int closed = gf_closedComboHeight(combo);
    combo.droppedHeight = height - closed;
    combo.rect.bottom = combo.rect.top + closed;
}

} // namespace kvr::standin

using namespace kvr::standin;

// The entry's field as the picture draws it: inside the frame, left of the arrow.
BOOL WINAPI GetComboBoxInfo(HWND combo, PCOMBOBOXINFO info) {
    if (!info)
        return FALSE;
    WindowRegistry& registry = windowRegistry();
    std::lock_guard lock(registry.mutex);
    WindowObject* window = registry.find(combo);
    if (!window || window->kind != ControlKind::comboBox)
        return FALSE;
    const LONG width = window->rect.right - window->rect.left;
    const LONG height = window->rect.bottom - window->rect.top;
    info->rcItem = RECT{4, 1, width - comboButtonWidth - 2, height - 4};
    info->rcButton = RECT{width - comboButtonWidth - 1, 1, width - 1, height - 4};
    info->stateButton = 0;
    info->hwndCombo = combo;
    info->hwndItem = nullptr;
    info->hwndList = nullptr;
    return TRUE;
}

namespace kvr::standin {

void gf_registerBuiltInClasses(WindowRegistry& registry) {
    auto add = [&registry](const wchar_t* name, WNDPROC proc, ControlKind kind) {
        WindowClass cls;
        cls.name = name;
        cls.proc = proc;
        cls.kind = kind;
        registry.classes.emplace(gf_upperCase(name), cls);
    };
    add(L"Button", lf_buttonProc, ControlKind::button);
    add(L"ComboBox", lf_comboProc, ControlKind::comboBox);
    add(L"Edit", lf_editProc, ControlKind::edit);
}

} // namespace kvr::standin
