#pragma once

namespace kvr {

// The start-up update check against the download server (versions.json, see docs/download-server.md).
// - A newer program version is downloaded (and unpacked when it is a zip) into the folder "updates"; the
//   user is told where it is, the exit is requested with NEW VERSION and 0 s, and the result is false.
// - A newer "addons" version than ADDONS_SCAN_VERSION switches SCAN_AIRPORTS on and records the version,
//   so that it fires once.
// - Under MSFS 2024 airports/my_simaddon is filled from the simulator add-on package when
//   MYSIMADDON24_VERSION is older or empty, or the folder is empty.
// An unreachable server, a malformed versions.json or a failed download is logged and the check goes on
// offline (true). Runs on the run thread; paths are relative to the working folder.
bool gf_checkForUpdates();

} // namespace kvr
