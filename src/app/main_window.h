#pragma once
// The process's one main window: its handles, the GDI part of the status display, and the entry points.
#include "platform/win32/win32.h"
#include "settings/parameter.h"

#include <array>
#include <atomic>
#include <memory>
#include <thread>
#include <type_traits>

namespace kvr {

// Private messages, posted with 0 in wParam and lParam.
inline constexpr UINT WM_APP_START_RUN = WM_APP + 1;  // start a pass of the run thread
inline constexpr UINT WM_APP_STORE_QUIT = WM_APP + 2; // store the window position and quit

// Client areas of the main window (left, top, right, bottom).
inline constexpr RECT headerRect{0, 0, 880, 28};
inline constexpr RECT statusPaneRect{0, 28, 880, 112};
inline constexpr RECT controlsRect{0, 112, 880, 392};
inline constexpr RECT trafficPaneRect{0, 392, 880, 448};
inline constexpr RECT messageLineRect{0, 448, 880, 476};
inline constexpr RECT simLampRect{397, 30, 425, 112};
inline constexpr RECT rtLampRect{425, 30, 453, 112};

// The client area everything is painted in; the window's outer size adds the system's frame and caption
// (880 x 516 with the stand-in's 40-pixel caption).
inline constexpr int mainWindowWidth = 880;
inline constexpr int mainClientHeight = 476;

// Colours of the status display.
inline constexpr COLORREF redColour = RGB(255, 0, 0);
inline constexpr COLORREF lightBlueColour = RGB(153, 204, 255);
inline constexpr COLORREF blackColour = RGB(0, 0, 0);
inline constexpr COLORREF greenColour = RGB(50, 205, 50);
inline constexpr COLORREF yellowColour = RGB(255, 255, 0);
inline constexpr COLORREF greyColour = RGB(160, 160, 160);

struct GdiObjectDeleter {
    void operator()(void* object) const { DeleteObject(static_cast<HGDIOBJ>(object)); }
};
using BrushHandle = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;
using PenHandle = std::unique_ptr<std::remove_pointer_t<HPEN>, GdiObjectDeleter>;
using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;

// The GDI half of the status display; the values it shows live in statusDisplay (core/status_display.h)
// and the message line (core/message_line.h), where the subsystems below the shell write them.
class MainWindow {
public:
    MainWindow();
    virtual ~MainWindow() = default;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    NumParameter& windowX; // MAIN_WINDOW_X
    NumParameter& windowY; // MAIN_WINDOW_Y

    BrushHandle redBrush;
    BrushHandle lightBlueBrush;
    BrushHandle blackBrush;
    BrushHandle greenBrush;
    BrushHandle yellowBrush;
    PenHandle blackPen;
    PenHandle whitePen;
    // The separator lines of the controls area.
    std::array<std::array<POINT, 2>, 7> separatorLines;

    HDC paintDc = nullptr; // valid only inside WM_PAINT

    // The DPI of the display the window is on, and the text font made for it (none at 96 DPI: the device
    // context's own font draws the text there). See dpi_layout.h.
    std::atomic<int> dpi{96};
    FontHandle textFont;

    std::atomic<bool> ready{false}; // set last, when everything above exists
};

extern MainWindow mainWindow;

extern std::atomic<HWND> mainWindowHandle;    // set by initInstance as soon as the window exists
extern std::atomic<HWND> controlParentHandle; // the window most recently passed to lf_mainWndProc
extern std::atomic<bool> productionMode;      // set once from the command line

// Everything from the command line to the end of the message loop; the process exit code.
int gf_runMainWindow(HINSTANCE instance);

// The program's resource table (string 101 = the short name, icon 100); a Windows build has it in its .rc.
void gf_registerProgramResources();

} // namespace kvr

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previousInstance, PWSTR commandLine, int showCommand);
