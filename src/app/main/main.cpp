// The process entry on Linux, where the Win32 stand-in must set up the process as Windows would before it
// calls wWinMain. On Windows the C runtime calls wWinMain itself (linked with -municode).
#ifndef _WIN32
#include "app/closing_down.h"
#include "app/main_window.h"
#include "platform/win32/standin.h"
#include "world_watch.h"

int main(int argc, char** argv) {
    kvr::standin::ProcessScope process(argc, argv);
    kvr::gf_registerProgramResources();
    const auto watch = kvr::demo::WorldWatch::fromEnvironment();
    if (watch)
        kvr::gf_installClosingDownObserver([&watch] { watch->writeReports(); });
    const int exitCode = wWinMain(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), SW_SHOWDEFAULT);
    kvr::gf_installClosingDownObserver({});
    return exitCode;
}
#endif
