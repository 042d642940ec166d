#include "parking/stand_lookup.h"

#include "core/file_util.h"
#include "core/log.h"
#include "core/native_path.h"
#include "core/shared_state.h"
#include "core/text_util.h"
#include "core/xml_util.h"
#include "parking/learned_file.h"
#include "parking/publisher_folder.h"
#include "parking/stand_lookup_internal.h"
#include "refdata/airport_table.h"
#include "refdata/downloads.h"

#include <fmt/format.h>
#include <pugixml.hpp>

#include <algorithm>
#include <fstream>
#include <string_view>
#include <vector>

namespace kvr {

namespace {

constexpr std::string_view thirdpartyArchive = "archive\\thirdparty\\";

bool lf_startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::string lf_replaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string result;
    for (auto pos = text.find(from); pos != std::string_view::npos; pos = text.find(from)) {
        result.append(text.substr(0, pos)).append(to);
        text.remove_prefix(pos + from.size());
    }
    return result.append(text);
}

// A folder or file name that stays where it is put: no drive, no parent or current folder.
bool lf_isPlainName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find(':') == std::string_view::npos &&
           name.find('/') == std::string_view::npos && name.find('\\') == std::string_view::npos;
}

// A relative path written with "\" appended to a folder; empty when a part of it would leave the folder.
std::filesystem::path lf_joinBackslashPath(std::filesystem::path result, std::string_view backslashPath) {
    std::size_t start = 0;
    while (start <= backslashPath.size()) {
        const auto end = std::min(backslashPath.find('\\', start), backslashPath.size());
        if (end > start) {
            const std::string_view part = backslashPath.substr(start, end - start);
            if (!lf_isPlainName(part))
                return {};
            result /= gf_pathFromUtf8(part);
        }
        start = end + 1;
    }
    return result;
}

} // namespace

std::string gf_findArchivedStockApf(const std::string& code) {
    std::string link;
    for (const std::filesystem::path& folder : {myThirdpartyDir, mySimaddonDir}) {
        if (lf_readApfLink(folder / gf_pathFromUtf8(gf_txtFileName(code)), link))
            return link;
        const std::filesystem::path local = folder / gf_pathFromUtf8(gf_xmlFileName(code));
        std::error_code ec;
        if (std::filesystem::exists(local, ec))
            return gf_pathToUtf8(local.generic_u8string());
    }
    const auto airport = gf_findAirport(code);
    if (airport && airport->stands >= 1)
        return "archive/stock/" + gf_xmlFileName(code);
    return {};
}

bool gf_airportFileExists(const std::string& code) {
    for (const std::filesystem::path& folder : {myThirdpartyDir, mySimaddonDir})
        for (const std::string& name : {gf_xmlFileName(code), gf_txtFileName(code)}) {
            std::error_code ec;
            if (std::filesystem::exists(folder / gf_pathFromUtf8(name), ec))
                return true;
        }
    const auto airport = gf_findAirport(code);
    return airport && airport->stands >= 1;
}

std::string lf_downloadApf(const std::string& path, const std::filesystem::path& localPath) {
    std::string serverPath = path;
    std::replace(serverPath.begin(), serverPath.end(), '\\', '/');
    serverPath.erase(0, serverPath.find_first_not_of('/'));
    // Stock and simulator add-on stand files are the same for both simulators. The archive folder tells
    // them apart, not a publisher's name that happens to hold "stock".
    const auto folderStart = serverPath.find('/') + 1; // archive/<folder>/...
    const std::string archiveFolder =
        folderStart == 0 ? std::string()
                         : serverPath.substr(folderStart, serverPath.find('/', folderStart) - folderStart);
    const bool stockOrAddon = archiveFolder == "stock" || archiveFolder == "simaddon";
    const std::string folder = msfs2020Selected.load() || stockOrAddon ? "MSFS/" : "MSFS2024/";
    const std::string url = gf_downloadUrl(folder + serverPath);
    std::error_code ec;
    if (localPath.has_parent_path())
        std::filesystem::create_directories(localPath.parent_path(), ec);
    const CurlHandle curl = gf_newCurlHandle();
    if (curl && gf_downloadFile(curl.get(), url, localPath))
        return {};
    if (std::filesystem::exists(localPath, ec))
        gf_removeFileWarn(localPath);
    std::string error = fmt::format("failed to download: '{}'", url);
    gf_logLine(error);
    return error;
}

std::string gf_xmlFileName(const std::string& code) {
    return code + ".xml";
}
std::string gf_txtFileName(const std::string& code) {
    return code + ".txt";
}

bool lf_readApfLink(const std::filesystem::path& path, std::string& link) {
    link.clear();
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return false;
    std::ifstream in;
    if (!gf_openInputFile(path, in))
        return false;
    // Read as lines, so that a byte-order mark an editor put before the first line never reaches the URL.
    std::vector<std::string> lines;
    gf_readLines(in, lines);
    if (lines.empty() || lines.front().empty())
        return false;
    std::string line = std::move(lines.front());
    line.erase(line.find_last_not_of(" \t\r\n\f\v") + 1);
    if (line.size() < 4 || gf_toUpper(std::string_view(line).substr(line.size() - 4)) != ".XML")
        return false;
    link = std::move(line);
    return true;
}

std::filesystem::path lf_learnedApfPath(const std::string& path, const std::string& publisher) {
    if (path.empty())
        return {};
    std::string p = path;
    std::replace(p.begin(), p.end(), '/', '\\');
    gf_logLine(p);
    const auto nameStart = p.find_last_of('\\') + 1; // 0 when there is no separator
    const std::string fileName = p.substr(nameStart);
    const auto dot = fileName.find_last_of('.');
    if (dot == std::string::npos || gf_toUpper(std::string_view(fileName).substr(dot)) != ".XML" ||
        !lf_isPlainName(fileName))
        return {};

    if (const auto at = p.find(thirdpartyArchive); at != std::string::npos) {
        const std::string rest = p.substr(at + thirdpartyArchive.size());
        const auto segmentEnd = rest.find('\\');
        if (segmentEnd == std::string::npos)
            return {};
        const std::string folder = gf_publisherFolder(lf_replaceAll(rest.substr(0, segmentEnd), "%20", " "));
        if (folder.empty())
            return {};
        return learnedDir / "thirdparty" / gf_pathFromUtf8(folder) / gf_pathFromUtf8(fileName);
    }
    // Downloaded and linked stock and add-on files.
    if (p.find("archive\\stock\\") != std::string::npos)
        return learnedDir / "stock" / gf_pathFromUtf8(fileName);
    if (p.find("archive\\simaddon\\") != std::string::npos)
        return learnedDir / "simaddon" / gf_pathFromUtf8(fileName);
    if (!lf_startsWith(p, "airports\\"))
        return {};
    const std::string_view below = std::string_view(p).substr(9);
    if (lf_startsWith(below, "stock\\"))
        return lf_joinBackslashPath(learnedDir, below);
    if (lf_startsWith(below, "my_simaddon\\"))
        return lf_joinBackslashPath(learnedDir / "simaddon", below.substr(12));
    if (lf_startsWith(below, "my_thirdparty2024\\") || lf_startsWith(below, "my_thirdparty\\")) {
        const std::string folder = gf_publisherFolder(publisher);
        return folder.empty()
                   ? learnedDir / "thirdparty" / gf_pathFromUtf8(fileName)
                   : learnedDir / "thirdparty" / gf_pathFromUtf8(folder) / gf_pathFromUtf8(fileName);
    }
    return lf_joinBackslashPath(learnedDir, below);
}

bool lf_isExcludedAuthor(const std::string& name) {
    return gf_toUpper(gf_trim(name)) == "ASOBO STUDIO";
}

bool lf_readApfPublisher(const std::filesystem::path& path) {
    pugi::xml_document doc;
    if (!doc.load_file(path.c_str())) {
        gf_logError(fmt::format("'{}' not found", gf_pathToUtf8(path)));
        return false;
    }
    if (!gf_findParameterValue(doc, "publisher").value_or("").empty())
        return true;
    const auto counts = [&doc](const char* name) {
        const auto value = gf_findParameterValue(doc, name);
        return value && value->size() >= 4 && !lf_isExcludedAuthor(*value);
    };
    return counts("manufacturer") || counts("creator");
}

} // namespace kvr
