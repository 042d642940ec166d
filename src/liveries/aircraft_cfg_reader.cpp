#include "liveries/aircraft_cfg_reader_internal.h"

#include "core/file_util.h"
#include "core/log.h"
#include "core/native_path.h"
#include "core/text_encoding.h"
#include "liveries/aircraft_cfg_grammar_internal.h"
#include "liveries/regcode_files.h"
#include "liveries/scan_report_lists.h"
#include "liveries/scan_reports_internal.h"
#include "refdata/aircraft_dbase.h"

#include <fmt/format.h>

#include <algorithm>
#include <charconv>
#include <limits>

namespace kvr {

namespace fs = std::filesystem;

namespace {

// Lines a file is expected to fit in; more are read all the same.
constexpr std::size_t expectedFileLines = 4096;

// Packages whose aircraft.cfg files carry no type designator and are no AI traffic.
bool lf_isKnownModelWithoutType(const std::string& pathText) {
    return pathText.find("pmdg-aircraft-7") != std::string::npos ||
           pathText.find("fnx-aircraft-3") != std::string::npos;
}

// Reads the file's lines, decoding the bytes its encoding was detected from; false (after logging) when
// the file cannot be read.
bool lf_readCfgLines(const fs::path& path, std::vector<std::string>& lines, bool encodingFailureIsError) {
    const auto bytes = gf_readFileBytes(path);
    if (!bytes) {
        const std::string line = fmt::format("! No text encoding detected for {}", gf_pathToUtf8(path));
        encodingFailureIsError ? gf_logError(line) : gf_logLine(line);
        return false;
    }
    lines.reserve(expectedFileLines);
    gf_splitLines(gf_decodeToUtf8(gf_detectCharsetOfBytes(*bytes), *bytes), lines);
    return true;
}

template <typename SectionRule>
FileLiveries lf_cutIntoSections(const std::vector<std::string>& lines, std::size_t closingBracketReach,
                                SectionRule&& rule) {
    FileLiveries found;
    const std::span<const std::string> all(lines);
    constexpr std::size_t noSection = std::numeric_limits<std::size_t>::max();
    std::size_t sectionStart = noSection;
    const auto parseOpenSection = [&](std::size_t end) {
        if (sectionStart != noSection && end > sectionStart)
            if (auto livery = rule(all.subspan(sectionStart, end - sectionStart)))
                found.push_back(std::move(*livery));
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (!lf_fltsimSectionNumber(line).empty()) {
            parseOpenSection(i);
            sectionStart = i;
        } else if (std::string_view(line).substr(0, closingBracketReach).find('[') !=
                   std::string_view::npos) {
            // Another section begins: the open one ends, and this line belongs to none of ours.
            parseOpenSection(i);
            sectionStart = noSection;
        }
    }
    parseOpenSection(lines.size());
    return found;
}

} // namespace

void lf_addFixReport(std::string line) {
    modelFixesList.add(std::move(line));
}

void lf_addInvalidCfgFile(std::string line) {
    invalidCfgFilesList.add(std::move(line));
}

void lf_addIncompleteSection(std::string line) {
    incompleteSectionsList.add(std::move(line));
}

void lf_addInvalidAirlineCode(std::string_view code, const fs::path& path, std::string_view header) {
    invalidAirlineCodesList.add(fmt::format("{:12} in {} {}", code, gf_pathToUtf8(path), header));
}

void lf_addInvalidModelCode(std::string_view code, const fs::path& path) {
    invalidModelCodesList.add(fmt::format("{:16} in {}", code, gf_pathToUtf8(path)));
}

void lf_clearScanReports() {
    modelFixesList.clear();
    invalidCfgFilesList.clear();
    incompleteSectionsList.clear();
    invalidAirlineCodesList.clear();
    invalidModelCodesList.clear();
    emptyCfgFilesList.clear();
    lf_clearConversionLines();
    liveryTitleSet.clear();
    dontUseTitles.clear();
}

bool lf_checkFltsimNumbers(const std::vector<std::string>& lines, const fs::path& path) {
    std::vector<std::int32_t> numbers;
    for (const std::string& line : lines) {
        const std::string digits = lf_fltsimSectionNumber(line);
        if (digits.empty())
            continue;
        std::int32_t number = 0;
        const char* end = digits.data() + digits.size();
        const auto [stop, error] = std::from_chars(digits.data(), end, number);
        if (error != std::errc() || stop != end) {
            gf_logError(fmt::format("fltsim num {} incorrect", line));
            return false;
        }
        numbers.push_back(number);
    }
    if (numbers.empty()) {
        emptyCfgFilesList.add(gf_pathToUtf8(path));
        return true;
    }
    const auto [lowest, highest] = std::minmax_element(numbers.begin(), numbers.end());
    if (*lowest < 0 || *highest > 10000) {
        lf_addInvalidCfgFile(gf_pathToUtf8(path) +
                             " contains a [fltsim.x] section with a number < 0 or > 10000");
        return false;
    }
    return true;
}

std::string lf_checkModelCode(const std::string& code, const fs::path& path) {
    if (aircraftTypeSet.contains(code))
        return code;
    if (const auto fix = typeFixes.find(code); fix != typeFixes.end()) {
        lf_addFixReport(
            fmt::format("Model fix: {} found in {} changed into {}", code, gf_pathToUtf8(path), fix->second));
        return fix->second;
    }
    lf_addInvalidModelCode(code, path);
    return {};
}

std::optional<std::string> lf_fixModelFromBaseContainer(const fs::path& path,
                                                        const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        const std::string code = lf_modelFromBaseContainerLine(line);
        if (!code.empty())
            return lf_checkModelCode(code, path);
    }
    return std::nullopt;
}

std::string lf_fixModelCode(const fs::path& path, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        const std::string code = lf_matchIcaoTypeLine(line);
        if (!code.empty())
            return lf_checkModelCode(code, path);
    }
    if (auto model = lf_fixModelFromBaseContainer(path, lines))
        return std::move(*model);
    const std::string pathText = gf_pathToUtf8(path);
    if (!lf_isKnownModelWithoutType(pathText))
        lf_addInvalidCfgFile("Line icao_type_designator= is missing in [General] section of " + pathText);
    return {};
}

std::optional<std::string> lf_ivaoModelFolder(std::string_view path, std::string_view package) {
    const auto stripWord = [&path](std::string_view word) {
        if (path.size() < word.size() || !lf_equalsIgnoringCase(path.substr(path.size() - word.size()), word))
            return false;
        path.remove_suffix(word.size());
        return true;
    };
    const auto stripSeparator = [&path] {
        if (path.empty() || (path.back() != '\\' && path.back() != '/'))
            return false;
        path.remove_suffix(1);
        return true;
    };
    const auto isLineEnd = [](char c) { return c == '\r' || c == '\n'; };
    // "aircraft.cfg", whose dot stands for any character.
    if (!stripWord("cfg") || path.empty() || isLineEnd(path.back()))
        return std::nullopt;
    path.remove_suffix(1);
    if (!stripWord("aircraft") || !stripSeparator())
        return std::nullopt;
    const std::size_t separator = path.find_last_of("\\/");
    const std::string_view folder = separator == std::string_view::npos ? path : path.substr(separator + 1);
    if (folder.size() < 6 || !lf_equalsIgnoringCase(folder.substr(0, 5), "IVAO_") ||
        !std::all_of(folder.begin(), folder.end(), lf_isWordCharacter))
        return std::nullopt;
    path.remove_suffix(folder.size());
    if (!stripSeparator() || !stripWord("Airplanes") || !stripSeparator() || !stripWord("SimObjects") ||
        !stripSeparator() || !stripWord(package) || !stripSeparator())
        return std::nullopt;
    if (path.empty() || std::any_of(path.begin(), path.end(), isLineEnd))
        return std::nullopt;
    return std::string(folder.substr(5));
}

std::string lf_fixIvaoModel(const fs::path& path) {
    const std::string pathText = gf_pathToUtf8(path);
    auto folder = lf_ivaoModelFolder(pathText, "IVAO_MTL");
    if (!folder)
        folder = lf_ivaoModelFolder(pathText, "ivao_x-csl");
    if (folder)
        return lf_checkModelCode(folder->substr(0, 4), path);
    lf_addInvalidModelCode("  ", path);
    return {};
}

FileLiveries lf_readFltSimSections(std::uint32_t folderNumber, const std::vector<std::string>& lines,
                                   const std::string& model, const fs::path& path, const fs::path& folder) {
    return lf_cutIntoSections(lines, 6, [&](std::span<const std::string> section) {
        return lf_procesFltSimSection(folderNumber, section, model, path, folder);
    });
}

FileLiveries lf_readIvaoFltSimSections(std::uint32_t folderNumber, const std::vector<std::string>& lines,
                                       const std::string& model, const fs::path& path,
                                       const fs::path& folder) {
    return lf_cutIntoSections(lines, std::string::npos, [&](std::span<const std::string> section) {
        return lf_procesIvaoFltSimSection(folderNumber, section, model, path, folder);
    });
}

FileLiveries lf_searchLiveriesinFile(std::uint32_t folderNumber, const fs::path& path) {
    try {
        if (!fs::exists(path))
            return {};
        std::vector<std::string> lines;
        if (!lf_readCfgLines(path, lines, false) || !lf_checkFltsimNumbers(lines, path))
            return {};
        const std::string model = lf_fixModelCode(path, lines);
        if (model.empty())
            return {};
        return lf_readFltSimSections(folderNumber, lines, model, path, path.parent_path());
    } catch (const std::exception& error) {
        gf_logLine(
            fmt::format("! Exception in lf_searchLiveriesinFile {}: {}", gf_pathToUtf8(path), error.what()));
        throw;
    }
}

FileLiveries lf_searchLiveriesinIVAOFile(std::uint32_t folderNumber, const fs::path& path) {
    try {
        const std::string model = lf_fixIvaoModel(path);
        if (model.empty())
            return {};
        std::vector<std::string> lines;
        if (!lf_readCfgLines(path, lines, true) || !lf_checkFltsimNumbers(lines, path))
            return {};
        return lf_readIvaoFltSimSections(folderNumber, lines, model, path, path.parent_path());
    } catch (const std::exception& error) {
        gf_logLine(fmt::format("! Exception in lf_searchLiveriesinIVAOFile {}: {}", gf_pathToUtf8(path),
                               error.what()));
        throw;
    } catch (...) {
        gf_logLine(fmt::format("! Unknown exception in lf_searchLiveriesinIVAOFile {}", gf_pathToUtf8(path)));
        throw;
    }
}

} // namespace kvr
