#pragma once
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <istream>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kvr {

// Appends the lines of a text: split at LF, a leading UTF-8 byte-order mark skipped, one CR before
// each LF dropped, empty lines kept; a final LF gives no extra empty line, an empty text no line.
void gf_splitLines(std::string_view text, std::vector<std::string>& lines);
// Reads the rest of the stream and appends its lines as gf_splitLines does.
void gf_readLines(std::istream& in, std::vector<std::string>& lines);
// Opens a file for reading as bytes; false (no exception) when it cannot be opened or is a folder.
bool gf_openInputFile(const std::filesystem::path& path, std::ifstream& in);
// The whole file as bytes; none when it cannot be opened (as gf_openInputFile) or read.
std::optional<std::string> gf_readFileBytes(const std::filesystem::path& path);

// Both writers replace the file through a temporary file beside it, so a failed write leaves the old
// file whole. False (no exception) when the file cannot be written.
bool gf_writeLines(const std::vector<std::string>& lines, const std::filesystem::path& path);
bool gf_writeFile(std::string_view text, const std::filesystem::path& path, bool addLineFeed);

// 0 for a missing folder, else its number of direct entries; throws std::filesystem::filesystem_error
// when the folder cannot be listed.
std::size_t gf_countFilesInFolder(const std::filesystem::path& folder);

// The one-generation backup name: "0" before the last dot of the file name (EHAM.xml -> EHAM0.xml),
// or at the end of a name without one.
std::filesystem::path gf_oneGenerationName(const std::filesystem::path& path);
// Copies the file to its one-generation backup name, replacing an older backup. A failure is logged
// and gives false.
bool gf_save1GenerationOf(const std::filesystem::path& path);

// Removes a file when it exists; a failure is logged as a warning, never thrown.
void gf_removeFileWarn(const std::filesystem::path& path);
// Removes every entry of the folder that is not itself a folder. A missing folder is left alone.
void gf_removeFilesFromDirectory(const std::filesystem::path& folder);
// Removes the files of the folder whose extension is .xml in any case, except those whose file name
// is on the keep list.
void gf_removeXMLFilesFromDirectory(const std::filesystem::path& folder,
                                    const std::set<std::string>& keep = {});
// Upper-cased stems of the .xml files (extension in any case) of a folder, sorted; none for a
// missing folder.
std::vector<std::string> lf_listXmlStems(const std::filesystem::path& folder);

} // namespace kvr
