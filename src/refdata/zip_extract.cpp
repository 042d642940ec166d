#include "refdata/zip_extract.h"

#include "core/native_path.h"

#include <fmt/format.h>
#include <zip.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <vector>

namespace kvr {

namespace {

// No package of ours comes near this; an archive that unpacks to more is refused as damaged or hostile.
constexpr std::uint64_t maxExtractedBytes = std::uint64_t{4} << 30;

struct ZipCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct ZipFileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

std::string lf_normalisedName(std::string_view name) {
    std::string normalised(name);
    std::replace(normalised.begin(), normalised.end(), '\\', '/');
    return normalised;
}

std::string lf_extractEntry(zip_t* archive, zip_uint64_t index, const std::filesystem::path& target,
                            std::uint64_t& totalBytes) {
    std::error_code ec;
    std::filesystem::create_directories(target.parent_path(), ec);
    if (ec)
        return fmt::format("cannot create {}: {}", gf_pathToUtf8(target.parent_path()), ec.message());
    std::unique_ptr<zip_file_t, ZipFileCloser> entry(zip_fopen_index(archive, index, 0));
    if (!entry)
        return fmt::format("cannot open entry {}: {}", index, zip_strerror(archive));
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    if (!out)
        return fmt::format("cannot write {}", gf_pathToUtf8(target));
    std::vector<char> buffer(64 * 1024);
    while (true) {
        const zip_int64_t got = zip_fread(entry.get(), buffer.data(), buffer.size());
        if (got < 0)
            return fmt::format("cannot read entry {}: {}", index, zip_file_strerror(entry.get()));
        if (got == 0)
            break;
        totalBytes += static_cast<std::uint64_t>(got);
        if (totalBytes > maxExtractedBytes)
            return "the archive unpacks to more than 4 GiB";
        out.write(buffer.data(), got);
    }
    out.close();
    if (!out)
        return fmt::format("cannot write {}", gf_pathToUtf8(target));
    return {};
}

} // namespace

bool gf_isSafeZipEntryName(std::string_view name) {
    if (name.empty() || name.front() == '/' || name.front() == '\\' ||
        name.find(':') != std::string_view::npos)
        return false;
    const std::string normalised = lf_normalisedName(name);
    std::size_t start = 0;
    while (start <= normalised.size()) {
        const std::size_t end = std::min(normalised.find('/', start), normalised.size());
        if (std::string_view(normalised).substr(start, end - start) == "..")
            return false;
        start = end + 1;
    }
    return true;
}

ZipExtractResult gf_extractZip(const std::filesystem::path& zipFile, const std::filesystem::path& folder) {
    ZipExtractResult result;
    int openError = 0;
    std::unique_ptr<zip_t, ZipCloser> archive(
        zip_open(gf_pathToUtf8(zipFile).c_str(), ZIP_RDONLY, &openError));
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, openError);
        result.error = fmt::format("{} is not a readable zip archive: {}", gf_pathToUtf8(zipFile),
                                   zip_error_strerror(&error));
        zip_error_fini(&error);
        return result;
    }
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    std::vector<std::string> names;
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
        if (name == nullptr || !gf_isSafeZipEntryName(name)) {
            result.error = fmt::format("{} refused: entry '{}' would be written outside the folder",
                                       gf_pathToUtf8(zipFile), name == nullptr ? "" : name);
            return result;
        }
        names.push_back(lf_normalisedName(name));
    }

    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        result.error = fmt::format("cannot create {}: {}", gf_pathToUtf8(folder), ec.message());
        return result;
    }
    std::uint64_t totalBytes = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::filesystem::path target = folder / gf_pathFromUtf8(names[i]).relative_path();
        if (names[i].back() == '/') {
            std::filesystem::create_directories(target, ec);
            if (ec) {
                result.error = fmt::format("cannot create {}: {}", gf_pathToUtf8(target), ec.message());
                return result;
            }
            continue;
        }
        result.error = lf_extractEntry(archive.get(), i, target, totalBytes);
        if (!result.error.empty())
            return result;
        ++result.files;
    }
    return result;
}

} // namespace kvr
