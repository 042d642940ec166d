// The regex library's own code trips this warning under optimisation; the tests use it as the reference.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include "liveries/aircraft_cfg_reader_internal.h"
#include "livery_fixtures/cfg_text.h"
#include "livery_scan_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <random>
#include <regex>

namespace kvr {
namespace {

namespace fs = std::filesystem;
using namespace fixtures;

std::string describe(const FileLiveries& found) {
    std::string text;
    for (const SectionLivery& section : found) {
        const LiveryData& l = section.livery;
        text += l.airl + "|" + l.type + "|" + l.title + "|" + l.atcid + "|" + std::to_string(l.folderNumber) +
                "|" + (l.cargo ? "cargo" : "pax") + "\n";
    }
    return text;
}

class AircraftCfgReaderTest : public test::LiveryScanTest {
protected:
    fs::path write(const std::string& relative, const std::string& text,
                   CfgEncoding encoding = CfgEncoding::utf8, LineEnd lineEnd = LineEnd::lf) {
        const fs::path path = folder / relative;
        writeCfgFile(path, text, encoding, lineEnd);
        return path;
    }
    static std::string cfgText(const std::string& body, const std::string& type = "B738") {
        return "[GENERAL]\nicao_type_designator = \"" + type + "\"\n" + body;
    }
};

TEST_F(AircraftCfgReaderTest, SectionNumbers) {
    const fs::path path = folder / "a" / "aircraft.cfg";
    EXPECT_TRUE(lf_checkFltsimNumbers({"[fltsim.0]", "[FLTSIM.x]", "[fltsim.10000]"}, path));
    EXPECT_TRUE(invalidCfgFilesList.empty());

    EXPECT_FALSE(lf_checkFltsimNumbers({"[fltsim.0]", "[fltsim.10001]"}, path));
    EXPECT_EQ(invalidCfgFilesList.lines(),
              std::vector<std::string>{path.string() +
                                       " contains a [fltsim.x] section with a number < 0 or > 10000"});

    EXPECT_FALSE(lf_checkFltsimNumbers({"[fltsim.1]", "[fltsim.99999999999]"}, path));
    EXPECT_NE(logText().find("==> fltsim num [fltsim.99999999999] incorrect\n"), std::string::npos);

    EXPECT_TRUE(lf_checkFltsimNumbers({"[GENERAL]", "[FltSim.x]", "// [fltsim.0]"}, path));
    EXPECT_EQ(emptyCfgFilesList.lines(), std::vector<std::string>{path.string()});
}

TEST_F(AircraftCfgReaderTest, ModelCodes) {
    const fs::path path = folder / "a" / "aircraft.cfg";
    EXPECT_EQ(lf_fixModelCode(path, {"[fltsim.0]", "icao_type_designator = \"B738MAX\""}), "B738")
        << "any section counts";
    EXPECT_EQ(lf_fixModelCode(path, {"icao_type_designator = \"\"", "icao_type_designator = a20n"}), "A20N");
    EXPECT_EQ(lf_fixModelCode(path, {"icao_type_designator = B74F"}), "B744");
    EXPECT_EQ(modelFixesList.lines(),
              std::vector<std::string>{"Model fix: B74F found in " + path.string() + " changed into B744"});
    EXPECT_EQ(lf_fixModelCode(path, {"icao_type_designator = XX99", "base_container = ..\\Asobo_CJ4"}), "");
    EXPECT_EQ(invalidModelCodesList.lines(),
              std::vector<std::string>{"XX99             in " + path.string()});

    EXPECT_EQ(lf_fixModelCode(path, {"base_container = \"..\\Asobo_CJ4\""}), "C25C");
    EXPECT_EQ(lf_fixModelCode(path, {"[GENERAL]"}), "");
    EXPECT_EQ(invalidCfgFilesList.lines(),
              std::vector<std::string>{"Line icao_type_designator= is missing in [General] section of " +
                                       path.string()});
    invalidCfgFilesList.clear();
    const fs::path addon = folder / "pmdg-aircraft-738" / "aircraft.cfg";
    EXPECT_EQ(lf_fixModelCode(addon, {"base_container = ..\\PMDG_737"}), "");
    EXPECT_TRUE(invalidCfgFilesList.empty()) << "airliner add-ons are no AI models";
}

TEST_F(AircraftCfgReaderTest, IvaoModelsComeFromTheFolderName) {
    const fs::path mtl =
        fs::path("C:\\Community\\IVAO_MTL\\SimObjects\\Airplanes\\IVAO_B738WLfa\\aircraft.cfg");
    EXPECT_EQ(lf_fixIvaoModel(mtl), "B738");
    EXPECT_EQ(
        lf_fixIvaoModel(folder / "ivao_x-csl" / "SimObjects" / "Airplanes" / "IVAO_A32Nx" / "aircraft.cfg"),
        "A20N")
        << "the folder's code goes through the fixes";
    const fs::path other = folder / "IVAO_MTL" / "SimObjects" / "Airplanes" / "B738" / "aircraft.cfg";
    EXPECT_EQ(lf_fixIvaoModel(other), "");
    EXPECT_EQ(invalidModelCodesList.lines(),
              std::vector<std::string>{"                 in " + other.string()});
}

TEST_F(AircraftCfgReaderTest, IvaoFolderMatchAgreesWithTheRegularExpression) {
    const std::regex pattern(
        R"(.+[\\/]IVAO_MTL[\\/]SimObjects[\\/]Airplanes[\\/]IVAO_(\w+)[\\/]aircraft.cfg$)",
        std::regex::ECMAScript | std::regex::icase);
    const std::vector<std::string> parts{
        "C:",    "x",        "IVAO_MTL",  "ivao_mtl",     "SimObjects",   "Airplanes",     "IVAO_B738",
        "IVAO_", "IVAO_A-1", "ivao_e190", "aircraft.cfg", "AIRCRAFT_CFG", "aircraft.cfgx", ""};
    std::mt19937 random(99);
    int matches = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string path;
        const std::size_t count = 1 + random() % 7;
        for (std::size_t k = 0; k < count; ++k)
            path += (k == 0 ? "" : random() % 2 ? "/" : "\\") + parts[random() % parts.size()];
        if (random() % 2)
            path = "D:\\Community\\IVAO_MTL\\SimObjects\\Airplanes\\" + parts[random() % parts.size()] +
                   "\\" + parts[10 + random() % 3];
        std::smatch match;
        const bool expected = std::regex_match(path, match, pattern);
        const auto folderName = lf_ivaoModelFolder(path, "IVAO_MTL");
        ASSERT_EQ(folderName.has_value(), expected) << path;
        if (expected) {
            ++matches;
            ASSERT_EQ(*folderName, match[1].str()) << path;
        }
    }
    EXPECT_GT(matches, 100);
}

TEST_F(AircraftCfgReaderTest, SectionsEndAtTheNextBracketLine) {
    const std::vector<std::string> lines{"[fltsim.0]",         "title=a",     "icao_airline=KLM",
                                         "ui_variation = [x]", "  [GENERAL]", "title=stray",
                                         "[fltsim.1]",         "title=b",     "icao_airline=KLM"};
    const fs::path path = folder / "a" / "aircraft.cfg";
    EXPECT_EQ(describe(lf_readFltSimSections(2, lines, "B738", path, path.parent_path())),
              "KLM|B738|a||2|pax\nKLM|B738|b||2|pax\n");
    EXPECT_TRUE(incompleteSectionsList.empty()) << "the stray title belongs to no section";

    // In IVAO files any bracket ends the section, ui_variation = [x] included.
    const fs::path ivao = folder / "IVAO_MTL" / "SimObjects" / "Airplanes" / "IVAO_B738" / "aircraft.cfg";
    fs::create_directories(ivao.parent_path() / "texture.K");
    const std::vector<std::string> ivaoLines{"[fltsim.0]", "title=B738 KLM a", "ui_variation = [x]",
                                             "texture=K",  "[fltsim.1]",       "title=B738 KLM b",
                                             "texture=K"};
    EXPECT_EQ(describe(lf_readIvaoFltSimSections(5, ivaoLines, "B738", ivao, ivao.parent_path())),
              "KLM|B738|B738 KLM b||5|pax\n");
    EXPECT_EQ(
        incompleteSectionsList.lines(),
        std::vector<std::string>{(ivao.parent_path() / "texture.").string() + " [fltsim.0] does not exist"});
}

TEST_F(AircraftCfgReaderTest, EveryEncodingGivesTheSameLiveries) {
    const std::string text =
        cfgText("[FLTSIM.0]\ntitle = \"Lufthansa Köln Zürich – Île\"\nicao_airline = DLH\n"
                "atc_id = D-AIZA\n[FLTSIM.1]\ntitle = \"KLM €uro\"\nicao_airline = KLM\n",
                "A320");
    std::string expected;
    for (CfgEncoding encoding : allCfgEncodings)
        for (LineEnd lineEnd : {LineEnd::lf, LineEnd::crlf}) {
            const fs::path path = write(std::string(encodingName(encoding)) +
                                            (lineEnd == LineEnd::lf ? "lf" : "crlf") + "/aircraft.cfg",
                                        text, encoding, lineEnd);
            const std::string found = describe(lf_searchLiveriesinFile(1, path));
            if (expected.empty())
                expected = found;
            EXPECT_EQ(found, expected) << encodingName(encoding);
        }
    EXPECT_EQ(expected, "DLH|A320|Lufthansa Köln Zürich – Île|D-AIZA|1|pax\nKLM|A320|KLM €uro||1|pax\n");
}

TEST_F(AircraftCfgReaderTest, FilesThatYieldNothing) {
    EXPECT_TRUE(lf_searchLiveriesinFile(1, folder / "missing" / "aircraft.cfg").empty());
    fs::create_directories(folder / "dir" / "aircraft.cfg");
    EXPECT_TRUE(lf_searchLiveriesinFile(1, folder / "dir" / "aircraft.cfg").empty());
    const std::string log = logText();
    EXPECT_EQ(log.find("missing"), std::string::npos) << "a missing file is not reported";
    EXPECT_NE(
        log.find("! No text encoding detected for " + (folder / "dir" / "aircraft.cfg").string() + "\n"),
        std::string::npos);

    EXPECT_TRUE(
        lf_searchLiveriesinFile(1, write("notype/aircraft.cfg", "[fltsim.0]\ntitle=x\nicao_airline=KLM\n"))
            .empty());
    EXPECT_EQ(invalidCfgFilesList.size(), 1u);
}

TEST_F(AircraftCfgReaderTest, MalformedFilesAreReportedAndSkipped) {
    // Binary garbage: no section header survives decoding.
    std::mt19937 random(5);
    std::string garbage;
    for (int i = 0; i < 20000; ++i)
        garbage.push_back(static_cast<char>(0x80 + random() % 0x80));
    writeBytes(folder / "garbage" / "aircraft.cfg", garbage);
    EXPECT_TRUE(lf_searchLiveriesinFile(1, folder / "garbage" / "aircraft.cfg").empty());
    EXPECT_TRUE(contains(emptyCfgFilesList.lines(), (folder / "garbage" / "aircraft.cfg").string()));

    // UTF-16 cut off inside the second section: the first still counts.
    const std::string text =
        cfgText("[fltsim.0]\ntitle=first\nicao_airline=KLM\n[fltsim.1]\ntitle=second one\n");
    std::string bytes = encodeCfgText(text, CfgEncoding::utf16Le, LineEnd::crlf);
    bytes.resize(bytes.size() - 7);
    writeBytes(folder / "cut" / "aircraft.cfg", bytes);
    const FileLiveries cut = lf_searchLiveriesinFile(1, folder / "cut" / "aircraft.cfg");
    ASSERT_EQ(cut.size(), 2u);
    EXPECT_EQ(cut[0].livery.title, "first");
    EXPECT_EQ(cut[1].livery.title, "second o\xEF\xBF\xBD") << "the odd last byte becomes U+FFFD";

    const fs::path far =
        write("far/aircraft.cfg", cfgText("[fltsim.0]\ntitle=a\nicao_airline=KLM\n[fltsim.10001]\n"));
    EXPECT_TRUE(lf_searchLiveriesinFile(1, far).empty());
    EXPECT_TRUE(contains(invalidCfgFilesList.lines(),
                         far.string() + " contains a [fltsim.x] section with a number < 0 or > 10000"));

    const std::string longLine(100000, 'w');
    const fs::path wide =
        write("wide/aircraft.cfg", cfgText("[fltsim.0]\ndescription = " + longLine +
                                           "\ntitle=wide\nicao_airline=KLM\n" + longLine + "\n"));
    EXPECT_EQ(describe(lf_searchLiveriesinFile(1, wide)), "KLM|B738|wide||1|pax\n");
}

TEST_F(AircraftCfgReaderTest, TaskExceptionsAreLoggedAndPassedOnButATextureNameCostsOnlyItsSection) {
#ifndef _WIN32
    // Linux refuses a file name of 300 bytes; Windows takes it for a file that is not there.
    const fs::path tooLong = folder / std::string(300, 'n') / "aircraft.cfg";
    EXPECT_THROW(lf_searchLiveriesinFile(1, tooLong), fs::filesystem_error);
    EXPECT_NE(logText().find("! Exception in lf_searchLiveriesinFile " + tooLong.string() + ": "),
              std::string::npos);
#endif

    // A texture folder name the file system cannot look up costs only its own section.
    const fs::path ivao = write("IVAO_MTL/SimObjects/Airplanes/IVAO_B738/aircraft.cfg",
                                "[fltsim.0]\ntitle=B738 KLM\ntexture=" + std::string(300, 't') + "\n");
    EXPECT_NO_THROW(lf_searchLiveriesinIVAOFile(1, ivao));
    const auto incomplete = incompleteSectionsList.lines();
    EXPECT_TRUE(std::any_of(incomplete.begin(), incomplete.end(),
                            [](const std::string& line) { return line.find("does not exist") != std::string::npos; }));
    EXPECT_EQ(logText().find("! Exception in lf_searchLiveriesinIVAOFile"), std::string::npos);
}

TEST_F(AircraftCfgReaderTest, IvaoTaskSettlesTheModelBeforeReading) {
    const fs::path wrong = folder / "IVAO_MTL" / "SimObjects" / "Airplanes" / "NOTIVAO" / "aircraft.cfg";
    EXPECT_TRUE(lf_searchLiveriesinIVAOFile(1, wrong).empty());
    EXPECT_EQ(logText().find("No text encoding"), std::string::npos) << "not even opened";

    const fs::path absent = folder / "IVAO_MTL" / "SimObjects" / "Airplanes" / "IVAO_B738" / "aircraft.cfg";
    EXPECT_TRUE(lf_searchLiveriesinIVAOFile(1, absent).empty());
    EXPECT_NE(logText().find("==> ! No text encoding detected for " + absent.string()), std::string::npos);
}

TEST_F(AircraftCfgReaderTest, ClearingEmptiesEveryList) {
    lf_addFixReport("f");
    lf_addInvalidCfgFile("c");
    lf_addIncompleteSection("s");
    lf_addInvalidAirlineCode("ABCD", "p", "[fltsim.0]");
    lf_addInvalidModelCode("XX", "p");
    emptyCfgFilesList.add("e");
    liveryTitleSet.insert("t");
    dontUseTitles.push_back("d");
    EXPECT_EQ(invalidAirlineCodesList.lines(), std::vector<std::string>{"ABCD         in p [fltsim.0]"});
    lf_clearScanReports();
    for (const ScanReportList* list : {&modelFixesList, &invalidCfgFilesList, &incompleteSectionsList,
                                       &invalidAirlineCodesList, &invalidModelCodesList, &emptyCfgFilesList})
        EXPECT_TRUE(list->empty());
    EXPECT_EQ(liveryTitleSet.size(), 0u);
    EXPECT_TRUE(dontUseTitles.empty());
}

} // namespace
} // namespace kvr
