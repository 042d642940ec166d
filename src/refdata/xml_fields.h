#pragma once
// Field readers shared by the readers of the decrypted data files.
#include <pugixml.hpp>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvr {

// Splits a comma list, trims blanks and tabs around each item and drops empty items
// ("EHAM, KJFK,," gives EHAM and KJFK).
std::vector<std::string> gf_splitCommaList(std::string_view text);

// The whole attribute text as a finite number; nothing when the attribute is absent, empty or not a number.
std::optional<double> gf_attributeDouble(const pugi::xml_attribute& attribute);
std::optional<std::int32_t> gf_attributeInt(const pugi::xml_attribute& attribute);

// The attributes of a node with the given names, found in one pass over its attributes (the data files
// hold tens of thousands of elements; a lookup per name would walk them again for each); absent ones stay
// empty, and of a repeated name the first counts. The names are tried from the one after the last found,
// so attributes written in the order asked for cost one comparison each.
template <std::size_t N>
std::array<pugi::xml_attribute, N> gf_namedAttributes(const pugi::xml_node& node,
                                                      const std::array<const char*, N>& names) {
    std::array<pugi::xml_attribute, N> found;
    std::size_t next = 0;
    for (const pugi::xml_attribute& attribute : node.attributes()) {
        const char* name = attribute.name();
        for (std::size_t tried = 0; tried < N; ++tried) {
            const std::size_t i = (next + tried) % N;
            if (std::strcmp(name, names[i]) == 0) {
                if (!found[i])
                    found[i] = attribute;
                next = i + 1;
                break;
            }
        }
    }
    return found;
}

// Collects the faults of one data file: the first few are logged as they come, the rest counted, so that a
// damaged file cannot flood Log.txt.
class ReadProblems {
public:
    explicit ReadProblems(std::string tag) : tag_(std::move(tag)) {}
    void add(const std::string& text);
    // Logs how many were not shown; call once at the end.
    void logRest() const;
    int count() const { return count_; }

private:
    static constexpr int shownProblems = 20;
    std::string tag_;
    int count_ = 0;
};

} // namespace kvr
