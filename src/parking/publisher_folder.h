#pragma once
#include <string>
#include <string_view>

namespace kvr {

// The folder that holds a publisher's learned files. Outer blanks go; an empty result means no folder.
// A name Windows can hold as a folder name keeps it. Any other name is written with %XX escapes (two
// upper-case hex digits per byte) for every byte Windows refuses or would cut, for a device name's
// first letter, and for '%' itself, so that no two publishers ever share a folder.
std::string gf_publisherFolder(std::string_view name);

} // namespace kvr
