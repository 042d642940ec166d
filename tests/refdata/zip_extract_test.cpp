#include "refdata/zip_extract.h"

#include "refdata_fixtures.h"

namespace kvr {
namespace {

using test::readFileText;
using test::TempFolder;
using test::writeZip;

TEST(ZipExtractTest, EntryNamesMustStayInsideTheFolder) {
    for (const char* safe : {"EHAM.xml", "sub/EHAM.txt", "sub\\EHAM.txt", "..name", "a..b/c", "./x", "dir/"})
        EXPECT_TRUE(gf_isSafeZipEntryName(safe)) << safe;
    for (const char* unsafe : {"", "../x", "a/../../x", "a\\..\\x", "..", "sub/..", "/etc/x", "\\x", "C:/x",
                               "C:x", "file.txt:stream"})
        EXPECT_FALSE(gf_isSafeZipEntryName(unsafe)) << unsafe;
}

TEST(ZipExtractTest, ExtractsFilesAndFoldersAndRefusesAnUnsafeArchiveWhole) {
    TempFolder temp;
    writeZip(temp / "good.zip", {{"EHAM.xml", "<root/>"}, {"sub\\EDDF.txt", "link"}, {"empty/", ""}});
    const ZipExtractResult good = gf_extractZip(temp / "good.zip", temp / "out");
    EXPECT_EQ(good.error, "");
    EXPECT_EQ(good.files, 2u);
    EXPECT_EQ(readFileText(temp / "out" / "EHAM.xml"), "<root/>");
    EXPECT_EQ(readFileText(temp.path() / "out" / "sub" / "EDDF.txt"), "link");
    EXPECT_TRUE(std::filesystem::is_directory(temp.path() / "out" / "empty"));

    writeZip(temp / "bad.zip", {{"first.xml", "1"}, {"../escaped.txt", "x"}, {"last.xml", "2"}});
    const ZipExtractResult bad = gf_extractZip(temp / "bad.zip", temp / "out2");
    EXPECT_NE(bad.error.find("refused: entry '../escaped.txt'"), std::string::npos) << bad.error;
    EXPECT_EQ(bad.files, 0u);
    EXPECT_FALSE(std::filesystem::exists(temp / "out2")) << "nothing written, not even the first entry";
    EXPECT_FALSE(std::filesystem::exists(temp / "escaped.txt"));

    test::writeFileText(temp / "not.zip", "this is no archive");
    EXPECT_NE(gf_extractZip(temp / "not.zip", temp / "out3").error.find("is not a readable zip archive"),
              std::string::npos);
}

// Entry names are UTF-8; on Windows they must reach the file system as UTF-16, not through the ANSI code
// page.
TEST(ZipExtractTest, NonAsciiEntryNamesKeepTheirLetters) {
    TempFolder temp;
    writeZip(temp / "names.zip", {{"Zo\u00eb \u5305/A\u00e9.xml", "<root/>"}});
    const ZipExtractResult result = gf_extractZip(temp / "names.zip", temp / "out");
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(result.files, 1u);
    EXPECT_EQ(readFileText(temp.path() / "out" / std::u8string(u8"Zo\u00eb \u5305") /
                           std::u8string(u8"A\u00e9.xml")),
              "<root/>");
}

} // namespace
} // namespace kvr
