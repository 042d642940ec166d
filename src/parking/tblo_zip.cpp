#include "parking/tblo_zip.h"

#include "core/file_util.h"
#include "core/log.h"
#include "core/native_path.h"
#include "core/shell_port.h"
#include "core/xml_util.h"
#include "parking/airport_scan.h"
#include "parking/airport_scan_internal.h"
#include "parking/learned_file.h"
#include "parking/stand_lookup.h"
#include "parking/stand_lookup_internal.h"
#include "parking/tblo_zip_internal.h"
#include "refdata/airport_table.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"

#include <fmt/format.h>
#include <pugixml.hpp>
#include <zip.h>

#include <algorithm>
#include <fstream>
#include <limits>
#include <list>
#include <memory>

namespace kvr {

namespace fs = std::filesystem;

const fs::path tbloDir = "tblo";
const fs::path tbloZipFile = tbloDir / "tblo.zip";

namespace {

struct ZipDiscard {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ZipArchive = std::unique_ptr<zip_t, ZipDiscard>;

void lf_zipLog(const std::string& text) {
    gf_logLine(text);
    gf_flushLog();
}

// Closes the archive, which writes it out; an archive that fails to close is discarded.
bool lf_closeZipArchive(ZipArchive& archive, const fs::path& target, std::size_t added) {
    const bool closed = zip_close(archive.get()) == 0;
    if (closed)
        archive.release();
    std::error_code ec;
    const bool exists = fs::exists(target, ec);
    std::uintmax_t size = exists ? fs::file_size(target, ec) : 0;
    if (ec)
        size = 0;
    lf_zipLog(fmt::format("[zip] Added {} files, ok_close={}, exists={}, size={} bytes", added, closed,
                          exists, size));
    return closed && exists && size != 0;
}

// For this maker's KMCI the archived file is preferred even where the scenery holds more stands: the
// generated file goes, so that the link to the archived one stays in force.
bool lf_isTropicalSimKmci(const fs::path& file) {
    pugi::xml_document doc;
    return doc.load_file(file.c_str()) && gf_findParameterValue(doc, "publisher") == "TropicalSim";
}

void lf_removeLinkFile(const fs::path& link) {
    std::error_code ec;
    const bool exists = fs::exists(link, ec);
    if (ec) {
        gf_logError(fmt::format("exists({}) failed: {}", gf_pathToUtf8(link), ec.message()));
        return;
    }
    if (exists && !fs::remove(link, ec) && ec)
        gf_logError(fmt::format("remove({}) failed: {}", gf_pathToUtf8(link), ec.message()));
}

} // namespace

std::optional<std::vector<char>> lf_readPackageFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return std::nullopt;
    const std::streamoff size = in.tellg();
    if (size < 0)
        return std::nullopt;
    std::vector<char> bytes(static_cast<std::size_t>(size));
    in.seekg(0, std::ios::beg);
    in.read(bytes.data(), size);
    if (in.gcount() != size)
        return std::nullopt;
    return bytes;
}

bool gf_zipFolder(const fs::path& target) {
    if (!fs::is_directory(fs::status(tbloDir))) {
        lf_zipLog(fmt::format("[zip] Not a directory: {}", gf_pathToUtf8(tbloDir)));
        return false;
    }
    std::error_code ec;
    if (target.has_parent_path())
        fs::create_directories(target.parent_path(), ec);
    const fs::path zipFile = fs::absolute(target);
    const fs::path source = fs::absolute(tbloDir);
    lf_zipLog(fmt::format("[zip] Target file: {}", gf_pathToUtf8(zipFile)));
    lf_zipLog(fmt::format("[zip] Source dir : {}", gf_pathToUtf8(source)));
    if (fs::exists(zipFile, ec)) {
        lf_zipLog(fmt::format("[zip] Removing old zip {}", gf_pathToUtf8(zipFile)));
        fs::remove(zipFile, ec);
    }

    int openError = 0;
    ZipArchive archive(zip_open(gf_pathToUtf8(zipFile).c_str(), ZIP_CREATE | ZIP_EXCL, &openError));
    if (!archive) {
        lf_zipLog("[zip] Could not open archive for writing");
        return false;
    }
    // The archive reads the buffers only when it is written out at the close.
    std::list<std::vector<char>> buffers;
    std::size_t added = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(source)) {
        std::error_code typeError;
        if (!entry.is_regular_file(typeError) || entry.path() == zipFile)
            continue;
        auto bytes = lf_readPackageFile(entry.path());
        if (!bytes) {
            lf_zipLog(fmt::format("[zip] READ FAIL: {}", gf_pathToUtf8(entry.path())));
            continue;
        }
        const std::string name = gf_pathToUtf8(entry.path().filename());
        lf_zipLog(fmt::format("[zip] Adding (data) {} -> {} ({} bytes)", gf_pathToUtf8(entry.path()), name,
                              bytes->size()));
        const std::vector<char>& buffer = buffers.emplace_back(std::move(*bytes));
        zip_source_t* data = zip_source_buffer(archive.get(), buffer.data(), buffer.size(), 0);
        if (data == nullptr ||
            zip_file_add(archive.get(), name.c_str(), data, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
            if (data != nullptr)
                zip_source_free(data);
            lf_zipLog(fmt::format("[zip] ERROR addData({})", name));
            continue;
        }
        ++added;
    }
    return lf_closeZipArchive(archive, zipFile, added);
}

void lf_collectThirdpartyFiles(const std::vector<std::string>& stems) {
    for (const std::string& stem : stems) {
        const fs::path file = myThirdpartyDir / gf_pathFromUtf8(gf_xmlFileName(stem));
        if (stem == "KMCI" && lf_isTropicalSimKmci(file)) {
            fs::remove(file);
            continue;
        }
        if (!gf_isKnownAirport(stem) || !lf_readApfPublisher(file))
            continue;
        const fs::path target = tbloDir / gf_pathFromUtf8(gf_xmlFileName(stem));
        std::error_code ec;
        gf_copyFileReplacing(file, target, ec);
        if (ec) {
            gf_logError(fmt::format("'{}' failed to copy '{}': {}", gf_pathToUtf8(file),
                                    gf_pathToUtf8(target), ec.message()));
            continue;
        }
        gf_logLine(fmt::format("{} copied to {}", stem, gf_pathToUtf8(target)));
        gf_flushLog();
        lf_removeLinkFile(myThirdpartyDir / gf_pathFromUtf8(gf_txtFileName(stem)));
    }

    const std::size_t collected = gf_countFilesInFolder(tbloDir);
    if (collected == 0) {
        tbloCount = 0;
        gf_logLine("All your third party airports are recognised, no off line learning needed.");
        gf_flushLog();
        return;
    }
    if (!gf_zipFolder(tbloZipFile))
        gf_logError("Zippen TBLO folder failed");
    gf_removeXMLFilesFromDirectory(tbloDir, {gf_pathToUtf8(tbloZipFile.filename())});
    tbloCount =
        static_cast<std::int32_t>(std::min<std::size_t>(collected, std::numeric_limits<std::int32_t>::max()));
    gf_enableControl(tbloButton);
    gf_logLine(fmt::format("\n! Mail {} to ", gf_pathToUtf8(fs::absolute(tbloZipFile))) + tbloMailAddress +
               "\n");
    gf_flushLog();
    gf_invalidateArea(ScreenArea::whole);
}

} // namespace kvr
