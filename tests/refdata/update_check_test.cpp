#include "refdata/update_check.h"

#include "core/exit_request.h"
#include "core/message_line.h"
#include "core/program_version.h"
#include "core/shared_state.h"
#include "refdata/version_data.h"
#include "refdata_fixtures.h"
#include "settings/parameter_table.h"
#include "settings/parameters_file.h"
#include "support/standin_process.h"

#include <pugixml.hpp>

#include <cstdlib>

namespace kvr {
namespace {

using test::readFileText;
using test::writeFileText;
using test::writeZip;
namespace fs = std::filesystem;

// Versions relative to the running program's: $RUN itself, $OLD older, $NEXT, $MINOR and $MAJOR newer.
std::string withVersions(std::string text) {
    const VersionData run(programVersion);
    const std::pair<std::string, VersionData> names[] = {
        {"$RUN", run},
        {"$OLD", VersionData(run.major - 1, 99, 99)},
        {"$NEXT", VersionData(run.major, run.minor, run.patch + 1)},
        {"$MINOR", VersionData(run.major, run.minor + 1, 0)},
        {"$MAJOR", VersionData(run.major + 1, 0, 0)},
    };
    for (const auto& [name, version] : names)
        for (auto pos = text.find(name); pos != std::string::npos; pos = text.find(name))
            text.replace(pos, name.size(), gf_versionText(version));
    return text;
}

constexpr const char* upToDate = R"({"program": {"version": "$RUN", "file": "program/Vantrel-$RUN.zip"},
    "addons": {"version": "3.1.0"}})";

// The whole update check against the stand-in over loopback, in a working folder of its own.
class UpdateCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", (work / "config").c_str(), 1);
        gf_initAppDataFolder();
        for (Parameter* p : gf_allParameters())
            p->resetToDefault();
        ADDONS_SCAN_VERSION.setValue("3.1.0");
        SCAN_AIRPORTS.setValue(false);
        gf_resetStopState();
        gf_clearMessageAndError();
        msfs2020Selected.store(true);
        fs::create_directories(downloads / "program");
        fs::create_directories(downloads / "MSFS2024" / "simaddon");
        fs::create_directories(work / "airports" / "my_simaddon");
        serveVersions(upToDate);
    }
    void TearDown() override {
        unsetenv("VANTREL_DOWNLOAD_URL");
        gf_resetStopState();
        for (Parameter* p : gf_allParameters())
            p->resetToDefault();
    }

    void serveVersions(const std::string& json) {
        writeFileText(downloads / "versions.json", withVersions(json));
    }
    bool check() {
        if (!standin) {
            standin = std::make_unique<test::StandinProcess>(
                std::vector<std::string>{"--downloads", downloads.string()});
            EXPECT_TRUE(standin->running());
            setenv("VANTREL_DOWNLOAD_URL", standin->url().c_str(), 1);
        }
        return gf_checkForUpdates();
    }
    std::string savedValue(const std::string& name) {
        pugi::xml_document doc;
        doc.load_file(parametersFilePath.c_str());
        for (auto p : doc.child("root").child("parameters").children("parameter"))
            if (name == p.attribute("name").value())
                return p.attribute("value").value();
        return "<absent>";
    }
    void expectNoExit() {
        EXPECT_FALSE(stopRequested.load());
        EXPECT_EQ(exitReason.load(), ExitReason::notYetSet);
    }

    test::WorkingFolder work;
    test::TempFolder serverRoot;
    fs::path downloads = serverRoot.path() / "downloads";
    std::unique_ptr<test::StandinProcess> standin;
};

TEST_F(UpdateCheckTest, UpToDateChangesNothing) {
    EXPECT_TRUE(check());
    expectNoExit();
    EXPECT_FALSE(SCAN_AIRPORTS.value());
    EXPECT_FALSE(fs::exists(work / "updates"));
    EXPECT_FALSE(fs::exists(work / "input" / "versions.json"))
        << "the downloaded list is removed after reading";
    EXPECT_NE(work.log().find(withVersions("Update check: version $RUN on the server, $RUN running")),
              std::string::npos);

    serveVersions(
        R"({"program": {"version": "$OLD", "file": "program/old.zip"}, "addons": {"version": "3.0.9"}})");
    EXPECT_TRUE(check());
    expectNoExit();
    EXPECT_FALSE(SCAN_AIRPORTS.value()) << "an older add-on version does not fire";
}

TEST_F(UpdateCheckTest, NewProgramIsDownloadedUnpackedAndEndsTheProgram) {
    serveVersions(R"({"program": {"version": "$NEXT", "file": "program/Vantrel-$NEXT.zip"},
                      "addons": {"version": "9.0.0"}})");
    writeZip(downloads / "program" / withVersions("Vantrel-$NEXT.zip"),
             {{"Setup.exe", "installer"}, {"docs/Notes.txt", "new"}});
    EXPECT_FALSE(check());
    EXPECT_TRUE(stopRequested.load());
    EXPECT_EQ(exitReason.load(), ExitReason::newVersion);
    EXPECT_EQ(restartDelaySeconds.load(), 0);
    const fs::path unpacked = work / "updates" / withVersions("Vantrel-$NEXT");
    EXPECT_EQ(readFileText(unpacked / "Setup.exe"), "installer");
    EXPECT_EQ(readFileText(unpacked / "docs" / "Notes.txt"), "new");
    EXPECT_FALSE(fs::exists(work / "updates" / withVersions("Vantrel-$NEXT.zip")));
    const std::string message = gf_messageLineSnapshot().messageText;
    EXPECT_EQ(message, withVersions("Vantrel $NEXT has been downloaded to ") + unpacked.string() +
                           "; close Vantrel and install it from there");
    EXPECT_NE(work.log().find(message), std::string::npos);
    EXPECT_FALSE(SCAN_AIRPORTS.value()) << "the check stops at the new version";
}

TEST_F(UpdateCheckTest, NewProgramThatIsNoZipIsKeptAsItIs) {
    serveVersions(R"({"program": {"version": "$MAJOR", "file": "program/Vantrel-setup.exe"}})");
    writeFileText(downloads / "program" / "Vantrel-setup.exe", "installer bytes");
    EXPECT_FALSE(check());
    EXPECT_EQ(readFileText(work / "updates" / "Vantrel-setup.exe"), "installer bytes");
    EXPECT_NE(gf_messageLineSnapshot().messageText.find("Vantrel-setup.exe"), std::string::npos);
}

TEST_F(UpdateCheckTest, NewProgramThatCannotBeFetchedLetsTheProgramGoOn) {
    serveVersions(
        R"({"program": {"version": "$MINOR", "file": "program/missing.zip"}, "addons": {"version": "4.0.0"}})");
    EXPECT_TRUE(check());
    expectNoExit();
    EXPECT_TRUE(SCAN_AIRPORTS.value()) << "the rest of the check still runs";
    EXPECT_NE(work.log().find(
                  withVersions("Update check: version $MINOR could not be downloaded, going on with $RUN")),
              std::string::npos);

    serveVersions(R"({"program": {"version": "$MINOR", "file": "program/evil.zip"}})");
    writeZip(downloads / "program" / "evil.zip", {{"../../outside.txt", "x"}});
    EXPECT_TRUE(check());
    expectNoExit();
    EXPECT_FALSE(fs::exists(work / "updates" / withVersions("Vantrel-$MINOR")));
    EXPECT_FALSE(fs::exists(work / "outside.txt"));
    EXPECT_FALSE(fs::exists(work.path().parent_path() / "outside.txt"));
}

TEST_F(UpdateCheckTest, NewAddonVersionSwitchesTheAirportScanOnOnce) {
    serveVersions(R"({"program": {"version": "$RUN", "file": "p.zip"}, "addons": {"version": "3.2.0"}})");
    EXPECT_TRUE(check());
    EXPECT_TRUE(SCAN_AIRPORTS.value());
    EXPECT_EQ(savedValue("SCAN_AIRPORTS"), "true");
    EXPECT_EQ(ADDONS_SCAN_VERSION.value(), "3.2.0");
    EXPECT_EQ(savedValue("ADDONS_SCAN_VERSION"), "3.2.0");

    SCAN_AIRPORTS.setValue(false); // the scan ran and switched itself off
    EXPECT_TRUE(check());
    EXPECT_FALSE(SCAN_AIRPORTS.value()) << "the same version fires only once";

    ADDONS_SCAN_VERSION.setValue("");
    EXPECT_TRUE(check());
    EXPECT_TRUE(SCAN_AIRPORTS.value()) << "nothing recorded yet counts as older";
    expectNoExit();
}

TEST_F(UpdateCheckTest, SimulatorAddonPackageKeepsMySimaddonFilledUnderMsfs2024) {
    serveVersions(R"({"program": {"version": "$RUN", "file": "p.zip"},
                      "mysimaddon24": {"version": "1.0.0", "file": "MSFS2024/simaddon/my_simaddon24.zip"}})");
    writeZip(downloads / "MSFS2024" / "simaddon" / "my_simaddon24.zip",
             {{"EHAM.xml", "<eham/>"}, {"LOWW.txt", "archive/simaddon/LOWW.xml\n"}});
    const fs::path folder = work / "airports" / "my_simaddon";
    writeFileText(folder / "KJFK.txt", "written by the airport scan");

    EXPECT_TRUE(check());
    EXPECT_FALSE(fs::exists(folder / "EHAM.xml")) << "MSFS 2020 leaves the folder to the airport scan";

    msfs2020Selected.store(false);
    EXPECT_TRUE(check());
    EXPECT_EQ(readFileText(folder / "EHAM.xml"), "<eham/>");
    EXPECT_EQ(readFileText(folder / "LOWW.txt"), "archive/simaddon/LOWW.xml\n");
    EXPECT_EQ(readFileText(folder / "KJFK.txt"), "written by the airport scan");
    EXPECT_EQ(MYSIMADDON24_VERSION.value(), "1.0.0");
    EXPECT_EQ(savedValue("MYSIMADDON24_VERSION"), "1.0.0");
    EXPECT_FALSE(fs::exists(work / "airports" / "my_simaddon24.zip"));
    EXPECT_FALSE(fs::exists(work / "airports" / "my_simaddon.new"));

    writeZip(downloads / "MSFS2024" / "simaddon" / "my_simaddon24.zip", {{"EHAM.xml", "<changed/>"}});
    EXPECT_TRUE(check());
    EXPECT_EQ(readFileText(folder / "EHAM.xml"), "<eham/>")
        << "same version, folder filled: not fetched again";

    for (const auto& entry : fs::directory_iterator(folder))
        fs::remove(entry.path());
    EXPECT_TRUE(check());
    EXPECT_EQ(readFileText(folder / "EHAM.xml"), "<changed/>") << "an emptied folder is filled again";

    MYSIMADDON24_VERSION.setValue(""); // as a switch to MSFS 2024 leaves it
    writeZip(downloads / "MSFS2024" / "simaddon" / "my_simaddon24.zip", {{"EHAM.xml", "<again/>"}});
    EXPECT_TRUE(check());
    EXPECT_EQ(readFileText(folder / "EHAM.xml"), "<again/>");
    expectNoExit();
}

TEST_F(UpdateCheckTest, SimulatorAddonPackageWithDotDotEntryIsRefused) {
    msfs2020Selected.store(false);
    serveVersions(R"({"program": {"version": "$RUN", "file": "p.zip"},
                      "mysimaddon24": {"version": "2.0.0", "file": "MSFS2024/simaddon/my_simaddon24.zip"}})");
    writeZip(downloads / "MSFS2024" / "simaddon" / "my_simaddon24.zip",
             {{"EHAM.xml", "<eham/>"}, {"../../escaped.txt", "x"}});
    const fs::path folder = work / "airports" / "my_simaddon";
    writeFileText(folder / "EDDF.xml", "<kept/>");

    EXPECT_TRUE(check());
    expectNoExit();
    EXPECT_EQ(readFileText(folder / "EDDF.xml"), "<kept/>");
    EXPECT_FALSE(fs::exists(folder / "EHAM.xml"));
    EXPECT_FALSE(fs::exists(work / "escaped.txt"));
    EXPECT_FALSE(fs::exists(work / "airports" / "escaped.txt"));
    EXPECT_FALSE(fs::exists(work / "airports" / "my_simaddon.new"));
    EXPECT_FALSE(fs::exists(work / "airports" / "my_simaddon24.zip"));
    EXPECT_EQ(MYSIMADDON24_VERSION.value(), "") << "not recorded, so the next start tries again";
    EXPECT_NE(work.log().find("refused: entry '../../escaped.txt'"), std::string::npos) << work.log();
}

TEST_F(UpdateCheckTest, UnreachableServerGoesOnOffline) {
    setenv("VANTREL_DOWNLOAD_URL", ("http://127.0.0.1:" + std::to_string(test::freeLoopbackPort())).c_str(),
           1);
    EXPECT_TRUE(gf_checkForUpdates());
    expectNoExit();
    const std::string log = work.log();
    EXPECT_NE(log.find("==> gf_downloadFile: "), std::string::npos) << log;
    EXPECT_NE(log.find("cannot be reached, going on offline"), std::string::npos) << log;

    fs::remove(downloads / "versions.json"); // a server without the list
    EXPECT_TRUE(check());
    expectNoExit();
    EXPECT_NE(work.log().find("HTTP status 404"), std::string::npos);
}

TEST_F(UpdateCheckTest, MalformedVersionsFileIsLoggedAndChangesNothing) {
    const char* malformed[] = {
        "{ this is not json",
        "[1, 2, 3]",
        R"({"addons": {"version": "9.0.0"}})",
        R"({"program": {"version": "twelve", "file": "p.zip"}, "addons": {"version": "9.0.0"}})",
        R"({"program": {"version": "$MAJOR", "file": "../../etc/passwd"}, "addons": {"version": "9.0.0"}})",
        R"({"program": {"version": "$MAJOR", "file": "p.zip"}, "addons": {"version": 9}})",
    };
    for (const char* json : malformed) {
        SCOPED_TRACE(json);
        serveVersions(json);
        EXPECT_TRUE(check());
        expectNoExit();
        EXPECT_FALSE(SCAN_AIRPORTS.value());
        EXPECT_EQ(ADDONS_SCAN_VERSION.value(), "3.1.0");
    }
    EXPECT_EQ(test::countOccurrences(work.log(), "versions.json is malformed"), std::size(malformed));
    EXPECT_FALSE(fs::exists(work / "updates"));
}

} // namespace
} // namespace kvr
