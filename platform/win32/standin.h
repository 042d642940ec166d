#pragma once
// What the Win32 stand-in offers beyond Win32 itself: user input for tests and the live view, pictures of
// windows, the calls it records, the program's resource table and the process set-up that Windows does
// before wWinMain. Not available on Windows.
#ifndef _WIN32
#include "platform/win32/win32_types.h"

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace kvr::standin {

// User input. Each posts what the hardware would post to the window's thread, so it takes effect when that
// thread pumps its messages. False (and nothing posted) when the window does not exist, is hidden or
// is disabled (itself or one of its parents).
bool click(HWND hwnd);                       // mouse down and up: buttons and check boxes notify BN_CLICKED
bool chooseComboItem(HWND combo, int index); // the user picks an entry from the dropped list
bool typeText(HWND hwnd, const std::string& utf8); // key down, character, key up for each character
bool pressKey(HWND hwnd, WPARAM virtualKey);       // key down and key up

// Processes every message that is waiting for the calling thread (sent, posted, paint) without waiting,
// translating and dispatching as a message loop does. False when WM_QUIT was among them.
bool pumpMessages();

// The window with its frame, caption, client canvas and child controls in a classic look.
bool renderWindowPng(HWND hwnd, const std::filesystem::path& path);
// One pixel of the client canvas, as painted so far.
COLORREF clientPixel(HWND hwnd, int x, int y);
// The entries of a combo box, as UTF-8.
std::vector<std::string> comboItems(HWND combo);

// The texts drawn by TextOutW into the window since its last BeginPaint.
struct DrawnText {
    int x;
    int y;
    std::string text;
    COLORREF colour;
};
std::vector<DrawnText> drawnTexts(HWND hwnd);

// Calls that would show something outside the window; recorded for tests to read back.
struct MessageBoxCall {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};
struct ShellExecuteCall {
    std::string operation;
    std::string file;
    std::string parameters;
    std::string directory;
    int showCommand;
    std::intptr_t result;
};
std::vector<MessageBoxCall> messageBoxCalls();
std::vector<ShellExecuteCall> shellExecuteCalls();
void clearRecordedCalls();

// The program's resource table, which a Windows build takes from its .rc file.
void registerStringResource(UINT id, const std::wstring& text);
void registerIconResource(UINT id);

// What Windows sets up for a process before its entry point: the command line, SIGINT/SIGTERM as a
// click on the close box of the top-level window, opening documents with xdg-open, and the picture of
// the main window that VANTREL_WINDOW_PNG asks for (written after painting, at most once a second, and
// when the scope ends). One per process, in main.
class ProcessScope {
public:
    ProcessScope(int argc, char** argv);
    ~ProcessScope();
    ProcessScope(const ProcessScope&) = delete;
    ProcessScope& operator=(const ProcessScope&) = delete;

private:
    int wakePipe_[2] = {-1, -1};
    std::thread signalWatcher_;
};

// The DPI of the display, as GetDpiForWindow reports it for every window: 96 unless a test sets another.
// Windows tells a window of a new DPI with WM_DPICHANGED, which the test then sends itself.
void setDisplayDpi(UINT dpi);

// The process arguments as GetCommandLineW returns them (tests set them without a ProcessScope).
void setProcessArguments(const std::vector<std::wstring>& arguments);

} // namespace kvr::standin
#endif
