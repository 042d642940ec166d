#include "parking/publisher_folder.h"

#include "core/text_util.h"
#include "core/utf.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>

namespace kvr {

namespace {

constexpr std::string_view refusedCharacters = "<>:\"/\\|?*";
// Windows cuts these from the end of a name, so "Inc." would land in the folder of "Inc".
constexpr std::string_view cutAtTheEnd = ". ";

// The names Windows keeps for devices in every folder, alone or with an extension; the superscript
// digits count as digits there.
constexpr std::array<std::string_view, 30> deviceNames{
    "CON",         "PRN",         "AUX",         "NUL",         "CONIN$",      "CONOUT$",    "COM1", "COM2",
    "COM3",        "COM4",        "COM5",        "COM6",        "COM7",        "COM8",       "COM9", "LPT1",
    "LPT2",        "LPT3",        "LPT4",        "LPT5",        "LPT6",        "LPT7",       "LPT8", "LPT9",
    "COM\xC2\xB9", "COM\xC2\xB2", "COM\xC2\xB3", "LPT\xC2\xB9", "LPT\xC2\xB2", "LPT\xC2\xB3"};

bool lf_isDeviceName(std::string_view name) {
    std::string_view base = name.substr(0, name.find('.'));
    base = base.substr(0, base.find_last_not_of(' ') + 1);
    return std::ranges::find(deviceNames, gf_toUpper(base)) != deviceNames.end();
}

// Bytes of a well-formed character that Windows takes in a file name.
std::size_t lf_usableCharacterAt(std::string_view name, std::size_t at) {
    char32_t codePoint = 0;
    const std::size_t length = gf_utf8SequenceAt(name, at, codePoint);
    if (length == 0 || codePoint < 0x20 || refusedCharacters.find(name[at]) != std::string_view::npos)
        return 0;
    return length;
}

bool lf_isUsableFolderName(std::string_view name) {
    if (cutAtTheEnd.find(name.back()) != std::string_view::npos || lf_isDeviceName(name))
        return false;
    for (std::size_t at = 0; at < name.size();) {
        const std::size_t length = lf_usableCharacterAt(name, at);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

std::string lf_escapedFolderName(std::string_view name) {
    const std::size_t keptEnd = name.find_last_not_of(cutAtTheEnd) + 1; // 0 when every byte would go
    const bool device = lf_isDeviceName(name);
    std::string folder;
    for (std::size_t at = 0; at < name.size();) {
        const std::size_t length = lf_usableCharacterAt(name, at);
        if (length == 0 || at >= keptEnd || name[at] == '%' || (device && at == 0)) {
            folder += fmt::format("%{:02X}", static_cast<unsigned char>(name[at]));
            ++at;
        } else {
            folder.append(name.substr(at, length));
            at += length;
        }
    }
    return folder;
}

} // namespace

std::string gf_publisherFolder(std::string_view name) {
    const auto first = name.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    name = name.substr(first, name.find_last_not_of(' ') - first + 1);
    return lf_isUsableFolderName(name) ? std::string(name) : lf_escapedFolderName(name);
}

} // namespace kvr
