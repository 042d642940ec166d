#include "app/main_window.h"

#ifndef _WIN32
#include "platform/win32/standin.h"
#endif

namespace kvr {

void gf_registerProgramResources() {
#ifndef _WIN32
    standin::registerStringResource(101, L"Vantrel");
    standin::registerIconResource(100);
#endif
}

} // namespace kvr
