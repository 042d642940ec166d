#pragma once
// The registration-code files: the AIG document, shipped encrypted as input/AIG-regcodes.enc, and the
// user's text files in input/my_regcodes. Both tie livery titles to registrations and name titles that
// must never be used. Run thread only.
#include "liveries/regcode_map.h"

#include <filesystem>
#include <string>
#include <vector>

namespace kvr {

// Livery titles the registration-code files mark as not to be used. Filled on the run thread before the
// livery scan walks its folders; the aircraft.cfg tasks only read it while they run.
extern std::vector<std::string> dontUseTitles;

// Appends the definitions of the plain AIG document (liveryPaths.aigRegcodesPlain) in document order.
// False when it does not load, has no meta block, or repeats the title of the element before.
bool gf_readAigRegcodes(std::vector<RegcodeRecord>& records);

// Appends the definitions of every .txt file of the folder (not recursive). False on any malformed line
// or code, or when the folder cannot be read; what was read is kept either way.
bool gf_readRegcodeTxtFiles(const std::filesystem::path& folder, std::vector<RegcodeRecord>& records);

// Scan-time pass: collects the don't-use titles of both sources before the livery scan walks its folders.
void lf_processRegcodeFiles();
void lf_scanAigRegcodeFile();
void lf_scanRegcodeFolder();

// Start-up pass of the livery data base: merges both sources into the registration-code map and writes
// output/info/OfflineRegcodes.txt.
void gf_processOfflineRegcodes();
void lf_processAigRegcodeFile();
void lf_processRegcodeFolder();

} // namespace kvr
