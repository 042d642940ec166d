// The regex library's own code trips this warning under optimisation; the tests use it as the reference.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include "liveries/aircraft_cfg_grammar_internal.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>

namespace kvr {
namespace {

// Random lines over the characters that matter to the key grammar.
std::string randomLine(std::mt19937& random, std::string_view key) {
    static const std::string alphabet = " \t\v\r\n=\"; -_[].x0123456789Tt\xC3\xA9";
    std::string line;
    const auto piece = [&](std::size_t maxLength) {
        const std::size_t length = random() % (maxLength + 1);
        for (std::size_t i = 0; i < length; ++i)
            line.push_back(alphabet[random() % alphabet.size()]);
    };
    piece(3);
    if (random() % 4 != 0) {
        std::string written(key);
        for (char& c : written)
            if (random() % 2 == 0)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        line += written;
    }
    piece(3);
    if (random() % 5 != 0)
        line.push_back('=');
    piece(12);
    return line;
}

TEST(AircraftCfgGrammar, KeyValueAgreesWithTheRegularExpressionOnRandomLines) {
    std::mt19937 random(20240611);
    for (const std::string key : {"title", "atc_id", "icao_airline"}) {
        const std::regex pattern("\\s*(" + key + ")\\s*=\\s*(.*\\S)\\s*",
                                 std::regex::ECMAScript | std::regex::icase);
        for (int i = 0; i < 20000; ++i) {
            const std::string line = randomLine(random, key);
            std::smatch match;
            const bool expected = std::regex_match(line, match, pattern);
            const auto value = lf_rawKeyValue(line, key);
            ASSERT_EQ(value.has_value(), expected) << "line [" << line << "]";
            if (expected) {
                ASSERT_EQ(std::string(*value), match[2].str()) << "line [" << line << "]";
            }
        }
    }
}

TEST(AircraftCfgGrammar, HeaderAgreesWithTheRegularExpressionOnRandomLines) {
    const std::regex pattern(R"(\s*(\[fltsim\.)(\d+)\]\s*)", std::regex::ECMAScript | std::regex::icase);
    std::mt19937 random(7);
    static const std::string alphabet = " \t[]./0123456789fltsimFLTSIMx";
    for (int i = 0; i < 20000; ++i) {
        std::string line = random() % 2 ? " [FltSim." : "";
        const std::size_t length = random() % 12;
        for (std::size_t k = 0; k < length; ++k)
            line.push_back(alphabet[random() % alphabet.size()]);
        std::smatch match;
        const std::string number = lf_fltsimSectionNumber(line);
        if (std::regex_match(line, match, pattern) && !line.starts_with("//"))
            ASSERT_EQ(number, match[2].str()) << "line [" << line << "]";
        else if (line.find("[fltsim.") != std::string::npos || line.find("[FLTSIM.") != std::string::npos)
            ASSERT_EQ(number, line.starts_with("//") ? "" : "10000") << "line [" << line << "]";
        else
            ASSERT_EQ(number, "") << "line [" << line << "]";
    }
}

TEST(AircraftCfgGrammar, QuotedValuesTakeTheTextBetweenTheFirstTwoQuotes) {
    std::string title = "unchanged";
    EXPECT_TRUE(lf_matchTitleLine("title = \"A320 Air X\" ; comment", title));
    EXPECT_EQ(title, "A320 Air X");
    EXPECT_TRUE(lf_matchTitleLine("Title=A320 Air X ; comment  ", title));
    EXPECT_EQ(title, "A320 Air X ; comment");

    title = "unchanged";
    EXPECT_FALSE(lf_matchTitleLine("title = \"\"", title)) << "adjacent quotes";
    EXPECT_FALSE(lf_matchTitleLine("title = \"open only", title)) << "no second quote";
    EXPECT_FALSE(lf_matchTitleLine("title = x\"", title)) << "the quote is the last character";
    EXPECT_FALSE(lf_matchTitleLine("title =", title));
    EXPECT_FALSE(lf_matchTitleLine("titles = x", title));
    EXPECT_FALSE(lf_matchTitleLine("title = a\rb", title)) << "a line end inside the value";
    EXPECT_EQ(title, "unchanged");

    std::string texture, atcId, parking;
    EXPECT_TRUE(lf_matchTextureLine("  TEXTURE =  KLM ", texture));
    EXPECT_TRUE(lf_matchAtcIdLine("atc_id=\"PH-BXA\"", atcId));
    EXPECT_TRUE(lf_matchAtcParkingTypesLine("atc_parking_types = GATE, RAMP", parking));
    EXPECT_EQ(texture + "|" + atcId + "|" + parking, "KLM|PH-BXA|GATE, RAMP");
}

TEST(AircraftCfgGrammar, AirlineAndTypeValues) {
    std::string airline = "unchanged";
    EXPECT_TRUE(lf_matchIcaoAirlineLine("icao_airline = \"\"", airline));
    EXPECT_EQ(airline, "ZZZ");
    EXPECT_TRUE(lf_matchIcaoAirlineLine("icao_airline = ZZZZ", airline));
    EXPECT_EQ(airline, "ZZZ");
    EXPECT_TRUE(lf_matchIcaoAirlineLine("ICAO_AIRLINE = klm", airline));
    EXPECT_EQ(airline, "KLM");
    airline = "unchanged";
    EXPECT_FALSE(lf_matchIcaoAirlineLine("icao_airline =", airline));
    EXPECT_EQ(airline, "unchanged");

    EXPECT_EQ(lf_matchIcaoTypeLine("icao_type_designator = \"B738MAX\""), "B738");
    EXPECT_EQ(lf_matchIcaoTypeLine("icao_type_designator=b38m"), "B38M");
    EXPECT_EQ(lf_matchIcaoTypeLine("icao_type_designator = \"\""), "");
    EXPECT_EQ(lf_matchIcaoTypeLine("icao_type = B738"), "");
}

TEST(AircraftCfgGrammar, BaseContainerNamesAStockModel) {
    EXPECT_EQ(lf_modelFromBaseContainerLine(R"(base_container = "..\Asobo_CJ4")"), "C25C");
    EXPECT_EQ(lf_modelFromBaseContainerLine(R"(base_container = ..\Asobo_A320_NEO)"), "A20N");
    EXPECT_EQ(lf_modelFromBaseContainerLine(R"(base_container = "..\FlyByWire_A320_NEO")"), "A20N");
    EXPECT_EQ(lf_modelFromBaseContainerLine(R"(base_container = "..\asobo_cj4")"), "") << "keys are exact";
    EXPECT_EQ(lf_modelFromBaseContainerLine(R"(base_container = "..\Asobo_Unknown")"), "");
    EXPECT_EQ(lf_modelFromBaseContainerLine(R"(base_container = "CJ4")"), "") << "shorter than 4 characters";
    EXPECT_EQ(stockModelIcaoTypes().size(), 30u);
}

TEST(AircraftCfgGrammar, SectionHeaders) {
    EXPECT_EQ(lf_fltsimSectionNumber("[fltsim.0]"), "0");
    EXPECT_EQ(lf_fltsimSectionNumber("  [FltSim.12]  "), "12");
    EXPECT_EQ(lf_fltsimSectionNumber("[FLTSIM.x]"), "10000") << "malformed, still a section";
    EXPECT_EQ(lf_fltsimSectionNumber("[fltsim.-1]"), "10000");
    EXPECT_EQ(lf_fltsimSectionNumber("[fltsim.3] ; old"), "10000");
    EXPECT_EQ(lf_fltsimSectionNumber("[FltSim.x]"), "") << "neither exact form";
    EXPECT_EQ(lf_fltsimSectionNumber("// [fltsim.0]"), "");
    EXPECT_EQ(lf_fltsimSectionNumber("[GENERAL]"), "");
    EXPECT_EQ(lf_fltsimSectionNumber("[fltsim.10001]"), "10001");
}

TEST(AircraftCfgGrammar, DuplicateKeyTestsAreExactSubstrings) {
    EXPECT_TRUE(lf_hasAtcIdKey("x atc_id=PH"));
    EXPECT_FALSE(lf_hasAtcIdKey("atc_id = PH"));
    EXPECT_FALSE(lf_hasAtcIdKey("ATC_ID=PH"));
    EXPECT_TRUE(lf_hasAtcParkingTypesKey("// atc_parking_types"));
    EXPECT_FALSE(lf_hasAtcParkingTypesKey("ATC_PARKING_TYPES=GATE"));
}

TEST(AircraftCfgGrammar, VeryLongLinesAreMatchedWithoutTrouble) {
    const std::string value(100000, 'x');
    std::string title;
    EXPECT_TRUE(lf_matchTitleLine("title = " + value, title));
    EXPECT_EQ(title.size(), value.size());
    EXPECT_EQ(lf_fltsimSectionNumber("[fltsim." + std::string(100000, '7') + "]"), std::string(100000, '7'));
    EXPECT_FALSE(lf_rawKeyValue(std::string(100000, ' '), "title").has_value());
}

} // namespace
} // namespace kvr
