#pragma once
// The rules that turn one [fltsim.N] section of an aircraft.cfg file into at most one livery.
#include "liveries/livery_data.h"

#include <cstdint>
#include <filesystem>
#include <list>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kvr {

// A livery a section yields, before its title is claimed. Titles are claimed on the run thread in the
// order in which the walk met the files (lf_claimTitles), so the catalogue does not depend on which task
// finished first; the section keeps the report line that a title taken already must leave.
struct SectionLivery {
    LiveryData livery;
    std::string titleTakenLine;
};
using FileLiveries = std::vector<SectionLivery>;

// Registration code of an atc_id value: pieces separated by commas, each trimmed, none empty, longer than
// 12 characters or holding '*'. One piece is the code; several pieces are valid and give no code.
// False for an invalid value.
bool lf_parseAtcId(std::string_view value, std::string& registration);

// The lines of one section start with its header line. The folder is the one that holds the file.
std::optional<SectionLivery> lf_procesFltSimSection(std::uint32_t folderNumber,
                                                    std::span<const std::string> lines,
                                                    const std::string& model,
                                                    const std::filesystem::path& path,
                                                    const std::filesystem::path& folder);
// Sections of IVAO MTL packages: the airline comes from the title, and the texture folder must exist.
std::optional<SectionLivery> lf_procesIvaoFltSimSection(std::uint32_t folderNumber,
                                                        std::span<const std::string> lines,
                                                        const std::string& model,
                                                        const std::filesystem::path& path,
                                                        const std::filesystem::path& folder);

// Claims the titles in liveryTitleSet in list order: a new title moves its livery to the end of the
// target list; a taken one adds the section's line to the incomplete-sections report instead.
void lf_claimTitles(FileLiveries&& found, std::list<LiveryData>& target);

} // namespace kvr
