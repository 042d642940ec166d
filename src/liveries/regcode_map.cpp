#include "liveries/regcode_map.h"

#include "core/file_util.h"
#include "core/log.h"
#include "core/native_path.h"
#include "core/text_util.h"
#include "liveries/livery_data.h"
#include "liveries/livery_paths.h"

#include <fmt/format.h>

#include <cstdint>
#include <filesystem>
#include <unordered_set>

namespace kvr {

StringMap<TitleView> regcodeLiveries;
std::set<std::string, std::less<>> specialRegcodes;
std::vector<TitleView> specialLiveries;
std::vector<std::string> regcodeReportLines;

namespace {

// The titles of specialLiveries for lookups; views into the data base like the vector's.
std::unordered_set<TitleView> specialTitleIndex;

} // namespace

bool gf_isSpecialLivery(TitleView title) {
    return !specialTitleIndex.empty() && specialTitleIndex.find(title) != specialTitleIndex.end();
}

void lf_processInlineRegcodes() {
    std::vector<std::string> lines;
    for (const LiveryData& livery : scannedLiveries) {
        if (livery.atcid.empty())
            continue;
        const TitleView title = gf_findLiveryTitle(livery.title);
        if (title.empty()) {
            lines.push_back(
                fmt::format("==> [{:3} {:4}] {} '{}' not available, system error, should not happen?",
                            livery.airl, livery.type, livery.atcid, livery.title));
            continue;
        }
        const auto [entry, inserted] = regcodeLiveries.try_emplace(livery.atcid, title);
        if (!inserted && entry->second != title)
            lines.push_back(
                fmt::format("{} '{}' => already in use by '{}'", livery.atcid, livery.title, entry->second));
    }
    if (lines.empty())
        return;
    if (!std::filesystem::exists(liveryPaths.errorsFolder))
        std::filesystem::create_directory(liveryPaths.errorsFolder);
    // The report is only advice: when it cannot be written the log line still tells how many clashes there
    // were.
    gf_writeLines(lines, liveryPaths.inlineRegcodes);
    gf_logLine(fmt::format("{} in-line regcode clashes, see '{}'", lines.size(),
                           gf_pathToUtf8(liveryPaths.inlineRegcodes)));
}

void lf_addRegcodes(const std::vector<RegcodeRecord>& records) {
    std::int32_t added = 0;
    std::int32_t replaced = 0;
    std::int32_t special = 0;
    for (const RegcodeRecord& record : records) {
        const TitleView title = gf_findLiveryTitle(record.title);
        if (title.empty())
            continue;
        for (const std::string& regcode : record.regcodes) {
            const auto [entry, inserted] = regcodeLiveries.try_emplace(regcode, title);
            if (inserted) {
                ++added;
            } else if (entry->second != title) {
                regcodeReportLines.push_back(fmt::format(
                    "   regcode {} for '{}', instead of the same for '{}'", regcode, title, entry->second));
                entry->second = title;
                ++replaced;
            }
            if (record.special && record.regcodes.size() == 1)
                specialRegcodes.insert(regcode);
        }
        if (record.special) {
            specialLiveries.push_back(title);
            specialTitleIndex.insert(title);
            ++special;
        }
    }
    std::string summary = fmt::format("{} new regcode{} added", added, gf_pluralSuffixInt(added));
    if (replaced > 0)
        summary += fmt::format(", {} regcode{} replaced", replaced, gf_pluralSuffixInt(replaced));
    if (special > 0)
        summary += fmt::format(", {} regcode{} defined as special", special, gf_pluralSuffixInt(special));
    regcodeReportLines.push_back(std::move(summary));
}

void gf_clearRegcodeMap() {
    regcodeLiveries.clear();
    specialRegcodes.clear();
    specialLiveries.clear();
    specialTitleIndex.clear();
}

} // namespace kvr
