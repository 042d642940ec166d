#include "refdata/update_check.h"

#include "core/exit_request.h"
#include "core/file_util.h"
#include "core/log.h"
#include "core/message_line.h"
#include "core/native_path.h"
#include "core/program_version.h"
#include "core/shared_state.h"
#include "core/text_util.h"
#include "refdata/downloads.h"
#include "refdata/stream_decrypt.h"
#include "refdata/version_data.h"
#include "refdata/zip_extract.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"
#include "settings/parameters_file.h"

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <cctype>
#include <stdexcept>

namespace kvr {

namespace {

namespace fs = std::filesystem;

const fs::path versionsFile = fs::path("input") / "versions.json";
const fs::path updatesFolder = "updates";
const fs::path simAddonFolder = fs::path("airports") / "my_simaddon";

struct VersionEntry {
    VersionData version;
    std::string versionText;
    std::string file; // below the server's download folder; empty when the entry has none
};

struct VersionsFile {
    VersionEntry program;
    std::optional<VersionEntry> addons;
    std::optional<VersionEntry> simAddon24;
};

// Server paths go into URLs and local file names as they are, so only plain characters are taken.
bool lf_isPlainServerPath(const std::string& path) {
    if (!gf_isSafeZipEntryName(path) || path.back() == '/')
        return false;
    for (const char c : path)
        if (!std::isalnum(static_cast<unsigned char>(c)) &&
            std::string_view("._-+/").find(c) == std::string_view::npos)
            return false;
    return true;
}

VersionEntry lf_readEntry(const nlohmann::json& root, const char* key, bool needsFile) {
    const auto it = root.find(key);
    if (it == root.end() || !it->is_object())
        throw std::runtime_error(fmt::format("\"{}\" is not an object", key));
    const auto version = it->find("version");
    if (version == it->end() || !version->is_string())
        throw std::runtime_error(fmt::format("\"{}\" has no version text", key));
    VersionEntry entry;
    entry.versionText = version->get<std::string>();
    const auto parsed = VersionData::fromText(entry.versionText);
    if (!parsed)
        throw std::runtime_error(
            fmt::format("\"{}\" version '{}' is not major.minor.patch", key, entry.versionText));
    entry.version = *parsed;
    if (needsFile) {
        const auto file = it->find("file");
        if (file == it->end() || !file->is_string() || !lf_isPlainServerPath(file->get<std::string>()))
            throw std::runtime_error(fmt::format("\"{}\" has no usable file path", key));
        entry.file = file->get<std::string>();
    }
    return entry;
}

// Throws std::runtime_error naming what is wrong.
VersionsFile lf_parseVersionsFile(const std::string& text) {
    const nlohmann::json root = nlohmann::json::parse(text);
    if (!root.is_object())
        throw std::runtime_error("the document is not an object");
    VersionsFile versions;
    versions.program = lf_readEntry(root, "program", true);
    if (root.contains("addons"))
        versions.addons = lf_readEntry(root, "addons", false);
    if (root.contains("mysimaddon24"))
        versions.simAddon24 = lf_readEntry(root, "mysimaddon24", true);
    return versions;
}

bool lf_endsWithZip(const std::string& name) {
    if (name.size() < 4)
        return false;
    return gf_toLower(name.substr(name.size() - 4)) == ".zip";
}

// True when the new version is in place and the program must end.
bool lf_fetchNewProgram(CURL* curl, const VersionEntry& program) {
    std::error_code ec;
    fs::create_directories(updatesFolder, ec);
    const fs::path package = updatesFolder / gf_pathFromUtf8(program.file).filename();
    if (!gf_downloadFile(curl, gf_downloadUrl(program.file), package, DownloadMode::package)) {
        if (gf_stopping())
            return false;
        gf_logError(fmt::format("Update check: version {} could not be downloaded, going on with {}",
                                program.versionText, programVersionText));
        return false;
    }
    fs::path location = package;
    if (lf_endsWithZip(gf_pathToUtf8(package.filename()))) {
        // The folder is named by the parsed version: the server's text may hold separators and "..".
        location = updatesFolder /
                   gf_pathFromUtf8(fmt::format("{}-{}", programShortName, gf_versionText(program.version)));
        fs::remove_all(location, ec);
        const ZipExtractResult unpacked = gf_extractZip(package, location);
        gf_removeFileWarn(package);
        if (!unpacked.error.empty()) {
            fs::remove_all(location, ec);
            gf_logError(fmt::format("Update check: version {} could not be unpacked ({}), going on with {}",
                                    program.versionText, unpacked.error, programVersionText));
            return false;
        }
    }
    const fs::path shown = fs::absolute(location, ec);
    gf_showMessage(fmt::format("{} {} has been downloaded to {}; close {} and install it from there",
                               programShortName, program.versionText, gf_pathToUtf8(ec ? location : shown),
                               programShortName),
                   true);
    gf_requestExit(ExitReason::newVersion, 0);
    return true;
}

void lf_checkAddonVersion(const VersionEntry& addons) {
    const auto stored = VersionData::fromText(ADDONS_SCAN_VERSION.value());
    if (stored && addons.version <= *stored)
        return;
    gf_setCheckSetting(SCAN_AIRPORTS, true);
    gf_setParameterAndSave(ADDONS_SCAN_VERSION, addons.versionText);
    gf_logLine(fmt::format("Update check: add-on airport data {} is new, the add-on airports will be scanned",
                           addons.versionText));
}

bool lf_folderIsEmpty(const fs::path& folder) {
    std::error_code ec;
    const fs::directory_iterator first(folder, ec);
    return ec || first == fs::directory_iterator();
}

// Moves every file of the staging folder into the target, over files of the same name; other files of
// the target (link files written by the airport scan) stay.
std::size_t lf_mergeInto(const fs::path& staging, const fs::path& target) {
    std::size_t moved = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(staging)) {
        if (!entry.is_regular_file())
            continue;
        const fs::path destination = target / fs::relative(entry.path(), staging);
        fs::create_directories(destination.parent_path());
        fs::rename(entry.path(), destination);
        ++moved;
    }
    return moved;
}

void lf_refreshSimAddon24(CURL* curl, const VersionEntry& simAddon) {
    const auto stored = VersionData::fromText(MYSIMADDON24_VERSION.value());
    if (stored && simAddon.version <= *stored && !lf_folderIsEmpty(simAddonFolder))
        return;
    const fs::path package = simAddonFolder.parent_path() / "my_simaddon24.zip";
    const fs::path staging = simAddonFolder.parent_path() / "my_simaddon.new";
    std::error_code ec;
    fs::create_directories(simAddonFolder, ec);
    if (!gf_downloadFile(curl, gf_downloadUrl(simAddon.file), package, DownloadMode::package)) {
        if (gf_stopping())
            return;
        gf_logError(fmt::format(
            "Update check: simulator add-on package {} could not be downloaded, {} stays as it is",
            simAddon.versionText, gf_pathToUtf8(simAddonFolder)));
        return;
    }
    fs::remove_all(staging, ec);
    const ZipExtractResult unpacked = gf_extractZip(package, staging);
    gf_removeFileWarn(package);
    if (!unpacked.error.empty()) {
        fs::remove_all(staging, ec);
        gf_logError(fmt::format("Update check: {}; {} stays as it is", unpacked.error,
                                gf_pathToUtf8(simAddonFolder)));
        return;
    }
    std::size_t moved = 0;
    try {
        moved = lf_mergeInto(staging, simAddonFolder);
    } catch (const fs::filesystem_error& e) {
        fs::remove_all(staging, ec);
        gf_logError(fmt::format("Update check: simulator add-on package {} not installed: {}",
                                simAddon.versionText, e.what()));
        return;
    }
    fs::remove_all(staging, ec);
    gf_setParameterAndSave(MYSIMADDON24_VERSION, simAddon.versionText);
    gf_logLine(fmt::format("Update check: simulator add-on package {} installed in {} ({} files)",
                           simAddon.versionText, gf_pathToUtf8(simAddonFolder), moved));
}

bool lf_checkForUpdates() {
    const CurlHandle curl = gf_newCurlHandle();
    std::error_code ec;
    fs::create_directories(versionsFile.parent_path(), ec);
    if (!gf_downloadFile(curl.get(), gf_downloadUrl("versions.json"), versionsFile)) {
        if (gf_stopping())
            return true;
        gf_logLine(
            fmt::format("Update check: {} cannot be reached, going on offline", gf_downloadServerUrl()));
        return true;
    }
    const std::string text = gf_readFileBytes(versionsFile).value_or("");
    gf_removeFileWarn(versionsFile);
    VersionsFile versions;
    try {
        versions = lf_parseVersionsFile(text);
    } catch (const std::exception& e) {
        gf_logError(fmt::format("Update check: versions.json is malformed ({}), going on offline", e.what()));
        return true;
    }
    const VersionData running(programVersion);
    gf_logLine(fmt::format("Update check: version {} on the server, {} running", versions.program.versionText,
                           programVersionText));
    if (versions.program.version > running && lf_fetchNewProgram(curl.get(), versions.program))
        return false;
    // Closed while the new version came: the rest of the check waits for the next start.
    if (gf_stopping())
        return true;
    if (versions.addons)
        lf_checkAddonVersion(*versions.addons);
    if (versions.simAddon24 && !msfs2020Selected.load())
        lf_refreshSimAddon24(curl.get(), *versions.simAddon24);
    return true;
}

} // namespace

bool gf_checkForUpdates() {
    try {
        return lf_checkForUpdates();
    } catch (const std::exception& e) {
        gf_logError(fmt::format("gf_checkForUpdates: {}, going on offline", e.what()));
        return true;
    }
}

} // namespace kvr
