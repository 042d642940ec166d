#pragma once
#include <filesystem>

namespace kvr {

// Replaces airportTable and airportCodeSet with the contents of one encrypted airports file; the reading
// behind gf_readAirports without its once-per-process guard. Throws UserErrorException 88; a file without
// a usable airport is logged, leaves both as they were and gives false.
bool lf_readAirportsFile(const std::filesystem::path& encryptedFile);

} // namespace kvr
