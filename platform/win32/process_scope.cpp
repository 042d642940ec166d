// The process set-up Windows does before the entry point, and its end.
#include "platform/win32/picture_file.h"
#include "platform/win32/shell_internal.h"
#include "platform/win32/window_model.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <csignal>

namespace kvr::standin {

namespace {

std::atomic<int> signalPipe{-1};

// Only async-signal-safe work here: the watcher thread does the rest.
void lf_onSignal(int signal) {
    const int fd = signalPipe.load();
    if (fd >= 0) {
        const auto byte = static_cast<unsigned char>(signal);
        [[maybe_unused]] const auto written = ::write(fd, &byte, 1);
    }
}

HWND lf_mainWindow() {
    WindowRegistry& registry = windowRegistry();
    std::lock_guard lock(registry.mutex);
    return registry.firstTopLevel;
}

// A signal is a click on the close box. One that comes before the window exists waits for it: the
// program's own close path then ends the process, with its log written.
void lf_watchSignals(int readEnd) {
    constexpr int windowLookMilliseconds = 10;
    bool closePending = false;
    for (;;) {
        pollfd watched{readEnd, POLLIN, 0};
        const int ready = ::poll(&watched, 1, closePending ? windowLookMilliseconds : -1);
        if (ready < 0 && errno != EINTR)
            return;
        if (ready > 0) {
            unsigned char byte = 0;
            const auto got = ::read(readEnd, &byte, 1);
            if (got == 0 || (got > 0 && byte == 0) || (got < 0 && errno != EINTR))
                return;
            closePending = closePending || got > 0;
        }
        if (HWND main = closePending ? lf_mainWindow() : nullptr; main && PostMessageW(main, WM_CLOSE, 0, 0))
            closePending = false;
    }
}

} // namespace

ProcessScope::ProcessScope(int argc, char** argv) {
    std::vector<std::wstring> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.push_back(gf_fromUtf8(argv[i]));
    setProcessArguments(arguments);
    gf_enableShellLaunching(true);
    gf_enablePictureFile();
    if (::pipe2(wakePipe_, O_CLOEXEC) != 0)
        return;
    signalPipe = wakePipe_[1];
    signalWatcher_ = std::thread(lf_watchSignals, wakePipe_[0]);
    struct sigaction action {};
    action.sa_handler = lf_onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

ProcessScope::~ProcessScope() {
    gf_writeFinalPicture();
    if (wakePipe_[1] < 0)
        return;
    // The process is ending already: a close that comes now must not end it by the default action.
    std::signal(SIGINT, SIG_IGN);
    std::signal(SIGTERM, SIG_IGN);
    signalPipe = -1;
    const unsigned char stop = 0;
    [[maybe_unused]] const auto written = ::write(wakePipe_[1], &stop, 1);
    signalWatcher_.join();
    ::close(wakePipe_[0]);
    ::close(wakePipe_[1]);
}

} // namespace kvr::standin
