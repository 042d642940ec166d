#include "liveries/regcode_files.h"

#include "core/file_util.h"
#include "core/log.h"
#include "core/meta_info.h"
#include "core/native_path.h"
#include "core/text_util.h"
#include "liveries/livery_paths.h"
#include "refdata/stream_decrypt.h"

#include <fmt/format.h>
#include <pugixml.hpp>

#include <exception>
#include <fstream>
#include <system_error>

namespace kvr {

std::vector<std::string> dontUseTitles;

namespace {

constexpr std::size_t minRegcodeLength = 3;
constexpr std::size_t maxRegcodeLength = 12;

const char* lf_liveryWord(std::size_t count) {
    return count == 1 ? "livery" : "liveries";
}

// Splits at every delimiter without trimming; a trailing delimiter gives an empty last piece.
std::vector<std::string> lf_splitFields(const std::string& line, char delimiter) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = line.find(delimiter, start);
        fields.push_back(line.substr(start, end - start));
        if (end == std::string::npos)
            return fields;
        start = end + 1;
    }
}

bool lf_validRegcodeLength(const std::string& regcode) {
    return regcode.size() >= minRegcodeLength && regcode.size() <= maxRegcodeLength;
}

// One line of a user file; false when it is malformed.
bool lf_readRegcodeLine(const std::string& line, const std::string& pathText,
                        std::vector<RegcodeRecord>& records) {
    std::vector<std::string> fields = lf_splitFields(line, ';');
    if (fields.size() == 1) {
        records.push_back({std::move(fields[0]), {}, false});
        return true;
    }
    if (fields.size() > 3) {
        gf_logError(fmt::format("{}: wrong format '{}'", pathText, line));
        return false;
    }
    std::vector<std::string> regcodes = gf_splitCsvLine(fields[1]);
    if (regcodes.empty())
        return true;
    if (regcodes.size() == 1) {
        if (!lf_validRegcodeLength(regcodes[0])) {
            gf_logError(fmt::format("wrong regcode length '{}' in {}", regcodes[0], pathText));
            return false;
        }
        // A definition for exactly one airframe is special whatever its third field says.
        records.push_back({std::move(fields[0]), std::move(regcodes), true});
        return true;
    }
    bool result = true;
    std::vector<std::string> kept;
    for (std::string& regcode : regcodes) {
        if (lf_validRegcodeLength(regcode)) {
            kept.push_back(std::move(regcode));
        } else {
            gf_logError(fmt::format("wrong regcode length '{}' in {}", regcode, pathText));
            result = false;
        }
    }
    if (kept.empty()) {
        gf_logError(fmt::format("{} ; regs empty?", pathText));
        return result;
    }
    const bool special = fields.size() == 3 && fields[2] == "#";
    records.push_back({std::move(fields[0]), std::move(kept), special});
    return result;
}

// Appends the titles without registration codes to dontUseTitles; returns how many.
std::size_t lf_collectDontUseTitles(const std::vector<RegcodeRecord>& records) {
    std::size_t count = 0;
    for (const RegcodeRecord& record : records)
        if (record.regcodes.empty()) {
            dontUseTitles.push_back(record.title);
            ++count;
        }
    return count;
}

} // namespace

bool gf_readAigRegcodes(std::vector<RegcodeRecord>& records) {
    const std::filesystem::path& path = liveryPaths.aigRegcodesPlain;
    pugi::xml_document doc;
    if (!doc.load_file(path.c_str())) {
        gf_logError(fmt::format("Failed to load {}", gf_pathToUtf8(path)));
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
        return false;
    }
    if (!gf_readFileMetaInfo(doc).found)
        return false;
    const pugi::xml_node root = doc.child("root");
    const pugi::xml_node list = root ? root.child("AIG-regcodes") : doc.child("AIG-regcodes");
    bool result = true;
    std::string previousTitle;
    for (const pugi::xml_node livery : list.children("livery")) {
        std::string title = livery.attribute("title").value();
        if (title.empty())
            continue;
        // Only directly repeated titles are caught: the document is kept sorted by title.
        if (title == previousTitle) {
            gf_logError(fmt::format("SAME AS PREVIOUS title '{}'", title));
            result = false;
            continue;
        }
        previousTitle = title;
        records.push_back({std::move(title), gf_splitCsvLine(livery.attribute("reg").value()),
                           livery.attribute("special").as_bool()});
    }
    gf_logLine(fmt::format("{} {} read from AIG-regcodes", records.size(), lf_liveryWord(records.size())));
    return result;
}

bool gf_readRegcodeTxtFiles(const std::filesystem::path& folder, std::vector<RegcodeRecord>& records) {
    bool result = true;
    try {
        for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(folder)) {
            if (!entry.is_regular_file() || gf_toUpper(gf_pathToUtf8(entry.path().extension())) != ".TXT")
                continue;
            const std::string pathText = gf_pathToUtf8(entry.path());
            gf_logLine(fmt::format("Processing regcodes file '{}'", pathText));
            std::ifstream in;
            if (!gf_openInputFile(entry.path(), in))
                continue;
            std::vector<std::string> lines;
            gf_readLines(in, lines);
            for (const std::string& line : lines)
                if (!line.empty() && !lf_readRegcodeLine(line, pathText, records))
                    result = false;
        }
        gf_logLine(fmt::format("{} {}", records.size(), lf_liveryWord(records.size())));
    } catch (const std::exception& error) {
        gf_logError(
            fmt::format("Error reading regcode files in {}, what: {}", gf_pathToUtf8(folder), error.what()));
        return false;
    }
    return result;
}

void lf_scanAigRegcodeFile() {
    std::vector<RegcodeRecord> records;
    if (!gf_readAigRegcodes(records))
        regcodeReportLines.push_back(
            fmt::format("There were errors in processing the file '{}', see the Log.txt",
                        gf_pathToUtf8(liveryPaths.aigRegcodesPlain)));
    const std::size_t count = lf_collectDontUseTitles(records);
    gf_logLine(fmt::format("{} don't use title{} read", count, gf_pluralSuffix(count)));
}

void lf_scanRegcodeFolder() {
    const std::filesystem::path& folder = liveryPaths.regcodeFolder;
    std::vector<RegcodeRecord> records;
    if (!gf_readRegcodeTxtFiles(folder, records))
        regcodeReportLines.push_back(
            fmt::format("There were errors in processing the regcode files in folder '{}', see the Log.txt",
                        gf_pathToUtf8(folder)));
    const std::size_t count = lf_collectDontUseTitles(records);
    gf_logLine(fmt::format("{} don't use title{} read from files in {}", count, gf_pluralSuffix(count),
                           gf_pathToUtf8(folder)));
}

void lf_processRegcodeFiles() {
    try {
        if (gf_streamDecrypt(liveryPaths.aigRegcodesEncrypted, liveryPaths.aigRegcodesPlain)) {
            lf_scanAigRegcodeFile();
            gf_removeFileWarn(liveryPaths.aigRegcodesPlain);
        }
        if (gf_countFilesInFolder(liveryPaths.regcodeFolder) > 0)
            lf_scanRegcodeFolder();
    } catch (const std::exception& error) {
        gf_logError(fmt::format("exception: {}", error.what()));
    }
}

void lf_processAigRegcodeFile() {
    const std::string pathText = gf_pathToUtf8(liveryPaths.aigRegcodesPlain);
    regcodeReportLines.push_back(fmt::format("Processing file {}", pathText));
    std::vector<RegcodeRecord> records;
    if (!gf_readAigRegcodes(records))
        regcodeReportLines.push_back(
            fmt::format("There were errors processing the AIG-regcode file '{}', see Log.txt", pathText));
    lf_addRegcodes(records);
}

void lf_processRegcodeFolder() {
    const std::filesystem::path& folder = liveryPaths.regcodeFolder;
    if (gf_countFilesInFolder(folder) == 0)
        return;
    regcodeReportLines.push_back(fmt::format("Processing files in {}", gf_pathToUtf8(folder)));
    std::vector<RegcodeRecord> records;
    if (!gf_readRegcodeTxtFiles(folder, records))
        regcodeReportLines.push_back(
            fmt::format("There were errors processing the regcode files in folder '{}', see Log.txt",
                        gf_pathToUtf8(folder)));
    lf_addRegcodes(records);
}

void gf_processOfflineRegcodes() {
    try {
        regcodeReportLines.clear();
        if (!gf_streamDecrypt(liveryPaths.aigRegcodesEncrypted, liveryPaths.aigRegcodesPlain))
            return;
        lf_processAigRegcodeFile();
        gf_removeFileWarn(liveryPaths.aigRegcodesPlain);
        lf_processRegcodeFolder();
        std::filesystem::remove(liveryPaths.offlineRegcodes);
        if (!regcodeReportLines.empty()) {
            gf_writeLines(regcodeReportLines, liveryPaths.offlineRegcodes);
            gf_logLine(fmt::format("Offline regcode files processed, results can be found in '{}'",
                                   gf_pathToUtf8(liveryPaths.offlineRegcodes)));
        }
        if (!specialLiveries.empty())
            gf_logLine(fmt::format("{} special liveries", specialLiveries.size()));
        if (!specialRegcodes.empty())
            gf_logLine(fmt::format("{} unique liveries", specialRegcodes.size()));
    } catch (const std::exception& error) {
        gf_logError(fmt::format("exception: {}", error.what()));
    }
}

} // namespace kvr
