#include "core/file_util.h"
#include "core/log.h"
#include "support/file_text.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kvr {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

Lines lf_split(const std::string& text) {
    Lines lines{"kept"};
    gf_splitLines(text, lines);
    lines.erase(lines.begin());
    return lines;
}

TEST(SplitLines, LineEndsAndByteOrderMark) {
    EXPECT_EQ(lf_split(""), Lines{});
    EXPECT_EQ(lf_split("\n"), Lines{""});
    EXPECT_EQ(lf_split("a\r\nb\n\nc"), (Lines{"a", "b", "", "c"}));
    EXPECT_EQ(lf_split("\xEF\xBB\xBFx\r\n"), Lines{"x"});
    EXPECT_EQ(lf_split("a\rb"), Lines{"a\rb"});   // a lone CR is no line end
    EXPECT_EQ(lf_split("a\r\r\n"), Lines{"a\r"}); // only one CR is dropped
    EXPECT_EQ(lf_split("x\n\xEF\xBB\xBFy"), (Lines{"x", "\xEF\xBB\xBFy"}));
}

TEST(FileUtil, InputFilesThatCannotBeOpenedGiveAFailure) {
    test::TempFolder folder;
    std::ifstream missing, onFolder, present;
    EXPECT_FALSE(gf_openInputFile(folder / "missing.txt", missing));
    EXPECT_FALSE(gf_openInputFile(folder.path(), onFolder));
    test::writeFileText(folder / "p.txt", "EHAM;C12\r\nEGLL\r\n");
    ASSERT_TRUE(gf_openInputFile(folder / "p.txt", present));
    Lines lines;
    gf_readLines(present, lines);
    EXPECT_EQ(lines, (Lines{"EHAM;C12", "EGLL"}));
}

TEST(FileUtil, WholeFilesAreReadAsTheyAreOrNotAtAll) {
    test::TempFolder folder;
    const std::string bytes = std::string("\xEF\xBB\xBF") + "a\r\n" + '\0' + "b";
    test::writeFileText(folder / "raw.bin", bytes);
    EXPECT_EQ(gf_readFileBytes(folder / "raw.bin"), bytes);
    test::writeFileText(folder / "empty.txt", "");
    EXPECT_EQ(gf_readFileBytes(folder / "empty.txt"), "");
    EXPECT_FALSE(gf_readFileBytes(folder / "missing.txt"));
    EXPECT_FALSE(gf_readFileBytes(folder.path()));
}

TEST(FileUtil, WritersReplaceTheFileAndReportFailure) {
    test::TempFolder folder;
    const fs::path path = folder / "out.txt";
    test::writeFileText(path, "old content that is longer");
    EXPECT_TRUE(gf_writeLines({"b", "", "a"}, path));
    EXPECT_EQ(test::readFileText(path), "b\n\na\n");
    EXPECT_TRUE(gf_writeFile("link", path, true));
    EXPECT_EQ(test::readFileText(path), "link\n");
    EXPECT_TRUE(gf_writeFile("link", path, false));
    EXPECT_EQ(test::readFileText(path), "link");
    EXPECT_FALSE(gf_writeLines({"x"}, folder / "no-such-folder" / "out.txt"));
    EXPECT_FALSE(gf_writeFile("x", folder / "no-such-folder" / "out.txt", true));
}

TEST(FileUtil, CountFilesCountsDirectEntriesAndThrowsWhenNotAFolder) {
    test::TempFolder folder;
    EXPECT_EQ(gf_countFilesInFolder(folder / "missing"), 0u);
    test::writeFileText(folder / "a.txt", "");
    fs::create_directory(folder / "sub");
    test::writeFileText(folder / "sub" / "deeper.txt", "");
    EXPECT_EQ(gf_countFilesInFolder(folder.path()), 2u);
    EXPECT_THROW(gf_countFilesInFolder(folder / "a.txt"), fs::filesystem_error);
}

TEST(FileUtil, OneGenerationBackupsPutTheZeroBeforeTheLastDot) {
    EXPECT_EQ(gf_oneGenerationName("cfg/parameters.xml"), fs::path("cfg/parameters0.xml"));
    EXPECT_EQ(gf_oneGenerationName("a.b.xml"), fs::path("a.b0.xml"));
    EXPECT_EQ(gf_oneGenerationName("dir.d/README"), fs::path("dir.d/README0"));
    test::TempFolder folder;
    test::writeFileText(folder / "EHAM.xml", "new");
    test::writeFileText(folder / "EHAM0.xml", "old");
    EXPECT_TRUE(gf_save1GenerationOf(folder / "EHAM.xml"));
    EXPECT_EQ(test::readFileText(folder / "EHAM0.xml"), "new");
    EXPECT_FALSE(gf_save1GenerationOf(folder / "EGLL.xml"));
    EXPECT_FALSE(fs::exists(folder / "EGLL0.xml"));
}

class RemovalTest : public ::testing::Test {
protected:
    void TearDown() override { gf_closeLogFile(); }
    test::TempFolder folder;
};

TEST_F(RemovalTest, RemoveFileWarnIgnoresMissingFilesAndLogsFailures) {
    fs::create_directory(folder / "logs");
    gf_openLogFile(folder / "logs");
    gf_removeFileWarn(folder / "missing.xml");
    fs::create_directory(folder / "full");
    test::writeFileText(folder / "full" / "x", "");
    EXPECT_NO_THROW(gf_removeFileWarn(folder / "full"));
    gf_closeLogFile();
    const std::string log = test::readFileText(folder / "logs" / "Log.txt");
    EXPECT_EQ(log.find("missing.xml"), std::string::npos);
    EXPECT_NE(log.find("==> Warning: could not remove " + (folder / "full").string() + ", errorcode: "),
              std::string::npos)
        << log;
}

TEST_F(RemovalTest, FolderClearingSparesSubFoldersKeepListAndOtherFiles) {
    for (const char* name : {"EHAM.xml", "KJFK.XML", "keep.xml", "tblo.zip", "notes.txt"})
        test::writeFileText(folder / name, "");
    fs::create_directory(folder / "dir.xml");
    gf_removeXMLFilesFromDirectory(folder.path(), {"keep.xml"});
    EXPECT_FALSE(fs::exists(folder / "EHAM.xml"));
    EXPECT_FALSE(fs::exists(folder / "KJFK.XML"));
    for (const char* name : {"keep.xml", "tblo.zip", "notes.txt", "dir.xml"})
        EXPECT_TRUE(fs::exists(folder / name)) << name;

    gf_removeFilesFromDirectory(folder.path());
    EXPECT_EQ(gf_countFilesInFolder(folder.path()), 1u);
    EXPECT_TRUE(fs::is_directory(folder / "dir.xml"));
    EXPECT_NO_THROW(gf_removeFilesFromDirectory(folder / "missing"));
}

TEST_F(RemovalTest, XmlStemsAreUpperCasedAndSorted) {
    for (const char* name : {"kjfk.xml", "EHAM.XML", "notes.txt", "EGLL.xml.bak"})
        test::writeFileText(folder / name, "");
    fs::create_directory(folder / "dir.xml");
    EXPECT_EQ(lf_listXmlStems(folder.path()), (std::vector<std::string>{"EHAM", "KJFK"}));
}

} // namespace
} // namespace kvr
