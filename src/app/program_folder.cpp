#include "app/program_folder.h"

#include "core/log.h"
#include "core/native_path.h"
#include "core/program_version.h"
#include "core/user_error.h"

#include <fmt/format.h>

#include <filesystem>
#include <system_error>

namespace kvr {

void gf_checkProgramFolderWritable() {
    if (gf_logIsOpen())
        return;
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::current_path(ec);
    throw UserErrorException(42,
                             fmt::format("{} cannot write in {}, not even Log.txt: move the {} folder into "
                                         "a folder of your own",
                                         programShortName, gf_pathToUtf8(folder), programShortName));
}

} // namespace kvr
