// UserCfg.opt of the simulator: the InstalledPackagesPath line that names where its packages are.
#include "fuzz_support.h"
#include "simlink/sim_install_internal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kvr;
    const std::filesystem::path file = fuzz::scratchFolder() / "UserCfg.opt";
    fuzz::writeInput(file, fuzz::asText(data, size));
    if (const auto folder = lf_installedPackagesPath(file)) {
        FUZZ_CHECK(!folder->empty());
        const std::string text = folder->string();
        FUZZ_CHECK(text.find('"') == std::string::npos && text.find('\n') == std::string::npos);
        lf_isValidPackagesFolder(*folder);
    }
    return 0;
}
