#include "core/meta_info.h"

#include "core/program_version.h"
#include "core/shared_state.h"
#include "core/time_util.h"

#include <fmt/format.h>

#include <ctime>
#include <string_view>

namespace kvr {

namespace {

bool lf_isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whether `groups` runs of digits start at pos, each run but the last followed by one character
// other than a line feed: the pattern (\d+).(\d+).(\d+) that version texts are parsed with.
bool lf_digitRunsAt(std::string_view text, std::size_t pos, int groups) {
    std::size_t end = pos;
    while (end < text.size() && lf_isDigit(text[end])) {
        ++end;
        if (groups == 1)
            return true;
        if (end < text.size() && text[end] != '\n' && lf_digitRunsAt(text, end + 1, groups - 1))
            return true;
    }
    return false;
}

bool lf_holdsVersionTriple(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size(); ++pos)
        if (lf_digitRunsAt(text, pos, 3))
            return true;
    return false;
}

pugi::xml_node lf_metaNode(const pugi::xml_document& doc) {
    const pugi::xml_node root = doc.child("root");
    return root ? root.child("meta") : doc.child("meta");
}

} // namespace

MetaInfo gf_makeMetaInfo(const std::string& versionText) {
    MetaInfo meta;
    meta.author = programShortName;
    meta.version = versionText;
    std::tm t{};
    if (gf_utcBreakDown(std::time(nullptr), t)) {
        meta.date = fmt::format("{:04}-{:02}-{:02}", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
        meta.copyright = fmt::format("(c) {} {}", t.tm_year + 1900, programShortName);
    } else {
        meta.copyright = fmt::format("(c) {}", programShortName);
    }
    gf_setSimKind(meta, metaSimCode.load());
    return meta;
}

void gf_setSimKind(MetaInfo& meta, int simKind) {
    switch (simKind) {
    case 1:
        meta.sim = "2020";
        break;
    case 2:
        meta.sim = "2024";
        break;
    case 3:
        meta.sim = "v56";
        break;
    default:
        meta.sim.clear();
    }
}

bool gf_writeMetaInfo(pugi::xml_document& doc, const MetaInfo& meta) {
    pugi::xml_node root = doc.child("root");
    if (!root)
        root = doc.append_child("root");
    if (!root)
        return false;
    while (pugi::xml_node old = root.child("meta"))
        root.remove_child(old);
    pugi::xml_node block = root.prepend_child("meta");
    if (!block)
        return false;
    const std::pair<const char*, const std::string*> rows[] = {{"author", &meta.author},
                                                               {"version", &meta.version},
                                                               {"date", &meta.date},
                                                               {"copyright", &meta.copyright},
                                                               {"sim", &meta.sim}};
    for (const auto& [name, value] : rows) {
        pugi::xml_node info = block.append_child("info");
        if (!info || !info.append_attribute("name").set_value(name) ||
            !info.append_attribute("value").set_value(value->c_str()))
            return false;
    }
    return true;
}

MetaInfo gf_readFileMetaInfo(const pugi::xml_document& doc, MetaVariant variant) {
    MetaInfo meta;
    bool versionRow = false;
    for (pugi::xml_node info : lf_metaNode(doc).children("info")) {
        meta.found = true;
        const std::string_view name = info.attribute("name").value();
        const char* value = info.attribute("value").value();
        if (name == "author") {
            meta.author = value;
        } else if (name == "version") {
            meta.version = value;
            versionRow = true;
        } else if (name == "date") {
            meta.date = value;
        } else if (name == "copyright") {
            meta.copyright = value;
        } else if (name == "sim") {
            meta.sim = value;
        }
    }
    const bool versionReadable = lf_holdsVersionTriple(meta.version);
    if (variant == MetaVariant::learnedFile)
        meta.accepted = meta.found && versionReadable;
    else
        meta.accepted = meta.found && (!versionRow || versionReadable);
    return meta;
}

} // namespace kvr
