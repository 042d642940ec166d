#include "liveries/fltsim_section_internal.h"

#include "core/log.h"
#include "core/native_path.h"
#include "core/text_util.h"
#include "liveries/aircraft_cfg_grammar_internal.h"
#include "liveries/aircraft_cfg_reader_internal.h"
#include "liveries/regcode_files.h"
#include "refdata/aircraft_dbase.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>

namespace kvr {

namespace fs = std::filesystem;

namespace {

// Empty lines and comment lines at the end of a section carry nothing.
std::span<const std::string> lf_withoutTrailingComments(std::span<const std::string> lines) {
    std::size_t end = lines.size();
    while (end > 0 && (lines[end - 1].empty() || lines[end - 1].starts_with("//")))
        --end;
    return lines.first(end);
}

bool lf_isDontUseTitle(const std::string& title) {
    return std::find(dontUseTitles.begin(), dontUseTitles.end(), title) != dontUseTitles.end();
}

// Titles of full airliner add-ons that share the aircraft.cfg layout of AI models but cannot fly as AI.
bool lf_isUserAircraftTitle(const std::string& title) {
    return title.find("FenixA320") != std::string::npos || title.find("PMDG 737") != std::string::npos;
}

bool lf_isHeavy(const std::string& model) {
    return gf_getAircraftCategory(model) == AircraftCategory::heavy;
}

// An airline code of 4 characters ending in X or C names a variant of the 3-letter airline.
void lf_cutVariantMark(std::string& airline) {
    if (airline.size() == 4 && (airline[3] == 'X' || airline[3] == 'C'))
        airline.resize(3);
}

// The airline code of an IVAO title: the model (followed by W for the winglet folders), optional white
// space, then three word characters, as the full, case-insensitive pattern  model[W]\s*(\w\w\w).*$ .
std::optional<std::string> lf_airlineFromIvaoTitle(const std::string& title, const std::string& prefix) {
    if (title.size() < prefix.size() ||
        !lf_equalsIgnoringCase(std::string_view(title).substr(0, prefix.size()), prefix))
        return std::nullopt;
    std::size_t i = prefix.size();
    while (i < title.size() && lf_isSpace(title[i]))
        ++i;
    if (title.size() - i < 3 || !std::all_of(title.begin() + i, title.begin() + i + 3, lf_isWordCharacter))
        return std::nullopt;
    if (title.find_first_of("\r\n", i + 3) != std::string::npos)
        return std::nullopt;
    return title.substr(i, 3);
}

bool lf_hasWingletMark(const fs::path& path) {
    static const std::array<std::string_view, 5> wingletFolders{
        "IVAO_B738WLfa", "IVAO_B739WLfa", "IVAO_A320wCFM", "IVAO_A320wIAE", "IVAO_A319fIAEw"};
    const std::string text = gf_pathToUtf8(path);
    return std::any_of(wingletFolders.begin(), wingletFolders.end(),
                       [&](std::string_view name) { return text.find(name) != std::string::npos; });
}

std::optional<SectionLivery> lf_ordinarySection(std::uint32_t folderNumber,
                                                std::span<const std::string> lines, const std::string& model,
                                                const fs::path& path, const fs::path& folder) {
    const std::string& header = lines.front();
    const std::string folderText = gf_pathToUtf8(folder);
    std::string title, airline, parkingTypes, registration, value;
    bool endedEarly = false;
    for (const std::string& line : lf_withoutTrailingComments(lines)) {
        if (lf_matchTitleLine(line, value)) {
            if (!title.empty()) {
                lf_addIncompleteSection(fmt::format("{} {} has more than one title key", folderText, header));
                endedEarly = true;
                break;
            }
            title = gf_trim(value);
            if (lf_isUserAircraftTitle(title)) {
                endedEarly = true;
                break;
            }
            continue;
        }
        if (airline.empty()) {
            if (lf_matchIcaoAirlineLine(line, value)) {
                gf_trimAndSplit(value);
                lf_cutVariantMark(value);
                airline = value;
                if (gf_isIcaoAirline(airline))
                    continue;
                // RFO is no airline of ours: the section ends without a report, since the code was read.
                if (airline == "RFO") {
                    endedEarly = true;
                    break;
                }
                lf_addInvalidAirlineCode(airline, path, header);
                airline.clear();
                continue;
            }
        } else if (line.find("icao_airline") != std::string::npos) {
            lf_addIncompleteSection(
                fmt::format("{} {} has more than one atc_parking_codes key", folderText, header));
            endedEarly = true;
            break;
        }
        if (parkingTypes.empty()) {
            if (lf_matchAtcParkingTypesLine(line, value)) {
                gf_trimAndSplit(value);
                parkingTypes = gf_toUpper(value);
                continue;
            }
        } else if (lf_hasAtcParkingTypesKey(line)) {
            lf_addIncompleteSection(
                fmt::format("{} {} has more than one atc_parking_types key", folderText, header));
            endedEarly = true;
            break;
        }
        if (registration.empty()) {
            if (lf_matchAtcIdLine(line, value)) {
                // What follows a ';' is a comment.
                const std::string_view atcId = std::string_view(value).substr(0, value.find(';'));
                if (!lf_parseAtcId(atcId, registration))
                    lf_addIncompleteSection(fmt::format("invalid atc_id={} in: {}", atcId, title));
                continue;
            }
        } else if (lf_hasAtcIdKey(line)) {
            lf_addIncompleteSection(fmt::format("{}, {}, has more than one atc_id key", folderText, header));
            endedEarly = true;
            break;
        }
    }

    if (airline.empty())
        lf_addIncompleteSection(fmt::format("{} {} icao_airline is missing, or it has invalid info ",
                                            gf_pathToUtf8(path), header));
    if (endedEarly)
        return std::nullopt;
    if (title.empty()) {
        lf_addIncompleteSection(fmt::format("{} {} misses title", folderText, header));
        return std::nullopt;
    }
    if (title.ends_with("-STUB"))
        airline = "ZZZ";
    if (lf_isDontUseTitle(title))
        return std::nullopt;
    if (airline == "ZZZ")
        registration.clear();
    if (airline.empty()) {
        if (!registration.empty()) {
            const auto record = gf_lookupRegistration(registration);
            if (record && !record->airline.empty()) {
                airline = record->airline;
            } else if (lf_isHeavy(model)) {
                lf_addIncompleteSection(
                    fmt::format("'{}' '{}' has no airline and regcode not in dbase", folderText, header));
                return std::nullopt;
            } else {
                airline = "PVT";
            }
        } else {
            if (lf_isHeavy(model)) {
                lf_addIncompleteSection(
                    fmt::format("'{}' '{}' has no airline and no regcode info", folderText, header));
                return std::nullopt;
            }
            airline = "PVT";
            registration = gf_findShortRegcodeIn(title).value_or("");
        }
    }
    const bool cargo =
        parkingTypes.find("CARGO") != std::string::npos && parkingTypes.find("GATE") == std::string::npos;
    std::string titleTakenLine = fmt::format("{} {} title '{}' already exists", folderText, header, title);
    return SectionLivery{
        LiveryData{std::move(airline), model, std::move(title), std::move(registration), folderNumber, cargo},
        std::move(titleTakenLine)};
}

} // namespace

bool lf_parseAtcId(std::string_view value, std::string& registration) {
    const std::vector<std::string> pieces = gf_splitString(value, ',');
    if (pieces.empty())
        return false;
    for (const std::string& piece : pieces)
        if (piece.empty() || piece.size() > 12 || piece.find('*') != std::string::npos)
            return false;
    registration = pieces.size() == 1 ? pieces.front() : std::string();
    return true;
}

std::optional<SectionLivery> lf_procesFltSimSection(std::uint32_t folderNumber,
                                                    std::span<const std::string> lines,
                                                    const std::string& model, const fs::path& path,
                                                    const fs::path& folder) {
    try {
        return lf_ordinarySection(folderNumber, lines, model, path, folder);
    } catch (const std::exception& error) {
        gf_logLine(fmt::format("Exception in lf_procesFltSimSection: {}, file: {}", error.what(),
                               gf_pathToUtf8(path)));
        throw;
    }
}

std::optional<SectionLivery> lf_procesIvaoFltSimSection(std::uint32_t folderNumber,
                                                        std::span<const std::string> lines,
                                                        const std::string& model, const fs::path& path,
                                                        const fs::path& folder) {
    const std::string& header = lines.front();
    const std::string folderText = gf_pathToUtf8(folder);
    std::string title, parkingTypes, registration, texture, value;
    for (const std::string& line : lf_withoutTrailingComments(lines)) {
        if (lf_matchTitleLine(line, value)) {
            if (!title.empty()) {
                lf_addIncompleteSection(folderText + " " + header + " has more than one title key");
                return std::nullopt;
            }
            title = gf_trim(value);
            if (title.size() != value.size())
                gf_logLine(fmt::format("removed spaces around title '{}' --> '{}'", value, title));
            continue;
        }
        if (parkingTypes.empty()) {
            if (lf_matchAtcParkingTypesLine(line, value)) {
                gf_trimAndSplit(value);
                parkingTypes = gf_toUpper(value);
                continue;
            }
        } else if (lf_hasAtcParkingTypesKey(line)) {
            lf_addIncompleteSection(folderText + " " + header + " has more than one atc_parking_types key");
            return std::nullopt;
        }
        if (registration.empty()) {
            if (lf_matchAtcIdLine(line, value)) {
                if (!lf_parseAtcId(value, registration))
                    lf_addIncompleteSection(fmt::format("invalid atc_id={} in {}", value, title));
                continue;
            }
        } else if (lf_hasAtcIdKey(line)) {
            lf_addIncompleteSection(fmt::format("{}, {}, has more than one atc_id key", folderText, header));
            return std::nullopt;
        }
        if (texture.empty() && lf_matchTextureLine(line, value))
            texture = value;
    }

    const fs::path textureFolder = folder / gf_pathFromUtf8("texture." + texture);
    // A name the file system cannot even look up (too long, say) is a folder that does not exist: only
    // this section is lost, not the whole file.
    std::error_code lookupError;
    if (!fs::is_directory(textureFolder, lookupError)) {
        lf_addIncompleteSection(gf_pathToUtf8(textureFolder) + " " + header + " does not exist");
        return std::nullopt;
    }
    if (title.empty()) {
        lf_addIncompleteSection(folderText + " " + header + " misses title");
        return std::nullopt;
    }
    if (lf_isDontUseTitle(title))
        return std::nullopt;
    std::string airline;
    if (auto code = lf_airlineFromIvaoTitle(title, lf_hasWingletMark(path) ? model + "W" : model)) {
        if (!gf_isIcaoAirline(*code)) {
            lf_addInvalidAirlineCode(*code, path, header);
            return std::nullopt;
        }
        airline = std::move(*code);
        if (airline == "ZZZ")
            registration.clear();
    } else if (registration.empty()) {
        lf_addIncompleteSection(folderText + " " + header + " misses airlinecode in title: " + title +
                                ", and no regcode");
        return std::nullopt;
    } else {
        const auto record = gf_lookupRegistration(registration);
        if (!record || record->airline.empty()) {
            lf_addIncompleteSection(folderText + " " + header + " misses airlinecode in title: " + title +
                                    ", and regcode unknown " + registration);
            return std::nullopt;
        }
        airline = record->airline;
    }
    std::string titleTakenLine = folderText + " " + header + " title already exists: " + title;
    return SectionLivery{
        LiveryData{std::move(airline), model, std::move(title), std::move(registration), folderNumber, false},
        std::move(titleTakenLine)};
}

void lf_claimTitles(FileLiveries&& found, std::list<LiveryData>& target) {
    for (SectionLivery& section : found) {
        LiveryData& livery = section.livery;
        LiveryData claimed =
            lf_makeLiveryData(livery.folderNumber, std::move(livery.airl), std::move(livery.type),
                              !livery.cargo, std::move(livery.title), std::move(livery.atcid));
        if (claimed.title.empty())
            lf_addIncompleteSection(std::move(section.titleTakenLine));
        else
            target.push_back(std::move(claimed));
    }
}

} // namespace kvr
