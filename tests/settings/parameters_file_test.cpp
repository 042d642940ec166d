#include "core/log.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"
#include "settings/parameters_file.h"
#include "support/file_text.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <cstdlib>
#include <thread>

namespace kvr {
namespace {

class ParametersFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", folder.path().c_str(), 1);
        gf_initAppDataFolder();
        for (Parameter* p : gf_allParameters())
            p->resetToDefault();
    }
    void TearDown() override {
        for (Parameter* p : gf_allParameters())
            p->resetToDefault();
        gf_closeLogFile();
    }
    std::string valueInFile(const std::string& name) {
        pugi::xml_document doc;
        EXPECT_TRUE(doc.load_file(parametersFilePath.c_str()));
        for (auto p : doc.child("root").child("parameters").children("parameter"))
            if (name == p.attribute("name").value())
                return p.attribute("value").value();
        return "<absent>";
    }
    test::TempFolder folder;
};

TEST_F(ParametersFileTest, FolderFollowsXdgConfigHome) {
    EXPECT_EQ(appDataFolder, folder.path() / "Vantrel");
    EXPECT_EQ(parametersFilePath, folder.path() / "Vantrel" / "parameters.xml");
}

TEST_F(ParametersFileTest, MissingFileIsCreatedWithDefaultsAndBothScansOn) {
    SCAN_LIVERIES.setValue(false);
    SCAN_AIRPORTS.setValue(false);
    RANGE.setValue(10);
    lf_loadParameters();
    EXPECT_TRUE(SCAN_LIVERIES.value());
    EXPECT_TRUE(SCAN_AIRPORTS.value());
    EXPECT_EQ(RANGE.value(), 40);
    EXPECT_EQ(valueInFile("RANGE"), "40");
    EXPECT_EQ(valueInFile("LAST_EPOCH_TIME:"), "0");
    EXPECT_EQ(valueInFile("parking_percentage"), "<absent>") << "never saved";
    EXPECT_EQ(valueInFile("MAX_FIT_FL"), "<absent>");
}

TEST_F(ParametersFileTest, ValuesAreClampedOrKeepTheDefaultAndUnknownNamesSurvive) {
    std::filesystem::create_directories(appDataFolder);
    test::writeFileText(parametersFilePath, R"(<?xml version="1.0"?>
<root><parameters>
  <parameter name="RANGE" value="400"/>
  <parameter name="MATCHING_DEPTH" value="two"/>
  <parameter name="MAX_FIT" value="-5"/>
  <parameter name="WEEK" value="true"/>
  <parameter name="lfolder3" value="D:\Liveries\Ü"/>
  <parameter name="SOMETHING_FROM_THE_FUTURE" value="42"/>
  <parameter name="parking_percentage" value="90"/>
</parameters></root>)");
    lf_loadParameters();
    EXPECT_EQ(RANGE.value(), 100);
    EXPECT_EQ(MATCHING_DEPTH.value(), 4);
    EXPECT_EQ(MAX_FIT.value(), 0);
    EXPECT_TRUE(WEEK.value());
    EXPECT_EQ(lfolder3.value(), "D:\\Liveries\\Ü");
    EXPECT_EQ(parking_percentage.value(), 30) << "a never-saved setting is not read either";
    EXPECT_EQ(valueInFile("SOMETHING_FROM_THE_FUTURE"), "42");
    EXPECT_EQ(valueInFile("RANGE"), "100");
    EXPECT_EQ(valueInFile("AIRP_HEIGHT"), "18000") << "missing settings are added";
}

TEST_F(ParametersFileTest, UnparsableFileIsNeverOverwritten) {
    std::filesystem::create_directories(appDataFolder);
    const std::string broken = "<root><parameters><parameter name=\"RANGE\" value=\"10\"";
    test::writeFileText(parametersFilePath, broken);
    lf_loadParameters();
    RANGE.setValue(12);
    gf_saveNumParameter(RANGE);
    EXPECT_EQ(test::readFileText(parametersFilePath), broken);
}

TEST_F(ParametersFileTest, SavesOneSettingAndRoundTripsEveryKind) {
    lf_loadParameters();
    RANGE.setValue(65);
    gf_saveNumParameter(RANGE);
    MAX_FIT_FL.setValue(1.5f);
    gf_saveNumParameter(MAX_FIT_FL);
    AUTO_RANGE.setValue(false);
    gf_saveBoolParameter(AUTO_RANGE);
    gf_setParameterAndSave(DESTINATION, "EHAM");
    EXPECT_EQ(valueInFile("RANGE"), "65");
    EXPECT_EQ(valueInFile("MAX_FIT_FL"), "<absent>");
    EXPECT_EQ(valueInFile("AUTO_RANGE"), "false");
    EXPECT_EQ(valueInFile("DESTINATION"), "EHAM");
    for (Parameter* p : gf_allParameters())
        p->resetToDefault();
    lf_loadParameters();
    EXPECT_EQ(RANGE.value(), 65);
    EXPECT_FALSE(AUTO_RANGE.value());
    EXPECT_EQ(DESTINATION.value(), "EHAM");
    for (const auto& entry : std::filesystem::directory_iterator(appDataFolder))
        EXPECT_EQ(entry.path().filename(), "parameters.xml") << "no temporary file left behind";
}

TEST_F(ParametersFileTest, ConcurrentSavesFromTwoThreadsLoseNothing) {
    lf_loadParameters();
    std::thread a([] {
        for (int i = 0; i < 100; ++i) {
            MAIN_WINDOW_X.setValue(i);
            gf_saveNumParameter(MAIN_WINDOW_X);
        }
    });
    std::thread b([] {
        for (int i = 0; i < 100; ++i) {
            BLOCK_CALLSIGN.setValue("KLM" + std::to_string(i));
            gf_saveStringParameter(BLOCK_CALLSIGN);
        }
    });
    a.join();
    b.join();
    EXPECT_EQ(valueInFile("MAIN_WINDOW_X"), "99");
    EXPECT_EQ(valueInFile("BLOCK_CALLSIGN"), "KLM99");
}

TEST_F(ParametersFileTest, CheckSettingSavesWithoutAWindow) {
    lf_loadParameters();
    gf_setCheckSetting(SCAN_AIRPORTS, false);
    EXPECT_FALSE(SCAN_AIRPORTS.value());
    EXPECT_EQ(valueInFile("SCAN_AIRPORTS"), "false");
}

} // namespace
} // namespace kvr
