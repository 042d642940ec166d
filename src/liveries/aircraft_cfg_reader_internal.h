#pragma once
// Reading one aircraft.cfg file of the livery scan: its text, its section numbers, its model and its
// [fltsim.N] sections.
#include "liveries/fltsim_section_internal.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvr {

// The scan tasks: every livery of an ordinary aircraft.cfg, and of one below an IVAO MTL package, whose
// model comes from its folder name. Each gives its scan slot back when it ends (also by an exception).
FileLiveries lf_searchLiveriesinFile(std::uint32_t folderNumber, const std::filesystem::path& path);
FileLiveries lf_searchLiveriesinIVAOFile(std::uint32_t folderNumber, const std::filesystem::path& path);

// False when a section number does not fit 32 bits or lies outside 0..10000; a file without any
// section is listed among the empty files and passes.
bool lf_checkFltsimNumbers(const std::vector<std::string>& lines, const std::filesystem::path& path);

// The model of the file: its first icao_type_designator, else its first base_container that names a
// stock model, checked against the known types and the type fixes. Empty when there is none.
std::string lf_fixModelCode(const std::filesystem::path& path, const std::vector<std::string>& lines);
// The base_container fallback; no value when no line names a stock model.
std::optional<std::string> lf_fixModelFromBaseContainer(const std::filesystem::path& path,
                                                        const std::vector<std::string>& lines);
// The model folder of an IVAO package's aircraft.cfg without its "IVAO_" (B738WLfa), as the full,
// case-insensitive pattern  .+\\<package>\\SimObjects\\Airplanes\\IVAO_(\w+)\\aircraft.cfg$  gives it,
// either separator accepted. No value for any other path.
std::optional<std::string> lf_ivaoModelFolder(std::string_view path, std::string_view package);
// The model an IVAO MTL file takes from its folder name (IVAO_B738WLfa gives B738).
std::string lf_fixIvaoModel(const std::filesystem::path& path);
// A code read from a file: a known type is the model, a fixable one is fixed (and reported), any other
// is reported and gives no model.
std::string lf_checkModelCode(const std::string& code, const std::filesystem::path& path);

// Cut the file into its sections and hand each to the section rules.
FileLiveries lf_readFltSimSections(std::uint32_t folderNumber, const std::vector<std::string>& lines,
                                   const std::string& model, const std::filesystem::path& path,
                                   const std::filesystem::path& folder);
FileLiveries lf_readIvaoFltSimSections(std::uint32_t folderNumber, const std::vector<std::string>& lines,
                                       const std::string& model, const std::filesystem::path& path,
                                       const std::filesystem::path& folder);

// Report adders; each appends one line under its list's mutex.
void lf_addFixReport(std::string line);
void lf_addInvalidCfgFile(std::string line);
void lf_addIncompleteSection(std::string line);
void lf_addInvalidAirlineCode(std::string_view code, const std::filesystem::path& path,
                              std::string_view header);
void lf_addInvalidModelCode(std::string_view code, const std::filesystem::path& path);

// Empties every report list, the conversion lines, liveryTitleSet and dontUseTitles.
void lf_clearScanReports();

} // namespace kvr
