// User input for tests and the live view: what the mouse and keyboard would post to a window's thread.
#include "platform/win32/message_queue.h"
#include "platform/win32/window_model.h"

namespace kvr::standin {

namespace {

constexpr LPARAM keyDownBits = 1;        // repeat count 1
constexpr LPARAM keyUpBits = 0xC0000001; // repeat count 1, previous state down, transition up

bool lf_acceptsInput(HWND hwnd, ControlKind wanted, bool anyKind) {
    WindowRegistry& registry = windowRegistry();
    std::lock_guard lock(registry.mutex);
    WindowObject* window = registry.find(hwnd);
    return window && (anyKind || window->kind == wanted) && registry.enabledForInput(hwnd);
}

void lf_postKey(HWND hwnd, WPARAM key, LPARAM extra = 0) {
    PostMessageW(hwnd, WM_KEYDOWN, key, keyDownBits | extra);
    PostMessageW(hwnd, WM_KEYUP, key, keyUpBits | extra);
}

} // namespace

bool click(HWND hwnd) {
    if (!lf_acceptsInput(hwnd, ControlKind::none, true))
        return false;
    PostMessageW(hwnd, WM_LBUTTONDOWN, 0, 0);
    PostMessageW(hwnd, WM_LBUTTONUP, 0, 0);
    return true;
}

bool chooseComboItem(HWND combo, int index) {
    if (!lf_acceptsInput(combo, ControlKind::comboBox, false))
        return false;
    return PostMessageW(combo, comboChooseMessage, static_cast<WPARAM>(index), 0) != FALSE;
}

bool pressKey(HWND hwnd, WPARAM virtualKey) {
    if (!lf_acceptsInput(hwnd, ControlKind::none, true))
        return false;
    lf_postKey(hwnd, virtualKey);
    return true;
}

bool typeText(HWND hwnd, const std::string& utf8) {
    if (!lf_acceptsInput(hwnd, ControlKind::none, true))
        return false;
    for (const wchar_t c : gf_fromUtf8(utf8)) {
        if (c >= L'a' && c <= L'z') {
            lf_postKey(hwnd, static_cast<WPARAM>(c - L'a' + L'A'));
        } else if (c >= L'A' && c <= L'Z') {
            PostMessageW(hwnd, WM_KEYDOWN, VK_SHIFT, keyDownBits);
            lf_postKey(hwnd, static_cast<WPARAM>(c));
            PostMessageW(hwnd, WM_KEYUP, VK_SHIFT, keyUpBits);
        } else if ((c >= L'0' && c <= L'9') || c == L' ') {
            lf_postKey(hwnd, static_cast<WPARAM>(c));
        } else {
            // Characters without a key of their own arrive as injected Unicode input.
            lf_postKey(hwnd, VK_PACKET, static_cast<LPARAM>(static_cast<std::uint64_t>(c) << 32));
        }
    }
    return true;
}

} // namespace kvr::standin
