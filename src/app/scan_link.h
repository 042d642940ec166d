#pragma once
// The livery scan as the run thread uses it.

namespace kvr::scan_link {

// The manual and the settings folder for the scan's hints (once per process).
void wire();
// Scans the AI packages into the livery catalogue; throws the scan's user errors.
void scanLiveries();

} // namespace kvr::scan_link
