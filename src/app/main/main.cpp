// The process entry on this platform: Windows would set up the process and call wWinMain itself.
#include "app/main_window.h"
#include "platform/win32/standin.h"

int main(int argc, char** argv) {
    kvr::standin::ProcessScope process(argc, argv);
    kvr::gf_registerProgramResources();
    return wWinMain(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), SW_SHOWDEFAULT);
}
