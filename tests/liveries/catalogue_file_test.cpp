#include "core/log.h"
#include "core/user_error.h"
#include "liveries/catalogue_file.h"
#include "liveries/livery_data.h"
#include "liveries/livery_paths.h"
#include "support/file_text.h"
#include "support/log_text.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace kvr {
namespace {

namespace fs = std::filesystem;

class CatalogueFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        gf_setLiveryWorkingFolder(folder.path());
        fs::create_directories(liveryPaths.outputFolder);
        gf_openLogFile(folder.path());
        scannedLiveries.clear();
    }
    void TearDown() override {
        gf_closeLogFile();
        scannedLiveries.clear();
        gf_setLiveryWorkingFolder({});
    }
    std::string logText() { return test::loggedText(folder.path()); }
    void writeCatalogue(const std::string& body) {
        test::writeFileText(liveryPaths.liveriesScanned,
                            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root><meta><info name=\"version\" "
                            "value=\"12.0.0\"/></meta>" +
                                body + "</root>\n");
    }
    // The code of the user error that reading the catalogue throws, with its text; 0 when none.
    std::pair<int, std::string> readError() {
        try {
            lf_readLiveriesScanned();
        } catch (const UserErrorException& error) {
            return {error.code(), error.what()};
        }
        return {0, ""};
    }
    std::vector<std::string> attributeNames(const pugi::xml_node liv) {
        std::vector<std::string> names;
        for (const pugi::xml_attribute attribute : liv.attributes())
            names.emplace_back(attribute.name());
        return names;
    }
    test::TempFolder folder;
};

TEST_F(CatalogueFileTest, EmptyListWritesNothingAndKeepsAnOlderCatalogue) {
    test::writeFileText(liveryPaths.liveriesScanned, "older");
    lf_writeLiveriesScanned();
    EXPECT_EQ(test::readFileText(liveryPaths.liveriesScanned), "older");
    EXPECT_EQ(logText().find("liveries in"), std::string::npos);
}

TEST_F(CatalogueFileTest, AttributesAreWrittenInTheirOrderAndOnlyWhenNeeded) {
    scannedLiveries = {{"KLM", "B738", "AIG KLM B738", "", 1, false},
                       {"MPH", "B744", "AIG Martinair Cargo B744", "PH-MPS", 2, true}};
    lf_writeLiveriesScanned();

    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file(liveryPaths.liveriesScanned.c_str()));
    const pugi::xml_node root = doc.child("root");
    EXPECT_STREQ(root.first_child().name(), "meta");
    EXPECT_STREQ(root.first_child().next_sibling().name(), "liveries");
    const pugi::xml_node first = root.child("liveries").first_child();
    const pugi::xml_node second = first.next_sibling();
    EXPECT_EQ(attributeNames(first), (std::vector<std::string>{"airl", "type", "title"}));
    EXPECT_EQ(attributeNames(second), (std::vector<std::string>{"airl", "type", "cargo", "title", "atcid"}));
    EXPECT_STREQ(second.attribute("cargo").value(), "true");
    EXPECT_STREQ(second.attribute("atcid").value(), "PH-MPS");

    const std::string text = test::readFileText(liveryPaths.liveriesScanned);
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u) << text;
    EXPECT_NE(text.find("\n  <meta>"), std::string::npos) << "indented by two blanks";
    EXPECT_NE(logText().find("2 liveries in " + liveryPaths.liveriesScanned.string() + "\n"),
              std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(liveryPaths.outputFolder), fs::directory_iterator{}), 1)
        << "no temporary file is left beside the catalogue";
}

TEST_F(CatalogueFileTest, RoundTripKeepsTitlesOfEveryScriptAndSortsByteWise) {
    const std::vector<LiveryData> written = {
        {"SAS", "A20N", "Scandinavian Ærø Ødin Åland", "SE-ROA", 1, false},
        {"AFR", "A320", "Air France \"Ville de Paris\" & <co>", "", 1, false},
        {"UAE", "A388", "طيران الإمارات A380", "A6-EDA", 1, false},
        {"THY", "B738", "Türk Hava Yolları — 737", "", 2, false},
        {"DLH", "A321", "Lufthansa Ελληνικά Кириллица", "D-AIDA", 3, true},
        {"ZZZ", "B738", "汉字 カタカナ 한국어 🛫", "", 1, false},
        {"AFR", "A319", "Air France A319", "F-GRHA", 1, false},
        {"AFR", "A320", "Air France A320 b", "", 1, false},
        {"AFR", "A320", "Air France A320 a", "", 1, false},
    };
    scannedLiveries.assign(written.begin(), written.end());
    lf_writeLiveriesScanned();
    scannedLiveries.clear();

    lf_readLiveriesScanned();
    ASSERT_EQ(scannedLiveries.size(), written.size());
    std::vector<LiveryData> expected = written;
    std::stable_sort(expected.begin(), expected.end(), [](const LiveryData& a, const LiveryData& b) {
        return std::tie(a.airl, a.type, a.title) < std::tie(b.airl, b.type, b.title);
    });
    auto read = scannedLiveries.begin();
    for (const LiveryData& livery : expected) {
        EXPECT_TRUE(lf_sameLiveryData(*read, livery)) << read->title << " / " << livery.title;
        EXPECT_EQ(read->folderNumber, 0u);
        ++read;
    }
    EXPECT_EQ(scannedLiveries.front().title, "Air France A319");
    EXPECT_EQ(std::next(scannedLiveries.begin(), 1)->title, "Air France \"Ville de Paris\" & <co>")
        << "'\"' (0x22) sorts before 'A' (0x41)";
    EXPECT_NE(logText().find("9 liveries read from " + liveryPaths.liveriesScanned.string() + "\n"),
              std::string::npos);
}

TEST_F(CatalogueFileTest, SortIsByAirlineThenTypeThenTitleWithShorterFirstAndStable) {
    writeCatalogue("<liveries>"
                   "<liv airl=\"KLMX\" type=\"A\" title=\"t1\"/>"
                   "<liv airl=\"KLM\" type=\"B738\" title=\"same\" atcid=\"first\"/>"
                   "<liv airl=\"KLM\" type=\"B73\" title=\"z\"/>"
                   "<liv airl=\"KLM\" type=\"B738\" title=\"same\" atcid=\"second\"/>"
                   "<liv airl=\"klm\" type=\"A\" title=\"lower case sorts after upper\"/>"
                   "</liveries>");
    lf_readLiveriesScanned();
    std::vector<std::string> order;
    for (const LiveryData& livery : scannedLiveries)
        order.push_back(livery.airl + "|" + livery.type + "|" + livery.title + "|" + livery.atcid);
    EXPECT_EQ(order, (std::vector<std::string>{"KLM|B73|z|", "KLM|B738|same|first", "KLM|B738|same|second",
                                               "KLMX|A|t1|", "klm|A|lower case sorts after upper|"}));
}

TEST_F(CatalogueFileTest, CargoReadsAsABooleanAndOptionalAttributesDefault) {
    writeCatalogue("<liveries>"
                   "<liv airl=\"A\" type=\"T\" cargo=\"yes\" title=\"yes\"/>"
                   "<liv airl=\"A\" type=\"T\" cargo=\"no\" title=\"no\"/>"
                   "<liv airl=\"A\" type=\"T\" cargo=\"0\" title=\"zero\"/>"
                   "<liv airl=\"A\" type=\"T\" cargo=\"1\" title=\"one\"/>"
                   "<liv airl=\"A\" type=\"T\" cargo=\"True\" title=\"True\"/>"
                   "<liv airl=\"A\" type=\"T\" title=\"absent\"/>"
                   "</liveries>");
    lf_readLiveriesScanned();
    std::map<std::string, bool> cargo;
    for (const LiveryData& livery : scannedLiveries) {
        cargo[livery.title] = livery.cargo;
        EXPECT_TRUE(livery.atcid.empty());
    }
    EXPECT_EQ(cargo, (std::map<std::string, bool>{{"yes", true},
                                                  {"no", false},
                                                  {"zero", false},
                                                  {"one", true},
                                                  {"True", true},
                                                  {"absent", false}}));
}

TEST_F(CatalogueFileTest, EachMalformedCatalogueGivesItsUserError) {
    const std::string path = liveryPaths.liveriesScanned.string();
    EXPECT_EQ(readError(), std::make_pair(51, "51: File " + path + " not found")) << "missing file";

    test::writeFileText(liveryPaths.liveriesScanned, "<root><liveries><liv airl=\"KLM\"</liveries></root>");
    EXPECT_EQ(readError().first, 51) << "does not parse";
    // A start with the scan off scans such a catalogue anew rather than stopping with the error.
    EXPECT_EQ(gf_catalogueUnreadable().value_or("").rfind("cannot be read (", 0), 0u);

    writeCatalogue("<other/>");
    EXPECT_EQ(readError(), std::make_pair(52, "52: " + path + " does not contain a <liveries> section"));

    writeCatalogue("<liveries></liveries>");
    EXPECT_EQ(readError(), std::make_pair(533, "533: " + path + " does not contain liveries"));

    test::writeFileText(liveryPaths.liveriesScanned,
                        "<liveries><liv airl=\"KLM\" type=\"B738\" title=\"t\"/></liveries>");
    EXPECT_EQ(readError().first, 533) << "a document without root reads no record";

    writeCatalogue("<liveries><liv airl=\"KLM\" type=\"B738\" title=\"fine\"/><liv airl=\"KLM\" "
                   "title=\"t\"/></liveries>");
    EXPECT_EQ(readError(),
              std::make_pair(999, std::string("999: Missing required attribute 'type' in <liv>")));
    EXPECT_TRUE(scannedLiveries.empty()) << "no partial list after a failed read";

    writeCatalogue("<liveries><livery type=\"B738\"/></liveries>");
    EXPECT_EQ(readError(),
              std::make_pair(999, std::string("999: Missing required attribute 'airl' in <livery>")));

    writeCatalogue("<liveries><liv airl=\"KLM\" type=\"B738\"/></liveries>");
    EXPECT_EQ(readError().second, "999: Missing required attribute 'title' in <liv>");
}

} // namespace
} // namespace kvr
