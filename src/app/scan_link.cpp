#include "app/scan_link.h"

#include "app/shell_open.h"
#include "liveries/livery_scan.h"

namespace kvr::scan_link {

void wire() {
    gf_installLiveryScanShellActions({gf_openManual, gf_openParametersFolder});
}

void scanLiveries() {
    gf_scanLiveries();
}

} // namespace kvr::scan_link
