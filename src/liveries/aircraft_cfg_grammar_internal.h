#pragma once
// The line grammar of aircraft.cfg files. Every key line is matched as a whole, case-insensitively, in the
// form  <blanks> key <blanks> = <blanks> value <blanks>  where the value starts and ends with a character
// that is not white space. The matchers are written out by hand rather than as regular expressions: they
// run on every line of every scanned file, and a backtracking regex engine is both slow there and unsafe
// on the very long lines that broken files hold.
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace kvr {

// The value of  key = value  exactly as the pattern \s*(key)\s*=\s*(.*\S)\s* captures it, before any
// quote handling; no value when the line does not match.
std::optional<std::string_view> lf_rawKeyValue(std::string_view line, std::string_view key);

// A raw value that holds a double quote stands for the text between its first and second double quote;
// that text is empty when there is no second one or the two are adjacent.
std::string_view lf_unquotedValue(std::string_view raw);

// Key lines whose unquoted value is not empty; the output is left alone otherwise.
bool lf_matchTitleLine(std::string_view line, std::string& title);
bool lf_matchTextureLine(std::string_view line, std::string& texture);
bool lf_matchAtcIdLine(std::string_view line, std::string& atcId);
bool lf_matchAtcParkingTypesLine(std::string_view line, std::string& parkingTypes);
// True for every icao_airline line; an empty value or "ZZZZ" gives "ZZZ", any other value upper-cased.
bool lf_matchIcaoAirlineLine(std::string_view line, std::string& airline);
// The first 4 characters of an icao_type_designator value, upper-cased; empty when none.
std::string lf_matchIcaoTypeLine(std::string_view line);
// The type of the stock model a base_container line points at; empty when none.
std::string lf_modelFromBaseContainerLine(std::string_view line);

// The digits of a [fltsim.N] header; "10000" for a malformed header, which still opens a section;
// empty for any other line.
std::string lf_fltsimSectionNumber(std::string_view line);

bool lf_hasAtcIdKey(std::string_view line);           // holds "atc_id="
bool lf_hasAtcParkingTypesKey(std::string_view line); // holds "atc_parking_types"

// Characters as the classic locale's \s and \w know them, and ASCII comparison ignoring case.
bool lf_isSpace(char c);
bool lf_isWordCharacter(char c);
bool lf_equalsIgnoringCase(std::string_view a, std::string_view b);

// Stock aircraft folders of the simulator and the ICAO type of each (exact, case-sensitive keys).
const std::map<std::string, std::string, std::less<>>& stockModelIcaoTypes();

} // namespace kvr
