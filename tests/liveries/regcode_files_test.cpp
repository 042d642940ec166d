#include "liveries/regcode_files.h"
#include "livery_fixtures.h"
#include "refdata/stream_decrypt.h"
#include "tools/data_encryptor/stream_encryptor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace kvr {
namespace {

namespace fs = std::filesystem;

const std::string metaBlock = "<meta><info name=\"version\" value=\"12.0.0\"/></meta>";

class RegcodeFilesTest : public test::LiveryTest {
protected:
    fs::path userFile(const std::string& name, const std::string& text) {
        const fs::path path = liveryPaths.regcodeFolder / name;
        test::writeFileText(path, text);
        return path;
    }
    std::vector<RegcodeRecord> readUserFiles(bool expected) {
        std::vector<RegcodeRecord> records;
        EXPECT_EQ(gf_readRegcodeTxtFiles(liveryPaths.regcodeFolder, records), expected);
        return records;
    }
    void writeAigDocument(const std::string& liveries, bool withMeta = true) {
        test::writeFileText(liveryPaths.aigRegcodesPlain, "<root>" + (withMeta ? metaBlock : std::string()) +
                                                              "<AIG-regcodes>" + liveries +
                                                              "</AIG-regcodes></root>");
    }
    void encryptAigDocument(const std::string& liveries) {
        ASSERT_EQ(
            gf_encryptBytes("<root>" + metaBlock + "<AIG-regcodes>" + liveries + "</AIG-regcodes></root>",
                            liveryPaths.aigRegcodesEncrypted),
            "");
    }
};

TEST_F(RegcodeFilesTest, UserLineShapesGiveTheirEntries) {
    const fs::path path = userFile("mine.txt", "Single;PH-BXA\n"
                                               "Two codes;PH-BXB,PH-BXC\n"
                                               "Two codes marked;PH-BXD,PH-BXE;#\n"
                                               "Single with other mark;PH-BXF;x\n"
                                               "Do not use\n"
                                               "Empty codes;\n"
                                               "\n");
    const std::vector<RegcodeRecord> records = readUserFiles(true);
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0].title, "Single");
    EXPECT_EQ(records[0].regcodes, std::vector<std::string>{"PH-BXA"});
    EXPECT_TRUE(records[0].special) << "one airframe is special without a mark";
    EXPECT_EQ(records[1].regcodes, (std::vector<std::string>{"PH-BXB", "PH-BXC"}));
    EXPECT_FALSE(records[1].special);
    EXPECT_TRUE(records[2].special);
    EXPECT_TRUE(records[3].special);
    EXPECT_EQ(records[4].title, "Do not use");
    EXPECT_TRUE(records[4].regcodes.empty());
    EXPECT_FALSE(records[4].special);
    EXPECT_TRUE(logHas("Processing regcodes file '" + path.string() + "'\n"));
    EXPECT_TRUE(logHas("\n5 liveries\n"));
    EXPECT_EQ(logText().find("Empty codes"), std::string::npos) << "a title with a lone ';' is silent";
}

TEST_F(RegcodeFilesTest, WrongLengthsAndShapesAreLoggedAndMakeTheReadFalse) {
    const fs::path path = userFile("bad.TXT", "Short;AB\n"
                                              "Mixed;PH-BXA,AB\n"
                                              "All bad;AB,ABCDEFGHIJKLM\n"
                                              "Edges;ABC,ABCDEFGHIJKL\n"
                                              "Four;PH-BXA;#;more\n"
                                              "Lone comma;,\n");
    const std::vector<RegcodeRecord> records = readUserFiles(false);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].title, "Mixed");
    EXPECT_EQ(records[0].regcodes, std::vector<std::string>{"PH-BXA"});
    EXPECT_FALSE(records[0].special);
    EXPECT_EQ(records[1].regcodes, (std::vector<std::string>{"ABC", "ABCDEFGHIJKL"}))
        << "3 and 12 bytes pass";
    const std::string p = path.string();
    EXPECT_TRUE(logHas("==> wrong regcode length 'AB' in " + p + "\n"));
    EXPECT_TRUE(logHas("==> wrong regcode length 'ABCDEFGHIJKLM' in " + p + "\n"));
    EXPECT_TRUE(logHas("==> " + p + " ; regs empty?\n"));
    EXPECT_TRUE(logHas("==> " + p + ": wrong format 'Four;PH-BXA;#;more'\n"));
    EXPECT_TRUE(logHas("==> wrong regcode length '' in " + p + "\n")) << "a lone comma gives two empty codes";
}

TEST_F(RegcodeFilesTest, OnlyTxtFilesAreReadAndCrlfReadsLikeLf) {
    userFile("lower.txt", "\xEF\xBB\xBFLower;PH-AAA\r\nLower 2\r\n");
    userFile("upper.TXT", "Upper;PH-BBB\n");
    userFile("other.csv", "Other;PH-CCC\n");
    userFile("noext", "None;PH-DDD\n");
    fs::create_directory(liveryPaths.regcodeFolder / "sub.txt");
    std::vector<std::string> titles;
    for (const RegcodeRecord& record : readUserFiles(true)) {
        titles.push_back(record.title);
        for (const std::string& code : record.regcodes)
            EXPECT_EQ(code.find('\r'), std::string::npos);
    }
    std::sort(titles.begin(), titles.end());
    EXPECT_EQ(titles, (std::vector<std::string>{"Lower", "Lower 2", "Upper"}));
}

TEST_F(RegcodeFilesTest, UnreadableFolderIsLoggedAndFalse) {
    std::vector<RegcodeRecord> records;
    const fs::path missing = folder / "missing";
    EXPECT_FALSE(gf_readRegcodeTxtFiles(missing, records));
    EXPECT_TRUE(logHas("==> Error reading regcode files in " + missing.string() + ", what: "));
}

TEST_F(RegcodeFilesTest, AigDocumentEntriesRepeatsAndDontUseTitles) {
    writeAigDocument("<livery title=\"A\" reg=\"PH-AAA,PH-AAB\" special=\"true\"/>"
                     "<livery title=\"A\" reg=\"PH-AAC\"/>"
                     "<livery title=\"\" reg=\"PH-AAD\"/>"
                     "<livery reg=\"PH-AAE\"/>"
                     "<livery title=\"B\" reg=\"\"/>"
                     "<livery title=\"C\"/>"
                     "<livery title=\"A\" reg=\"PH-AAF,\"/>");
    std::vector<RegcodeRecord> records;
    EXPECT_FALSE(gf_readAigRegcodes(records)) << "a directly repeated title";
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].regcodes, (std::vector<std::string>{"PH-AAA", "PH-AAB"}));
    EXPECT_TRUE(records[0].special);
    EXPECT_TRUE(records[1].regcodes.empty()) << "empty reg: a don't-use title";
    EXPECT_TRUE(records[2].regcodes.empty());
    EXPECT_EQ(records[3].title, "A") << "a repeat further apart is not caught";
    EXPECT_EQ(records[3].regcodes, (std::vector<std::string>{"PH-AAF", ""})) << "split without trimming";
    EXPECT_TRUE(logHas("==> SAME AS PREVIOUS title 'A'\n"));
    EXPECT_TRUE(logHas("4 liveries read from AIG-regcodes\n"));
}

TEST_F(RegcodeFilesTest, AigDocumentWithoutMetaOrNotLoadingIsRefused) {
    writeAigDocument("<livery title=\"A\" reg=\"PH-AAA\"/>", false);
    std::vector<RegcodeRecord> records;
    EXPECT_FALSE(gf_readAigRegcodes(records));
    EXPECT_TRUE(records.empty());

    test::writeFileText(liveryPaths.aigRegcodesPlain, "<root><AIG-regcodes>");
    EXPECT_FALSE(gf_readAigRegcodes(records));
    EXPECT_TRUE(logHas("==> Failed to load " + liveryPaths.aigRegcodesPlain.string() + "\n"));
    EXPECT_FALSE(fs::exists(liveryPaths.aigRegcodesPlain)) << "the plain file never stays behind";

    test::writeFileText(
        liveryPaths.aigRegcodesPlain,
        "<meta><info name=\"version\" value=\"1.0.0\"/></meta><AIG-regcodes><livery title=\"Top\" "
        "reg=\"PH-TOP\"/></AIG-regcodes>");
    EXPECT_TRUE(gf_readAigRegcodes(records)) << "a document without root is read at its top level";
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].title, "Top");
    EXPECT_TRUE(logHas("1 livery read from AIG-regcodes\n"));
}

TEST_F(RegcodeFilesTest, ScanPassCollectsDontUseTitlesOfBothSources) {
    encryptAigDocument("<livery title=\"AIG broken\" reg=\"\"/><livery title=\"AIG good\" reg=\"PH-AAA\"/>");
    userFile("mine.txt", "Mine broken\nMine broken 2\nMine;PH-BBB\nFour;a;b;c\n");
    lf_processRegcodeFiles();
    EXPECT_EQ(dontUseTitles, (std::vector<std::string>{"AIG broken", "Mine broken", "Mine broken 2"}));
    EXPECT_FALSE(fs::exists(liveryPaths.aigRegcodesPlain));
    EXPECT_TRUE(logHas("1 don't use title read\n"));
    EXPECT_TRUE(logHas("2 don't use titles read from files in " + liveryPaths.regcodeFolder.string() + "\n"));
    EXPECT_EQ(regcodeReportLines,
              std::vector<std::string>{"There were errors in processing the regcode files in folder '" +
                                       liveryPaths.regcodeFolder.string() + "', see the Log.txt"});
}

TEST_F(RegcodeFilesTest, ScanPassReadsUserFilesWithoutTheAigDocument) {
    userFile("mine.txt", "Mine broken\n");
    lf_processRegcodeFiles();
    EXPECT_EQ(dontUseTitles, std::vector<std::string>{"Mine broken"});
}

TEST_F(RegcodeFilesTest, OfflinePassMergesBothSourcesAndWritesItsReport) {
    addTypes({{"B738", AircraftCategory::large, {}}});
    buildDatabase({{"KLM", "B738", "KLM one", "", 0, false},
                   {"KLM", "B738", "KLM two", "", 0, false},
                   {"KLM", "B738", "KLM special", "", 0, false}});
    regcodeLiveries.clear();
    encryptAigDocument("<livery title=\"KLM one\" reg=\"PH-BXA,PH-BXB\"/>"
                       "<livery title=\"KLM special\" reg=\"PH-BXS\" special=\"true\"/>"
                       "<livery title=\"Not installed\" reg=\"PH-XXX\"/>");
    userFile("mine.txt", "KLM two;PH-BXB\nKLM one;AB\n");

    gf_processOfflineRegcodes();
    EXPECT_EQ(regcodeLiveries.at("PH-BXA"), "KLM one");
    EXPECT_EQ(regcodeLiveries.at("PH-BXB"), "KLM two") << "the user's files come last";
    EXPECT_EQ(regcodeLiveries.count("PH-XXX"), 0u);
    EXPECT_EQ(specialRegcodes, (std::set<std::string, std::less<>>{"PH-BXB", "PH-BXS"}));
    EXPECT_FALSE(fs::exists(liveryPaths.aigRegcodesPlain));

    const std::string folderText = liveryPaths.regcodeFolder.string();
    EXPECT_EQ(test::readFileText(liveryPaths.offlineRegcodes),
              "Processing file " + liveryPaths.aigRegcodesPlain.string() +
                  "\n"
                  "3 new regcodes added, 1 regcode defined as special\n"
                  "Processing files in " +
                  folderText +
                  "\n"
                  "There were errors processing the regcode files in folder '" +
                  folderText +
                  "', see Log.txt\n"
                  "   regcode PH-BXB for 'KLM two', instead of the same for 'KLM one'\n"
                  "0 new regcodes added, 1 regcode replaced, 1 regcode defined as special\n");
    EXPECT_TRUE(logHas("Offline regcode files processed, results can be found in '" +
                       liveryPaths.offlineRegcodes.string() + "'\n"));
    EXPECT_TRUE(logHas("2 special liveries\n"));
    EXPECT_TRUE(logHas("2 unique liveries\n"));
}

TEST_F(RegcodeFilesTest, OfflinePassWithoutTheAigDocumentReadsNothingAndWritesNothing) {
    addTypes({{"B738", AircraftCategory::large, {}}});
    buildDatabase({{"KLM", "B738", "KLM one", "", 0, false}});
    test::writeFileText(liveryPaths.offlineRegcodes, "from an earlier start");
    userFile("mine.txt", "KLM one;PH-BXA\n");
    regcodeReportLines = {"left from the scan"};
    gf_processOfflineRegcodes();
    EXPECT_TRUE(regcodeReportLines.empty());
    EXPECT_TRUE(regcodeLiveries.empty());
    EXPECT_EQ(test::readFileText(liveryPaths.offlineRegcodes), "from an earlier start");
}

TEST_F(RegcodeFilesTest, OfflinePassWithNothingToReportRemovesTheOldReport) {
    test::writeFileText(liveryPaths.offlineRegcodes, "old");
    test::writeFileText(liveryPaths.aigRegcodesEncrypted, "not a secret stream");
    gf_processOfflineRegcodes();
    EXPECT_TRUE(fs::exists(liveryPaths.offlineRegcodes)) << "an undecryptable document stops the pass first";
    encryptAigDocument("");
    gf_processOfflineRegcodes();
    EXPECT_EQ(test::readFileText(liveryPaths.offlineRegcodes),
              "Processing file " + liveryPaths.aigRegcodesPlain.string() + "\n0 new regcodes added\n");
}

TEST_F(RegcodeFilesTest, ShippedDocumentReadsCleanlyAndFitsTheDemoFleet) {
    const fs::path staged = fs::path(VANTREL_DIST_INPUT_DIR) / "AIG-regcodes.enc";
    if (!fs::exists(staged))
        GTEST_SKIP() << "the registration-code document is not part of this build";
    fs::copy_file(staged, liveryPaths.aigRegcodesEncrypted);
    ASSERT_TRUE(gf_streamDecrypt(liveryPaths.aigRegcodesEncrypted, liveryPaths.aigRegcodesPlain));
    std::vector<RegcodeRecord> records;
    EXPECT_TRUE(gf_readAigRegcodes(records));
    ASSERT_FALSE(records.empty());
    fs::remove(liveryPaths.aigRegcodesPlain);

    addTypes({{"B738", AircraftCategory::large, {}}});
    buildDatabase({{"KLM", "B738", "AIG B738 KLM PH-BXA", "", 0, false},
                   {"KLM", "B738", "AIG B738 KLM PH-BXB", "", 0, false}});
    EXPECT_EQ(regcodeLiveries.at("PH-BXA"), "AIG B738 KLM PH-BXA");
    EXPECT_EQ(specialRegcodes.count("PH-BXA"), 1u);
    EXPECT_EQ(regcodeLiveries.at("PH-BXB"), "AIG B738 KLM PH-BXB");
    EXPECT_EQ(logText().find("==> "), std::string::npos) << logText();
}

} // namespace
} // namespace kvr
