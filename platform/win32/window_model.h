#pragma once
// The stand-in's model of windows: every window an object in one registry, guarded by one mutex. Window
// procedures are never called while that mutex is held.
#include "platform/win32/standin.h"
#include "platform/win32/win32_api.h"

#include <cairo.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace kvr::standin {

struct MessageQueue;

// Height of the caption and frame above the client area of a top-level window with WS_CAPTION.
inline constexpr int captionHeight = 40;

enum class ControlKind { none, button, comboBox, edit };

// The raster a top-level window paints into. Its mutex is held from BeginPaint to EndPaint and while a
// picture is taken, so a picture never shows half a paint.
struct Canvas {
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    std::mutex mutex;
    cairo_surface_t* surface;
    std::vector<DrawnText> texts; // since the last BeginPaint
};

struct WindowClass {
    std::wstring name;
    WNDPROC proc = nullptr;
    UINT style = 0;
    HBRUSH background = nullptr;
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
    HCURSOR cursor = nullptr;
    HINSTANCE instance = nullptr;
    ControlKind kind = ControlKind::none;
};

struct WindowObject {
    HWND handle = nullptr;
    std::wstring className;
    ControlKind kind = ControlKind::none;
    WNDPROC proc = nullptr;
    HBRUSH background = nullptr;
    std::wstring text;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect{}; // screen coordinates for a top-level window, the parent's client coordinates for a child
    RECT restoredRect{};
    bool minimized = false;
    HWND parent = nullptr;
    int id = 0;
    HINSTANCE instance = nullptr;
    LONG_PTR userData = 0;
    std::shared_ptr<MessageQueue> queue;
    std::vector<HWND> children;

    // Built-in control state.
    bool ownBorder = false; // an edit box created with WS_BORDER draws its border itself
    HFONT font = nullptr;   // set by WM_SETFONT; none draws in the System font
    int fontCellHeight = 0; // of that font
    bool checked = false;
    int droppedHeight = 0; // a drop-down combo box: the height of its dropped list
    std::vector<std::wstring> items;
    int selection = -1;

    // Painting.
    bool hasUpdate = false;
    RECT update{};
    bool erase = false;
    std::shared_ptr<Canvas> canvas; // top-level windows only

    bool isTopLevel() const { return parent == nullptr; }
    RECT clientRect() const;
};

struct WindowRegistry {
    std::mutex mutex;
    std::map<HWND, std::shared_ptr<WindowObject>> windows;
    std::map<std::wstring, WindowClass> classes; // by upper-case name: class names ignore case
    std::uintptr_t nextHandle = 0x10010;
    HWND firstTopLevel = nullptr; // the main window: signals and VANTREL_WINDOW_PNG concern it
    UINT dpi = 96;                // of the one display every window is on

    // Callers hold mutex.
    WindowObject* find(HWND hwnd);
    bool enabledForInput(HWND hwnd);
};

WindowRegistry& windowRegistry();

// Where the window's client area begins, in screen coordinates (caller holds the registry mutex).
POINT gf_clientOriginLocked(WindowRegistry& registry, const WindowObject& window);

std::wstring gf_upperCase(std::wstring_view text);
std::string gf_toUtf8(std::wstring_view text);
std::wstring gf_fromUtf8(std::string_view text); // bytes that are not UTF-8 become U+FFFD

// The built-in classes BUTTON, COMBOBOX and EDIT.
void gf_registerBuiltInClasses(WindowRegistry& registry);
// What Win32 makes of a new window's style and size before WM_CREATE: top-level windows always clip their
// siblings, a frame gives the window edge, and the built-in controls adjust themselves.
void gf_applyCreationRules(WindowObject& window);

// The height of a closed drop-down combo box in the System font; the height given at creation is that of its
// dropped list. A larger font makes the field higher in proportion.
inline constexpr int closedComboHeight = 24;
int gf_closedComboHeight(const WindowObject& combo);
// A drop-down combo box given a height (creation, moving): its field keeps its own height, the dropped list
// takes the rest.
void gf_splitComboHeight(WindowObject& combo, int height);
bool gf_isDropDown(const WindowObject& window);
// The width of a combo box's drop-down arrow.
inline constexpr int comboButtonWidth = 17;

// The cell height of a font handle (the System font's for one GDI does not know).
int gf_fontCellHeight(HGDIOBJ font);

// A stand-in message the combo box understands: the user picked entry wParam from the dropped list.
inline constexpr UINT comboChooseMessage = WM_USER + 0x3F01;

} // namespace kvr::standin
