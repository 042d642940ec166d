#include "app/leftover_temporaries.h"

#include "core/log.h"
#include "core/temporary_files.h"
#include "core/text_util.h"
#include "parking/learned_file.h"
#include "settings/parameters_file.h"

#include <fmt/format.h>

#include <filesystem>

namespace kvr {

void gf_removeLeftoverTemporaries() {
    // Only the folders saves and downloads write into, so that a start never walks the user's disk: the
    // settings folder with the flight plans below it, the stand files and everything learned below
    // airports, the reports below output, and the downloads into input and updates.
    struct Folder {
        std::filesystem::path path;
        bool withSubfolders;
    };
    const Folder folders[]{
        {appDataFolder, true}, {airportsDir, true}, {"output", true}, {"input", false}, {"updates", false}};
    std::size_t removed = 0;
    for (const Folder& folder : folders)
        removed += gf_removeLeftoverTemporariesIn(folder.path, folder.withSubfolders);
    if (removed > 0)
        gf_logLine(fmt::format("Removed {} temporary file{} left by an earlier run", removed,
                               gf_pluralSuffix(removed)));
}

} // namespace kvr
