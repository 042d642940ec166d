// Zip packages from the download server, unpacked into a folder: every file lands below that folder, and
// an archive with one unsafe entry name is refused before anything is written.
#include "fuzz_support.h"
#include "refdata/zip_extract.h"

#include <filesystem>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kvr;
    namespace fs = std::filesystem;
    const fs::path area = fuzz::scratchFolder() / "area";
    const fs::path target = area / "package";
    const fs::path archive = fuzz::scratchFolder() / "package.zip";
    fs::remove_all(area);
    fs::create_directories(area);
    fuzz::writeInput(archive, fuzz::asText(data, size));

    const ZipExtractResult result = gf_extractZip(archive, target);
    std::size_t files = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(area))
        FUZZ_CHECK(entry.path() == target);
    if (fs::exists(target))
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(target)) {
            FUZZ_CHECK(!entry.is_symlink());
            files += entry.is_regular_file() ? 1 : 0;
        }
    if (result.error.empty())
        FUZZ_CHECK(files == result.files);
    else
        FUZZ_CHECK(files <= result.files + 1); // the entry that failed may be left half written
    for (const fs::directory_entry& entry : fs::directory_iterator(fuzz::scratchFolder()))
        FUZZ_CHECK(entry.path() == area || entry.path() == archive);
    return 0;
}
