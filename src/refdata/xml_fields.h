#pragma once
// Field readers shared by the readers of the decrypted data files.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvr {

// Splits a comma list, trims blanks and tabs around each item and drops empty items
// ("EHAM, KJFK,," gives EHAM and KJFK).
std::vector<std::string> gf_splitCommaList(std::string_view text);

// The whole attribute text as a finite number; nothing when the attribute is absent, empty or not a number.
std::optional<double> gf_attributeDouble(std::optional<std::string_view> text);
std::optional<std::int32_t> gf_attributeInt(std::optional<std::string_view> text);
// True for a text that begins with '1', 't', 'T', 'y' or 'Y' (as the program's XML files are read
// everywhere); false for anything else and for an absent attribute.
bool gf_attributeBool(std::optional<std::string_view> text);

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
