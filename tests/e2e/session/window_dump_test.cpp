// The window dump of the real program (VANTREL_WINDOW_JSON) in three states: just started and waiting for
// the simulator, connected with live traffic, and stopped by error 150. The expected controls are the
// main window's control table; the same checks hold for the Windows build under Wine.
#include "program_world.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace kvr::test {
namespace {

using nlohmann::json;

// Control ids in creation order.
const std::vector<int> controlIds = {32789, 32788, 32798, 32799, 32790, 32800, 32771, 32802, 32804, 32776,
                                     32808, 32809, 32810, 32811, 32773, 32818, 32819, 32820, 32821, 32858,
                                     32834, 32833, 32835, 32861, 32859, 32828, 32829, 32830, 32831, 32832,
                                     32862, 32860, 32847, 32848, 32849, 32839, 32840, 32841, 32855, 32851,
                                     32853, 32852, 32850, 32854, 32856, 32838, 32857};

constexpr const char* green = "#32cd32";
constexpr const char* yellow = "#ffff00";

class WindowDump : public ::testing::Test {
protected:
    json dump() const { return json::parse(readFileText(dumpFile), nullptr, false); }
    bool waitForDump(const std::function<bool(const json&)>& ready, std::chrono::seconds limit) const {
        return waitUntil(
            [&] {
                const json d = dump();
                return d.is_object() && ready(d);
            },
            limit);
    }
    std::unique_ptr<ChildProcess> start(std::vector<std::string> environment = {}) {
        environment.push_back("VANTREL_WINDOW_JSON=" + dumpFile.string());
        auto vantrel = world.startProgram(environment);
        EXPECT_TRUE(vantrel->started());
        return vantrel;
    }

    ProgramWorld world;
    std::filesystem::path dumpFile = world.root / "window.json";
};

const json& control(const json& d, int id) {
    static const json none;
    for (const json& c : d["controls"])
        if (c["id"] == id)
            return c;
    return none;
}

bool painted(const json& d, int x, int y, const std::string& prefix, const std::string& colour) {
    for (const json& t : d["texts"])
        if (t["x"] == x && t["y"] == y && t["text"].get<std::string>().starts_with(prefix) &&
            t["colour"] == colour)
            return true;
    return false;
}

std::string selectedText(const json& combo) {
    const int selection = combo["selection"];
    return selection < 0 ? "" : combo["items"][static_cast<std::size_t>(selection)].get<std::string>();
}

TEST_F(WindowDump, JustStartedTheWindowHoldsTheControlTableAndWaitsForTheSimulator) {
    world.installDemoPackages(); // liveries to scan: the program then waits for the simulator
    world.writeParameters({{"SCAN_AIRPORTS", "false"}});
    const auto vantrel = start();
    // The run thread has read the settings and filled the lists.
    // The livery scan has counted its liveries: the start-up reading is over and the lists are filled.
    ASSERT_TRUE(waitForDump([](const json& d) { return painted(d, 5, 91, "# liveries: 1", green); }, 60s))
        << world.log();
    const json d = dump();
    EXPECT_EQ(d["window"]["class"], "Vantrel");
    EXPECT_EQ(d["window"]["text"], "Vantrel");
    EXPECT_EQ(d["window"]["rect"], json({400, 20, 1280, 536}));
    std::vector<int> ids;
    for (const json& c : d["controls"])
        ids.push_back(c["id"]);
    EXPECT_EQ(ids, controlIds);

    const json& simChoice = control(d, 32789);
    EXPECT_EQ(simChoice["class"], "ComboBox");
    EXPECT_EQ(simChoice["rect"][0], 5);
    EXPECT_EQ(simChoice["rect"][1], 114);
    EXPECT_EQ(simChoice["rect"][2], 110);
    EXPECT_EQ(simChoice["items"], json({"MSFS 2020", "MSFS 2024"}));
    EXPECT_EQ(selectedText(simChoice), "MSFS 2020");
    EXPECT_EQ(std::stoul(simChoice["style"].get<std::string>(), nullptr, 16) & 0xF, 3u) << "drop-down list";
    const json& installPath = control(d, 32788);
    EXPECT_EQ(installPath["class"], "Edit");
    EXPECT_EQ(installPath["rect"], json({111, 119, 1311, 135}));
    EXPECT_EQ(installPath["text"], world.packages.string());
    const json& scanLiveries = control(d, 32798);
    EXPECT_EQ(scanLiveries["rect"], json({5, 149, 17, 161}));
    EXPECT_EQ(std::stoul(scanLiveries["style"].get<std::string>(), nullptr, 16) & 0xF, 2u) << "BS_CHECKBOX";
    EXPECT_EQ(control(d, 32802)["check"], 0) << "SCAN_AIRPORTS off in parameters.xml";
    const json& reRead = control(d, 32838);
    EXPECT_EQ(reRead["rect"], json({758, 341, 848, 361}));
    EXPECT_EQ(reRead["text"], "Re-read");
    EXPECT_EQ(control(d, 32830)["enabled"], false) << "cs->oid: waits for a session";
    EXPECT_EQ(control(d, 32839)["enabled"], false) << "Destination";
    EXPECT_EQ(control(d, 32828)["enabled"], true) << "Block callsign";
    EXPECT_EQ(selectedText(control(d, 32850)), "30");
    EXPECT_TRUE(painted(d, 3, 7, "Version 12.0.0", green));
    EXPECT_TRUE(painted(d, 390, 7, "Vantrel", green));
    EXPECT_EQ(world.log().find("Error "), std::string::npos) << "no error: " << world.log();

    std::filesystem::remove(dumpFile);
    vantrel->signal(SIGTERM);
    EXPECT_EQ(vantrel->exitCodeWithin(30s), 0);
    EXPECT_TRUE(dump().is_object()) << "written once more at the end";
}

TEST_F(WindowDump, ConnectedWithTrafficTheLiveCountIsPaintedAndTheCallsignButtonEnabled) {
    world.installDemoPackages();
    world.writeParameters({{"SCAN_AIRPORTS", "false"}});
    StandIn service(world.root.path(),
                    {"--scenario", std::string(VANTREL_SOURCE_DIR) + "/scenarios/traffic/eham.json",
                     "--downloads", world.downloadsFolder().string()});
    ASSERT_TRUE(service.ready()) << service.output();
    const auto vantrel =
        start({"VANTREL_SIM=" + std::string(VANTREL_SOURCE_DIR) + "/scenarios/sim/eham_stand_taxi.json",
               "VANTREL_SERVICE_URL=" + service.url(), "VANTREL_DOWNLOAD_URL=" + service.url()});
    // The count of live aircraft is painted once the traffic arrives; the session loop has enabled
    // "cs->oid:".
    ASSERT_TRUE(waitForDump(
        [](const json& d) {
            return painted(d, 642, 91, "live: ", green) && control(d, 32830)["enabled"] == true;
        },
        120s))
        << world.log() << readFileText(dumpFile);
    EXPECT_EQ(control(dump(), 32788)["text"], world.packages.string());
    vantrel->signal(SIGTERM);
    EXPECT_EQ(vantrel->exitCodeWithin(60s), 0);
}

TEST_F(WindowDump, Error150LeavesTheInstallPathBoxOpenForTheUser) {
    world.writeParameters({{"SCAN_AIRPORTS", "false"}});
    const auto vantrel = start();
    const std::string error =
        "150: No install path detected. Type the full path to your Community folder above, then press Enter";
    ASSERT_TRUE(waitForDump([&](const json& d) { return painted(d, 3, 455, error, yellow); }, 60s))
        << world.log();
    const json d = dump();
    EXPECT_EQ(control(d, 32788)["enabled"], true);
    EXPECT_EQ(control(d, 32788)["text"], "");
    vantrel->signal(SIGTERM);
    EXPECT_EQ(vantrel->exitCodeWithin(30s), 0);
}

// Unzipped under Program Files, the program may write nothing in its folder, Log.txt included: the window is
// the only place left to say so. The program runs without the right to override file permissions, as a user
// without administrator rights does (root would write anyway).
TEST_F(WindowDump, AProgramFolderThatCannotBeWrittenIsNamedInTheErrorLine) {
    world.writeParameters({{"SCAN_AIRPORTS", "false"}});
    using std::filesystem::perms;
    std::filesystem::permissions(world.program, perms::owner_write | perms::group_write | perms::others_write,
                                 std::filesystem::perm_options::remove);
    ChildProcess vantrel("/usr/bin/setpriv",
                         {"--bounding-set=-dac_override,-dac_read_search", "--", VANTREL_EXECUTABLE},
                         world.environment({"VANTREL_WINDOW_JSON=" + dumpFile.string()}), world.program,
                         world.root / "vantrel-output.txt");
    // The scratch folder's long name may lose its middle to the ellipsis that fits the line to the window.
    const std::string start = "42: Vantrel cannot write in " + world.program.string().substr(0, 12);
    const std::string end = "Log.txt: move the Vantrel folder into a folder of your own";
    const auto errorShown = [&](const json& d) {
        for (const json& t : d["texts"])
            if (t["x"] == 3 && t["y"] == 455 && t["colour"] == yellow &&
                t["text"].get<std::string>().ends_with(end))
                return painted(d, 3, 455, start, yellow);
        return false;
    };
    EXPECT_TRUE(waitForDump(errorShown, 60s))
        << readFileText(dumpFile) << readFileText(world.root / "vantrel-output.txt");
    EXPECT_FALSE(std::filesystem::exists(world.program / "Log.txt"));
    vantrel.signal(SIGTERM);
    EXPECT_EQ(vantrel.exitCodeWithin(30s), 0);
    std::filesystem::permissions(world.program, perms::owner_write, std::filesystem::perm_options::add);
}

} // namespace
} // namespace kvr::test
