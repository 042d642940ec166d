#pragma once
// The stand-file targets read a stand file as the park airport's, write what they read back in the
// program's own form, and read that again: once the program has saved a file, saving what it reads from it
// must give the same file again, or each save changes the stands and options a little more.
#include "parking/stand.h"
#include "parking/stand_file.h"

#include <filesystem>
#include <optional>
#include <string>

namespace kvr::fuzz {

// Moves into the process's scratch folder (the stand files live below its airports folder) and makes
// EHAM the park airport. Once per process.
void enterStandWorkingFolder();

// The stand file of the park airport as gf_readApf names it, and the file itself.
inline const std::string standFilePath = "airports/archive/stock/EHAM.xml";
inline const std::filesystem::path learnedFilePath = "airports/learned/stock/EHAM.xml";

// Settings back to their defaults and the stand list emptied, then gf_readApf; no value when it throws a
// user error or gives an error text.
std::optional<ParkAirportFileInfo> readParkAirportStands();

// Writes standList with the file information in the given form.
void writeStands(const ParkAirportFileInfo& info, const std::filesystem::path& path, ApfWriteMode mode);

// standList as a stand file holds it: per stand the id, the position, heading and radius as the writer
// rounds them, the flags, and (withOptions) every option, in a fixed order. A file saved from what was
// read reads back to the same text.
std::string standListDigest(bool withOptions);

// The parameters and parkpositions of a stand file as text, without the meta block and its date.
std::string standFileBody(const std::filesystem::path& path);

} // namespace kvr::fuzz
