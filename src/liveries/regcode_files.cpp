#include "liveries/regcode_files.h"

namespace kvr {

std::vector<std::string> dontUseTitles;

} // namespace kvr
