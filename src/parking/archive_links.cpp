#include "core/file_util.h"
#include "core/log.h"
#include "core/native_path.h"
#include "core/shared_state.h"
#include "core/text_util.h"
#include "parking/airport_scan.h"
#include "parking/airport_scan_internal.h"
#include "parking/archive_links_internal.h"
#include "parking/learned_file.h"
#include "parking/publisher_search_internal.h"
#include "parking/stand_lookup.h"
#include "refdata/aircraft_dbase.h"
#include "refdata/airport_table.h"

#include <fmt/format.h>

#include <charconv>

namespace kvr {

namespace fs = std::filesystem;

std::mutex linkMutex;

namespace {

constexpr const char* simaddonPublisher = "simaddon";

std::string lf_publisherFolder(const std::string& publisher) {
    std::string folder;
    for (const char c : publisher) {
        if (c == ' ')
            folder += "%20";
        else
            folder.push_back(c);
    }
    return folder;
}

void lf_writeLink(const fs::path& folder, const ApfRecord& record, const std::string& link,
                  const std::string& kind) {
    gf_writeFile(link, folder / gf_pathFromUtf8(gf_txtFileName(record.code)), true);
    gf_appendScanMessage(fmt::format("{} airport {} linked to {}", kind, record.code, link));
    airportFilesChanged = true;
}

} // namespace

bool lf_linkAirports(ApfRecord& record, std::uint32_t& archivedCount, const fs::path& path) {
    std::lock_guard lock(linkMutex);
    archivedCount = 0;
    record.bglPath = gf_pathToUtf8(path);
    PublisherInfo info = lf_findPublisher(path);
    record.publisher = std::move(info.publisher);
    record.manufacturer = std::move(info.manufacturer);
    record.creator = std::move(info.creator);
    if (record.publisher.empty())
        return false;
    if (record.publisher == simaddonPublisher) {
        const auto link = lf_linkSimaddonAirport(record);
        if (!link)
            return false;
        lf_writeLink(mySimaddonDir, record, *link, simaddonPublisher);
        return true;
    }
    const auto link = lf_linkThirdpartyAirport(record.publisher, record, archivedCount);
    if (!link)
        return false;
    lf_writeLink(myThirdpartyDir, record, *link, "thirdparty");
    return true;
}

std::optional<std::string> lf_linkSimaddonAirport(const ApfRecord& record) {
    if (simAddonAirportCodes.contains(record.code))
        return "archive/simaddon/" + gf_xmlFileName(record.code);
    gf_appendScanMessage(fmt::format("{} does not exist as simaddon", record.code));
    return std::nullopt;
}

std::optional<std::string> lf_linkThirdpartyAirport(const std::string& publisher, const ApfRecord& record,
                                                    std::uint32_t& archivedCount) {
    const std::string link =
        "archive/thirdparty/" + lf_publisherFolder(publisher) + "/" + gf_xmlFileName(record.code);
    const auto& entries = msfs2020Selected.load() ? thirdPartyAirports20 : thirdPartyAirports24;
    for (const ThirdPartyAirports& entry : entries) {
        if (entry.publisher != publisher)
            continue;
        for (const std::string& codeText : entry.codes) {
            if (!codeText.starts_with(record.code))
                continue;
            // The code is followed by the number of stands of the archived file.
            const char* first = codeText.data() + record.code.size();
            std::uint32_t count = 0;
            const auto [rest, error] = std::from_chars(first, codeText.data() + codeText.size(), count);
            if (error == std::errc())
                archivedCount = count;
            else
                gf_logError(fmt::format("{} {} {} {}", publisher, record.code, codeText, "invalid number"));
            return link;
        }
    }
    gf_appendScanMessage(fmt::format("thirdparty {} {} does not exist", publisher, record.code));
    return std::nullopt;
}

void lf_reportNotRecognised(const fs::path& path) {
    gf_appendScanMessage(fmt::format("\n==> Not recognised airport {}", gf_pathToUtf8(path)));
    const std::string code = lf_reportNonComplying(path);
    if (code.size() != 4)
        return;
    ApfRecord record;
    record.code = code;
    std::uint32_t archivedCount = 0;
    lf_linkAirports(record, archivedCount, path);
}

std::string lf_reportNonComplying(const fs::path& path) {
    const std::string pathText = gf_pathToUtf8(path);
    const std::string stem = gf_toUpper(gf_pathToUtf8(path.stem()));
    if (stem.size() == 4 && gf_findAirport(stem)) {
        gf_appendScanMessage(fmt::format("Non complyingairport has ICAO code '{}' as BGL stem", stem));
        return stem;
    }
    if (const auto manifest = gf_searchManifest(path)) {
        std::string code = gf_toUpper(gf_airportCodeFromName(manifest->title));
        if (!code.empty()) {
            gf_appendScanMessage(fmt::format("Non complying airport has ICAO '{}' in title '{}' of manifest",
                                             code, manifest->title));
            return code;
        }
        code = gf_toUpper(gf_airportCodeInPath(pathText));
        if (!code.empty()) {
            gf_appendScanMessage(
                fmt::format("Non complying airport has ICAO '{}' in BGL path '{}'", code, pathText));
            return code;
        }
    }
    gf_appendScanMessage(fmt::format("==================> Non complying airport lost ... '{}'", pathText));
    return {};
}

} // namespace kvr
