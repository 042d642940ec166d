#include "liveries/aircraft_cfg_grammar_internal.h"

#include "core/text_util.h"

#include <algorithm>

namespace kvr {

namespace {

char lf_lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Compares the text at position i with a lower-case word, ignoring the case of ASCII letters.
bool lf_hasWordAt(std::string_view text, std::size_t i, std::string_view lowerWord) {
    if (text.size() - i < lowerWord.size())
        return false;
    for (std::size_t k = 0; k < lowerWord.size(); ++k)
        if (lf_lower(text[i + k]) != lowerWord[k])
            return false;
    return true;
}

std::size_t lf_skipSpaces(std::string_view text, std::size_t i) {
    while (i < text.size() && lf_isSpace(text[i]))
        ++i;
    return i;
}

std::optional<std::string_view> lf_keyValue(std::string_view line, std::string_view key) {
    const auto raw = lf_rawKeyValue(line, key);
    if (!raw)
        return std::nullopt;
    return lf_unquotedValue(*raw);
}

bool lf_matchNonEmptyValue(std::string_view line, std::string_view key, std::string& out) {
    const auto value = lf_keyValue(line, key);
    if (!value || value->empty())
        return false;
    out.assign(*value);
    return true;
}

} // namespace

bool lf_isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool lf_isWordCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool lf_equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lf_lower(x) == lf_lower(y); });
}

std::optional<std::string_view> lf_rawKeyValue(std::string_view line, std::string_view key) {
    std::size_t i = lf_skipSpaces(line, 0);
    if (!lf_hasWordAt(line, i, key))
        return std::nullopt;
    i = lf_skipSpaces(line, i + key.size());
    if (i >= line.size() || line[i] != '=')
        return std::nullopt;
    const std::string_view rest = line.substr(i + 1);
    std::size_t first = 0;
    while (first < rest.size() && lf_isSpace(rest[first]))
        ++first;
    if (first == rest.size())
        return std::nullopt;
    std::size_t last = rest.size() - 1;
    while (lf_isSpace(rest[last]))
        --last;
    const std::string_view value = rest.substr(first, last - first + 1);
    // The value's characters match '.', which takes no line terminator.
    if (value.find_first_of("\r\n") != std::string_view::npos)
        return std::nullopt;
    return value;
}

std::string_view lf_unquotedValue(std::string_view raw) {
    const std::size_t open = raw.find('"');
    if (open == std::string_view::npos)
        return raw;
    const std::size_t close = raw.find('"', open + 1);
    if (close == std::string_view::npos)
        return {};
    return raw.substr(open + 1, close - open - 1);
}

bool lf_matchTitleLine(std::string_view line, std::string& title) {
    return lf_matchNonEmptyValue(line, "title", title);
}

bool lf_matchTextureLine(std::string_view line, std::string& texture) {
    return lf_matchNonEmptyValue(line, "texture", texture);
}

bool lf_matchAtcIdLine(std::string_view line, std::string& atcId) {
    return lf_matchNonEmptyValue(line, "atc_id", atcId);
}

bool lf_matchAtcParkingTypesLine(std::string_view line, std::string& parkingTypes) {
    return lf_matchNonEmptyValue(line, "atc_parking_types", parkingTypes);
}

bool lf_matchIcaoAirlineLine(std::string_view line, std::string& airline) {
    const auto value = lf_keyValue(line, "icao_airline");
    if (!value)
        return false;
    airline = value->empty() || *value == "ZZZZ" ? std::string("ZZZ") : gf_toUpper(*value);
    return true;
}

std::string lf_matchIcaoTypeLine(std::string_view line) {
    const auto value = lf_keyValue(line, "icao_type_designator");
    if (!value)
        return {};
    return gf_toUpper(value->substr(0, 4));
}

std::string lf_modelFromBaseContainerLine(std::string_view line) {
    const auto value = lf_keyValue(line, "base_container");
    // "..\Asobo_A320_NEO": the folder name follows the three characters of the relative step.
    if (!value || value->size() < 4)
        return {};
    const auto& stock = stockModelIcaoTypes();
    const auto found = stock.find(value->substr(3));
    if (found == stock.end())
        return {};
    return gf_toUpper(found->second);
}

std::string lf_fltsimSectionNumber(std::string_view line) {
    if (line.size() >= 2 && line.starts_with("//"))
        return {};
    std::size_t i = lf_skipSpaces(line, 0);
    if (lf_hasWordAt(line, i, "[fltsim.")) {
        i += 8;
        const std::size_t digitsStart = i;
        while (i < line.size() && line[i] >= '0' && line[i] <= '9')
            ++i;
        if (i > digitsStart && i < line.size() && line[i] == ']' && lf_skipSpaces(line, i + 1) == line.size())
            return std::string(line.substr(digitsStart, i - digitsStart));
    }
    if (line.find("[fltsim.") != std::string_view::npos || line.find("[FLTSIM.") != std::string_view::npos)
        return "10000";
    return {};
}

bool lf_hasAtcIdKey(std::string_view line) {
    return line.find("atc_id=") != std::string_view::npos;
}

bool lf_hasAtcParkingTypesKey(std::string_view line) {
    return line.find("atc_parking_types") != std::string_view::npos;
}

const std::map<std::string, std::string, std::less<>>& stockModelIcaoTypes() {
    static const std::map<std::string, std::string, std::less<>> types{
        {"Asobo_FlightDesignCT", "FDCT"},
        {"Asobo_Longitude", "C700"},
        {"Asobo_VL3", "VL3"},
        {"Asobo_Savage_Cub", "SAVG"},
        {"Asobo_Savage_ShockUltra", "SAVG"},
        {"Asobo_XCub", "CC19"},
        {"Asobo_Pitts", "PTS2"},
        {"Asobo_SR22", "SR22"},
        {"Asobo_Icon", "A5"},
        {"Asobo_TBM930", "TBM9"},
        {"Asobo_KingAir350", "B350"},
        {"Asobo_E330", "E300"},
        {"Asobo_DV20", "DV20"},
        {"Asobo_DR400", "DR40"},
        {"Asobo_DA62", "DA62"},
        {"Asobo_DA40_TDI", "DA40"},
        {"Asobo_DA40_NG", "DA40"},
        {"Asobo_Cap10C", "CP10"},
        {"Asobo_CJ4", "C25C"},
        {"Asobo_C152", "C152"},
        {"Asobo_C152_Aerobat", "C152"},
        {"Asobo_C172sp_AS1000", "C172"},
        {"Asobo_C172sp_classic", "C172"},
        {"Asobo_Bonanza_G36", "BE36"},
        {"Asobo_Baron_G58", "B58T"},
        {"Asobo_B747_8i", "B748"},
        {"Asobo_B787_10", "B78X"},
        {"Asobo_208B_GRAND_CARAVAN_EX", "C208"},
        {"Asobo_A320_NEO", "A20N"},
        {"FlyByWire_A320_NEO", "A20N"},
    };
    return types;
}

} // namespace kvr
