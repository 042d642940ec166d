#include "parking/publisher_folder.h"

#include "core/text_util.h"
#include "core/utf.h"

#include <fmt/format.h>

namespace kvr {

namespace {

constexpr std::string_view refusedCharacters = "<>:\"/\\|?*";
// Windows cuts these from the end of a name, so "Inc." would land in the folder of "Inc".
constexpr std::string_view cutAtTheEnd = ". ";

// The names Windows keeps for devices in every folder, alone or with an extension and in any case: CON,
// PRN, AUX, NUL, CONIN$, CONOUT$, and COM and LPT with a digit 1-9 or a superscript 1, 2 or 3.
bool lf_isDeviceName(std::string_view name) {
    std::string_view base = name.substr(0, name.find('.'));
    base = base.substr(0, base.find_last_not_of(' ') + 1);
    const std::string upper = gf_toUpper(base);
    for (const std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (upper == device)
            return true;
    if (!upper.starts_with("COM") && !upper.starts_with("LPT"))
        return false;
    const std::string_view number = std::string_view(upper).substr(3);
    return (number.size() == 1 && number[0] >= '1' && number[0] <= '9') || number == "\xC2\xB9" ||
           number == "\xC2\xB2" || number == "\xC2\xB3";
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
