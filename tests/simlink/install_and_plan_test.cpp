#include "core/log.h"
#include "core/shared_state.h"
#include "settings/parameter_table.h"
#include "settings/parameters_file.h"
#include "simlink/flight_plan.h"
#include "simlink/sim_install.h"
#include "simlink/sim_install_internal.h"
#include "support/file_text.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace kvr {
namespace {

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class InstallFolders : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_DATA_HOME", (folder.path() / "local").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (folder.path() / "roaming").c_str(), 1);
        msfs2020Selected = true;
    }
    void TearDown() override {
        MSFS_INSTALL_PATH.setValue("");
        MSFS_2024_INSTALL_PATH.setValue("");
        msfs2020Selected = true;
    }
    std::filesystem::path packagesWithCommunity(const std::string& name) {
        const auto packages = folder.path() / name;
        std::filesystem::create_directories(packages / "Community");
        return packages;
    }
    void writeUserCfg(const std::filesystem::path& file, const std::string& text) {
        std::filesystem::create_directories(file.parent_path());
        test::writeFileText(file, text);
    }
    test::TempFolder folder;
};

TEST_F(InstallFolders, SimPathFollowsTheSelectedSimulatorAndAcceptsBackslashes) {
    EXPECT_TRUE(gf_simPath("Community").empty());
    MSFS_INSTALL_PATH.setValue("C:\\MSFS\\Packages");
    MSFS_2024_INSTALL_PATH.setValue("/games/msfs24");
    EXPECT_EQ(gf_simPath("Community"), std::filesystem::path("C:/MSFS/Packages/Community"));
    msfs2020Selected = false;
    EXPECT_EQ(gf_simPath("Official"), std::filesystem::path("/games/msfs24/Official"));
    MSFS_2024_INSTALL_PATH.setValue("");
    EXPECT_TRUE(gf_simPath("Community").empty());
}

TEST_F(InstallFolders, UserCfgLineIsFoundAmongOthers) {
    const auto file = folder.path() / "UserCfg.opt";
    writeUserCfg(file,
                 "\xEF\xBB\xBFVersion 64\r\nInstalledPackagesPathX \"/wrong\"\r\n"
                 "InstalledPackagesPath /unquoted\r\nInstalledPackagesPath \"\"\r\n"
                 "\tInstalledPackagesPath\t\"E:\\Sim Packages\" \r\nInstalledPackagesPath \"/second\"\r\n");
    EXPECT_EQ(lf_installedPackagesPath(file), std::filesystem::path("E:/Sim Packages"));
    writeUserCfg(file, "Graphics {\n}\n");
    EXPECT_FALSE(lf_installedPackagesPath(file));
    EXPECT_FALSE(lf_installedPackagesPath(folder.path() / "missing.opt"));
}

TEST_F(InstallFolders, DetectionPrefersSteamPackagesThenStoreThenSteamUserCfg) {
    EXPECT_TRUE(gf_detectSimInstall().empty());
    const auto storeCfg =
        folder.path() / "local/Packages/Microsoft.FlightSimulator_8wekyb3d8bbwe/LocalCache/UserCfg.opt";
    const auto steamCfg = folder.path() / "roaming/Microsoft Flight Simulator/UserCfg.opt";
    EXPECT_EQ(lf_userCfgFiles(true)[0], storeCfg);
    EXPECT_EQ(lf_userCfgFiles(true)[1], steamCfg);

    const auto fromSteamCfg = packagesWithCommunity("steam-cfg");
    writeUserCfg(steamCfg, "InstalledPackagesPath \"" + fromSteamCfg.string() + "\"\n");
    EXPECT_EQ(gf_detectSimInstall(), fromSteamCfg);

    writeUserCfg(storeCfg, "InstalledPackagesPath \"" + (folder.path() / "no-community").string() + "\"\n");
    std::filesystem::create_directories(folder.path() / "no-community" / "Official");
    EXPECT_EQ(gf_detectSimInstall(), fromSteamCfg) << "a folder without Community is not valid";

    const auto fromStoreCfg = packagesWithCommunity("store-cfg");
    writeUserCfg(storeCfg, "InstalledPackagesPath \"" + fromStoreCfg.string() + "\"\n");
    EXPECT_EQ(gf_detectSimInstall(), fromStoreCfg);

    std::filesystem::create_directories(lf_steamPackagesFolder(true));
    EXPECT_EQ(gf_detectSimInstall(), fromStoreCfg) << "the Steam packages folder lacks Community";
    std::filesystem::create_directories(lf_steamPackagesFolder(true) / "Community");
    EXPECT_EQ(gf_detectSimInstall(), folder.path() / "roaming/Microsoft Flight Simulator/Packages");

    msfs2020Selected = false;
    EXPECT_TRUE(gf_detectSimInstall().empty()) << "MSFS 2024 has folders of its own";
    const auto packages2024 = packagesWithCommunity("msfs2024");
    writeUserCfg(folder.path() / "local/Packages/Microsoft.Limitless_8wekyb3d8bbwe/LocalCache/UserCfg.opt",
                 "InstalledPackagesPath \"" + packages2024.string() + "\"\n");
    EXPECT_EQ(gf_detectSimInstall(), packages2024);
}

// A user name and a packages folder with letters from more than one ANSI code page: on Windows they must
// reach the file system as UTF-16, from the environment, from the settings (UTF-8) and from UserCfg.opt.
TEST_F(InstallFolders, NonAsciiDataFolderAndCommunityPathWork) {
    const std::filesystem::path user = folder.path() / std::u8string(u8"Zo\u00eb \u0394\u03b9\u03ac");
    setenv("XDG_DATA_HOME", (user / "local").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (user / "roaming").c_str(), 1);
    const std::filesystem::path packages = folder.path() / std::u8string(u8"Pakete \u00c5 \u5305");
    std::filesystem::create_directories(packages / "Community");
    const std::u8string packagesUtf8 = packages.u8string();
    const std::string packagesText(packagesUtf8.begin(), packagesUtf8.end());

    // The data folder holds the settings: saved there and read back.
    gf_initAppDataFolder();
    gf_setParameterAndSave(MSFS_INSTALL_PATH, packagesText);
    EXPECT_TRUE(std::filesystem::exists(user / "roaming" / "Vantrel" / "parameters.xml"));
    MSFS_INSTALL_PATH.setValue("");
    lf_loadParameters();
    EXPECT_EQ(MSFS_INSTALL_PATH.value(), packagesText);
    EXPECT_TRUE(std::filesystem::is_directory(gf_simPath("Community")));

    const auto storeCfg =
        user / "local/Packages/Microsoft.FlightSimulator_8wekyb3d8bbwe/LocalCache/UserCfg.opt";
    writeUserCfg(storeCfg, "InstalledPackagesPath \"" + packagesText + "\"\n");
    EXPECT_EQ(gf_detectSimInstall(), packages);
    const auto steam = user / "roaming" / "Microsoft Flight Simulator" / "Packages";
    std::filesystem::create_directories(steam / "Community");
    EXPECT_EQ(gf_detectSimInstall(), steam);
}

// Written by hand in the ANSI code page, the file holds the 'ë' as the single byte EB, which is no UTF-8.
TEST_F(InstallFolders, AUserCfgInTheAnsiCodePageNamesItsFolderToo) {
    const std::filesystem::path packages = folder.path() / std::u8string(u8"Sim\u00eb") / "Packages";
    std::filesystem::create_directories(packages / "Community");
    writeUserCfg(folder.path() / "roaming/Microsoft Flight Simulator/UserCfg.opt",
                 "InstalledPackagesPath \"" + folder.path().string() + "/Sim\xEB/Packages\"\r\n");
    EXPECT_EQ(gf_detectSimInstall(), packages);
}

CreateRequest planRequest() {
    CreateRequest request;
    request.tailNumber = "PH-BXB";
    request.origin = {"EHAM", 52.3086, 4.7639, -11};
    request.destination = {"LEMD", 40.4719, -3.5626, 1998};
    request.cruisingAltitudeFt = 37000;
    return request;
}

TEST(FlightPlans, AceXmlWithBothEndsInDegreesMinutesSeconds) {
    const std::string text = gf_flightPlanText(planRequest());
    EXPECT_TRUE(contains(text, "<SimBase.Document Type=\"AceXML\" version=\"1,0\">"));
    EXPECT_TRUE(contains(text, "<Title>EHAM to LEMD</Title>"));
    EXPECT_TRUE(contains(text, "<CruisingAlt>37000</CruisingAlt>"));
    EXPECT_TRUE(
        contains(text, "<DepartureLLA>N52\u00b0 18' 30.96\",E4\u00b0 45' 50.04\",-000011.00</DepartureLLA>"));
    EXPECT_TRUE(contains(
        text, "<DestinationLLA>N40\u00b0 28' 18.84\",W3\u00b0 33' 45.36\",+001998.00</DestinationLLA>"));
    EXPECT_TRUE(contains(text, "<ATCWaypoint id=\"LEMD\">"));
    EXPECT_TRUE(contains(text, "<ICAOIdent>EHAM</ICAOIdent>"));

    CreateRequest edge = planRequest();
    edge.origin = {"A&B", 10.999999999, -0.0000001, 0};
    const std::string edgeText = gf_flightPlanText(edge);
    EXPECT_TRUE(contains(edgeText, "N11\u00b0 0' 0.00\",W0\u00b0 0' 0.00\"")) << "seconds never read 60";
    EXPECT_TRUE(contains(edgeText, "<DepartureID>A&amp;B</DepartureID>"));
}

TEST(FlightPlans, WrittenAsObjectIdPlnIntoTheFolderOfTheAppData) {
    test::TempFolder folder;
    setenv("XDG_CONFIG_HOME", folder.path().c_str(), 1);
    gf_initAppDataFolder();
    gf_openLogFile(folder.path());
    flightPlanFolder.set({});
    EXPECT_TRUE(gf_writeFlightPlan(12, planRequest()).empty()) << "no folder yet";

    gf_createFlightPlanFolder();
    EXPECT_EQ(flightPlanFolder.get(), folder.path() / "Vantrel" / "orig_dest");
    EXPECT_TRUE(std::filesystem::is_directory(flightPlanFolder.get()));
    const auto file = gf_writeFlightPlan(1234, planRequest());
    EXPECT_EQ(file, flightPlanFolder.get() / "1234.pln");
    EXPECT_EQ(test::readFileText(file), gf_flightPlanText(planRequest()));

    CreateRequest oneEnd = planRequest();
    oneEnd.destination.code.clear();
    EXPECT_TRUE(gf_writeFlightPlan(1235, oneEnd).empty());
    EXPECT_FALSE(std::filesystem::exists(flightPlanFolder.get() / "1235.pln"));
    gf_closeLogFile();
    EXPECT_TRUE(
        contains(test::readFileText(folder.path() / "Log.txt"), "gf_writeFlightPlan: no flight-plan folder"));
    flightPlanFolder.set({});
}

} // namespace
} // namespace kvr
