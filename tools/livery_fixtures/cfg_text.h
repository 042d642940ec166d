#pragma once
// aircraft.cfg files as AI model packages ship them: the text of the file, and its bytes in every text
// encoding such files come in.
#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kvr::fixtures {

enum class CfgEncoding { ansi, utf8, utf8Bom, utf16Le, utf16Be };
inline constexpr std::array<CfgEncoding, 5> allCfgEncodings{
    CfgEncoding::ansi, CfgEncoding::utf8, CfgEncoding::utf8Bom, CfgEncoding::utf16Le, CfgEncoding::utf16Be};
enum class LineEnd { lf, crlf };

// "ansi", "utf8", "utf8bom", "utf16le", "utf16be".
std::string_view encodingName(CfgEncoding encoding);

// The bytes of a UTF-8 text with LF line ends in the encoding, with the line ends asked for. Both UTF-16
// forms and the UTF-8 form with a mark start with their byte-order mark. ANSI is Windows-1252; a
// character that code page lacks becomes '?'. Throws std::invalid_argument on text that is not UTF-8.
std::string encodeCfgText(std::string_view utf8Text, CfgEncoding encoding, LineEnd lineEnd);

// Writes the encoded text, creating the missing folders.
void writeCfgFile(const std::filesystem::path& path, std::string_view utf8Text,
                  CfgEncoding encoding = CfgEncoding::utf8, LineEnd lineEnd = LineEnd::lf);
void writeBytes(const std::filesystem::path& path, std::string_view bytes);

// One [fltsim.N] section. Empty fields give no line; extra lines follow the keys as they are.
struct FltsimSection {
    std::string title;
    std::string airline;      // icao_airline
    std::string atcId;        // atc_id
    std::string parkingTypes; // atc_parking_types
    std::string texture;
    std::vector<std::string> extraLines;
};

// One aircraft.cfg: a [VERSION] and a [GENERAL] section with the type (or a base_container), then the
// [FLTSIM.N] sections numbered from firstNumber on.
struct AircraftCfg {
    std::string icaoType;      // icao_type_designator
    std::string baseContainer; // base_container, e.g. ..\Asobo_A320_NEO
    std::vector<FltsimSection> sections;
    int firstNumber = 0;
};

std::string aircraftCfgText(const AircraftCfg& cfg);

} // namespace kvr::fixtures
