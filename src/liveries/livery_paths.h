#pragma once
#include <filesystem>

namespace kvr {

// The files and folders of the livery subsystem, relative to the working folder (the program folder).
struct LiveryPaths {
    std::filesystem::path outputFolder;         // output
    std::filesystem::path infoFolder;           // output/info
    std::filesystem::path errorsFolder;         // output/errors
    std::filesystem::path liveriesScanned;      // output/LiveriesScanned.xml, the livery catalogue
    std::filesystem::path inlineRegcodes;       // output/errors/InlineRegcodes.txt
    std::filesystem::path offlineRegcodes;      // output/info/OfflineRegcodes.txt
    std::filesystem::path inputFolder;          // input
    std::filesystem::path regcodeFolder;        // input/my_regcodes, the user's registration-code files
    std::filesystem::path aigRegcodesEncrypted; // input/AIG-regcodes.enc
    std::filesystem::path aigRegcodesPlain;     // input/AIG-regcodes.xml, present only while it is read
};

// Built at program start relative to the current folder.
extern LiveryPaths liveryPaths;

// Rebuilds every path below the folder; an empty folder gives the relative paths of program start.
void gf_setLiveryWorkingFolder(const std::filesystem::path& folder);

} // namespace kvr
