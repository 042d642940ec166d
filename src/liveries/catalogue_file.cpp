#include "liveries/catalogue_file.h"

#include "core/exit_request.h"
#include "core/log.h"
#include "core/meta_info.h"
#include "core/native_path.h"
#include "core/program_version.h"
#include "core/shared_state.h"
#include "core/user_error.h"
#include "core/xml_util.h"
#include "liveries/livery_data.h"
#include "liveries/livery_paths.h"

#include <fmt/format.h>
#include <pugixml.hpp>

#include <filesystem>
#include <tuple>

namespace kvr {

namespace {

pugi::xml_parse_result lf_loadCatalogue(pugi::xml_document& doc) {
    // pugixml would take a folder's size for a file's and ask for an impossible buffer.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(liveryPaths.liveriesScanned, ec)) {
        pugi::xml_parse_result none;
        none.status = pugi::status_file_not_found;
        return none;
    }
    return doc.load_file(liveryPaths.liveriesScanned.c_str(), pugi::parse_default, pugi::encoding_auto);
}

} // namespace

bool lf_writeLiveriesScanned() {
    if (scannedLiveries.empty())
        return true;
    pugi::xml_document doc;
    MetaInfo meta = gf_makeMetaInfo(programVersionText);
    gf_setSimKind(meta, metaSimCode.load());
    gf_writeMetaInfo(doc, meta);
    pugi::xml_node liveries = doc.child("root").append_child("liveries");
    std::size_t written = 0;
    for (const LiveryData& livery : scannedLiveries) {
        // Hundreds of thousands of liveries take longer than the close box may wait.
        if (++written % 4096 == 0 && gf_stopping())
            return false;
        pugi::xml_node liv = liveries.append_child("liv");
        liv.append_attribute("airl").set_value(livery.airl.c_str());
        liv.append_attribute("type").set_value(livery.type.c_str());
        if (livery.cargo)
            liv.append_attribute("cargo").set_value("true");
        liv.append_attribute("title").set_value(livery.title.c_str());
        if (!livery.atcid.empty())
            liv.append_attribute("atcid").set_value(livery.atcid.c_str());
    }
    const std::string pathText = gf_pathToUtf8(liveryPaths.liveriesScanned);
    std::string failure;
    if (!gf_saveXml(doc, liveryPaths.liveriesScanned, &failure)) {
        gf_logError(fmt::format("{} liveries could not be saved to {}: {}", scannedLiveries.size(), pathText,
                                failure));
        return false;
    }
    gf_logLine(fmt::format("{} liveries in {}", scannedLiveries.size(), pathText));
    return true;
}

void lf_readLiveriesScanned() {
    scannedLiveries.clear();
    // Filled aside so that a catalogue failing half-way leaves no partial list behind.
    std::list<LiveryData> records;
    const std::string pathText = gf_pathToUtf8(liveryPaths.liveriesScanned);
    pugi::xml_document doc;
    if (!lf_loadCatalogue(doc))
        throw UserErrorException(51, fmt::format("File {} not found", pathText));
    gf_readFileMetaInfo(doc);

    const pugi::xml_node root = doc.child("root");
    const pugi::xml_node liveries = root.child("liveries");
    if (root && !liveries)
        throw UserErrorException(52, fmt::format("{} does not contain a <liveries> section", pathText));

    for (const pugi::xml_node liv : liveries.children()) {
        LiveryData livery;
        for (auto [name, field] : {std::tuple{"airl", &livery.airl}, std::tuple{"type", &livery.type},
                                   std::tuple{"title", &livery.title}}) {
            const pugi::xml_attribute attribute = liv.attribute(name);
            if (!attribute)
                throw UserErrorException(
                    999, fmt::format("Missing required attribute '{}' in <{}>", name, liv.name()));
            *field = attribute.value();
        }
        livery.atcid = liv.attribute("atcid").value();
        livery.cargo = liv.attribute("cargo").as_bool(false);
        records.push_back(std::move(livery));
    }
    if (records.empty())
        throw UserErrorException(533, pathText + " does not contain liveries");
    if (records.size() >= 2)
        records.sort([](const LiveryData& a, const LiveryData& b) {
            return std::tie(a.airl, a.type, a.title) < std::tie(b.airl, b.type, b.title);
        });
    scannedLiveries = std::move(records);
    gf_logLine(fmt::format("{} liveries read from {}", scannedLiveries.size(), pathText));
}

std::optional<std::string> gf_catalogueUnreadable() {
    std::error_code ec;
    if (!std::filesystem::exists(liveryPaths.liveriesScanned, ec))
        return "not found";
    if (!std::filesystem::is_regular_file(liveryPaths.liveriesScanned, ec))
        return "is not a file";
    if (std::filesystem::file_size(liveryPaths.liveriesScanned, ec) == 0)
        return "is empty";
    pugi::xml_document doc;
    if (const pugi::xml_parse_result loaded = lf_loadCatalogue(doc); !loaded)
        return fmt::format("cannot be read ({})", loaded.description());
    return std::nullopt;
}

} // namespace kvr
