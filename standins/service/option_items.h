#pragma once
// The "key=value,key=value" lists the stand-in's fault options take (--faults, --download-faults).
#include <charconv>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kvr::standin {

// The parts of the text between the separators, empty ones included.
std::vector<std::string> gf_splitText(const std::string& text, char separator);

// The whole text as a number; false when any of it is not.
template <typename Number> bool gf_readNumber(const std::string& text, Number& out) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size();
}

// What a list's reader made of one of its items.
enum class ItemVerdict { taken, badValue, unknownKey };

// Hands key and value of each non-empty item of the comma-separated list to takeItem. The error text of
// the first item without '=', with a key takeItem does not know or with a bad value; listName ("fault",
// "download fault") names the list in it.
std::optional<std::string>
gf_readItems(const std::string& text, const std::string& listName,
             const std::function<ItemVerdict(const std::string& key, const std::string& value)>& takeItem);

} // namespace kvr::standin
