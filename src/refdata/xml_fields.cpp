#include "refdata/xml_fields.h"

#include "core/log.h"

#include <fmt/format.h>

#include <charconv>
#include <cmath>

namespace kvr {

namespace {

std::string_view lf_trimBlanksAndTabs(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

} // namespace

std::vector<std::string> gf_splitCommaList(std::string_view text) {
    std::vector<std::string> items;
    while (true) {
        const auto comma = text.find(',');
        const std::string_view item = lf_trimBlanksAndTabs(text.substr(0, comma));
        if (!item.empty())
            items.emplace_back(item);
        if (comma == std::string_view::npos)
            return items;
        text.remove_prefix(comma + 1);
    }
}

std::optional<double> gf_attributeDouble(std::optional<std::string_view> attribute) {
    const std::string_view text = lf_trimBlanksAndTabs(attribute.value_or(""));
    if (text.empty())
        return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<std::int32_t> gf_attributeInt(std::optional<std::string_view> attribute) {
    const std::string_view text = lf_trimBlanksAndTabs(attribute.value_or(""));
    if (text.empty())
        return std::nullopt;
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

bool gf_attributeBool(std::optional<std::string_view> text) {
    if (!text || text->empty())
        return false;
    const char first = text->front();
    return first == '1' || first == 't' || first == 'T' || first == 'y' || first == 'Y';
}

void ReadProblems::add(const std::string& text) {
    if (++count_ <= shownProblems)
        gf_logError(fmt::format("{}: {}", tag_, text));
}

void ReadProblems::logRest() const {
    if (count_ > shownProblems)
        gf_logError(fmt::format("{}: {} more problems not shown", tag_, count_ - shownProblems));
}

} // namespace kvr
