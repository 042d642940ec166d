#include "standins/service/option_items.h"

#include <sstream>

namespace kvr::standin {

std::vector<std::string> gf_splitText(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    return parts;
}

std::optional<std::string>
gf_readItems(const std::string& text, const std::string& listName,
             const std::function<ItemVerdict(const std::string& key, const std::string& value)>& takeItem) {
    for (const std::string& item : gf_splitText(text, ',')) {
        if (item.empty())
            continue;
        const auto equals = item.find('=');
        if (equals == std::string::npos)
            return listName + " item without '=': " + item;
        const std::string key = item.substr(0, equals);
        switch (takeItem(key, item.substr(equals + 1))) {
        case ItemVerdict::taken:
            break;
        case ItemVerdict::badValue:
            return "bad value in " + listName + " item: " + item;
        case ItemVerdict::unknownKey:
            return "unknown " + listName + ": " + key;
        }
    }
    return std::nullopt;
}

} // namespace kvr::standin
