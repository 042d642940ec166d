#include "liveries/livery_paths.h"

namespace kvr {

namespace {

LiveryPaths lf_makeLiveryPaths(const std::filesystem::path& folder) {
    LiveryPaths paths;
    paths.outputFolder = folder / "output";
    paths.infoFolder = paths.outputFolder / "info";
    paths.errorsFolder = paths.outputFolder / "errors";
    paths.liveriesScanned = paths.outputFolder / "LiveriesScanned.xml";
    paths.inlineRegcodes = paths.errorsFolder / "InlineRegcodes.txt";
    paths.offlineRegcodes = paths.infoFolder / "OfflineRegcodes.txt";
    paths.inputFolder = folder / "input";
    paths.regcodeFolder = paths.inputFolder / "my_regcodes";
    paths.aigRegcodesEncrypted = paths.inputFolder / "AIG-regcodes.enc";
    paths.aigRegcodesPlain = paths.inputFolder / "AIG-regcodes.xml";
    return paths;
}

} // namespace

LiveryPaths liveryPaths = lf_makeLiveryPaths({});

void gf_setLiveryWorkingFolder(const std::filesystem::path& folder) {
    liveryPaths = lf_makeLiveryPaths(folder);
}

} // namespace kvr
