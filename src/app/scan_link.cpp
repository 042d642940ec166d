// The livery scan is not part of this build yet: the livery data base is built from the catalogue that is
// already there.
#include "app/scan_link.h"

#include "core/log.h"

#include <atomic>

namespace kvr::scan_link {

void wire() {}

void scanLiveries() {
    static std::atomic<bool> reported{false};
    if (!reported.exchange(true))
        gf_logLine("The livery scan is not available in this build");
}

} // namespace kvr::scan_link
