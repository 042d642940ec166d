// The Windows build under Wine, tried as a person would: its real window held against the stand-in's in the
// same states, input through the real controls with xdotool, a second instance, and the close box.
#include "wine_world.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>

namespace kvr::test {
namespace {

using nlohmann::json;

const std::string sourceDir = VANTREL_SOURCE_DIR;

// What must differ between the two dumps, with the reason (docs/windows-under-wine.md):
// - the window's outer rectangle and the client area's place on the screen: the frame and caption metrics of
//   the system (the stand-in draws a 40-pixel caption without side borders); the client area's size is the
//   same on both;
// - the install path's text: a Windows path against a Linux path to the same folder;
// - painted texts that show a clock time or a count that moves on between the two runs, and where a text
//   shortened to its room is cut (each system measures it in its own font).
std::vector<std::string> differences(const json& wine, const json& standIn,
                                     const std::string& wineInstallPath,
                                     const std::string& standInInstallPath) {
    std::vector<std::string> found;
    for (const char* field : {"class", "text", "style", "exStyle"})
        if (wine["window"][field] != standIn["window"][field])
            found.push_back(std::string("window ") + field + ": " + wine["window"][field].dump() +
                            " against " + standIn["window"][field].dump());
    if (wine["window"]["client"] != standIn["window"]["client"])
        found.push_back("window client area: " + wine["window"]["client"].dump() + " against " +
                        standIn["window"]["client"].dump());
    const json& wineControls = wine["controls"];
    const json& standInControls = standIn["controls"];
    if (wineControls.size() != standInControls.size())
        found.push_back("controls: " + std::to_string(wineControls.size()) + " against " +
                        std::to_string(standInControls.size()));
    for (std::size_t i = 0; i < std::min(wineControls.size(), standInControls.size()); ++i) {
        json w = wineControls[i];
        json l = standInControls[i];
        if (w["id"] == 32788 && w["text"] == wineInstallPath && l["text"] == standInInstallPath)
            w["text"] = l["text"];
        // Widths of texts in the controls' fonts: each system measures in its own.
        for (const char* measured : {"textWidth", "itemWidths", "itemRoom"})
            w.erase(measured);
        for (const auto& [key, value] : w.items())
            if (l[key] != value)
                found.push_back("control " + w["id"].dump() + " " + key + ": " + value.dump() + " against " +
                                l[key].dump());
    }
    // Digits stand for a clock or a count that moves on between the two runs.
    auto withoutNumbers = [](const std::string& text) {
        std::string out;
        for (char c : text)
            if (!std::isdigit(static_cast<unsigned char>(c)))
                out += c;
            else if (out.empty() || out.back() != '#')
                out += '#';
        return out;
    };
    // A text shortened to its room is measured in each system's font: where it is cut may differ.
    auto shortened = [](const std::string& text) { return text.find("\u2026") != std::string::npos; };
    auto texts = [&](const json& dump) {
        std::multiset<std::string> out;
        for (const json& t : dump["texts"]) {
            const std::string text = t["text"];
            out.insert(t["x"].dump() + "," + t["y"].dump() + " " + t["colour"].get<std::string>() + " " +
                       (shortened(text) ? std::string("(shortened to fit)") : withoutNumbers(text)));
        }
        return out;
    };
    const auto wineTexts = texts(wine);
    const auto standInTexts = texts(standIn);
    for (const std::string& t : wineTexts)
        if (!standInTexts.count(t))
            found.push_back("painted only under Wine: " + t);
    for (const std::string& t : standInTexts)
        if (!wineTexts.count(t))
            found.push_back("painted only on the stand-in: " + t);
    return found;
}

// A painted label ends before the next control on its row: a control that begins inside the label's extent
// covers the label's end ("Light aircra" for "Light aircraft" in a font too wide for the layout).
std::vector<std::string> labelsUnderControls(const json& dump) {
    std::vector<std::string> found;
    for (const json& t : dump["texts"]) {
        const int left = t["x"];
        const int top = t["y"];
        const int right = left + t["extent"][0].get<int>();
        const int bottom = top + t["extent"][1].get<int>();
        for (const json& c : dump["controls"]) {
            if (c.contains("parentId"))
                continue;
            const json& r = c["rect"];
            if (r[0] > left && r[0] < right && r[1] < bottom && r[3] > top)
                found.push_back("label '" + t["text"].get<std::string>() + "' at " + std::to_string(left) +
                                "," + std::to_string(top) + " is " + t["extent"][0].dump() +
                                " wide and runs under control " + c["id"].dump() + " at " + r[0].dump());
        }
    }
    return found;
}

// Every entry of a list fits the closed box, and every button's caption its button, in the control's font.
std::vector<std::string> textsCutInControls(const json& dump) {
    std::vector<std::string> found;
    for (const json& c : dump["controls"]) {
        if (c.contains("itemRoom"))
            for (std::size_t i = 0; i < c["items"].size(); ++i)
                if (c["itemWidths"][i].get<int>() > c["itemRoom"].get<int>())
                    found.push_back("entry '" + c["items"][i].get<std::string>() + "' of list " +
                                    c["id"].dump() + " is " + c["itemWidths"][i].dump() +
                                    " wide in a room of " + c["itemRoom"].dump());
        // A button's frame and the room around its caption take 3 pixels on each side.
        const int buttonRoom = c["rect"][2].get<int>() - c["rect"][0].get<int>() - 6;
        if (c.contains("textWidth") && c["textWidth"].get<int>() > buttonRoom)
            found.push_back("caption '" + c["text"].get<std::string>() + "' of button " + c["id"].dump() +
                            " is " + c["textWidth"].dump() + " wide in a room of " +
                            std::to_string(buttonRoom));
    }
    return found;
}

std::string listed(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines)
        out += "\n  " + line;
    return out;
}

class Wine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WineWorld::ready()) << "run under scripts/with-wine-display (DISPLAY and WINEPREFIX)";
    }

    std::unique_ptr<StandIn> startService(const std::filesystem::path& folder,
                                          const std::filesystem::path& downloads) {
        auto service = std::make_unique<StandIn>(
            folder, std::vector<std::string>{"--scenario", sourceDir + "/scenarios/traffic/eham.json",
                                             "--downloads", downloads.string()});
        EXPECT_TRUE(service->ready()) << service->output();
        return service;
    }

    // The Linux program on the stand-in in a world like the Wine one, writing its dump beside it.
    std::unique_ptr<ChildProcess> startStandIn(const std::vector<std::string>& extra = {}) {
        std::vector<std::string> env = extra;
        env.push_back("VANTREL_WINDOW_JSON=" + standInDump.string());
        return standIn.startProgram(env);
    }

    // Both programs in the same state: their dumps once ready says so for both, and what differs.
    std::vector<std::string> compareWhen(const std::function<bool(const json&)>& ready,
                                         std::chrono::seconds limit) {
        const bool wineReady = wine.waitForDump(ready, limit);
        const bool standInReady = waitUntil(
            [&] {
                const json d = readDump(standInDump);
                return d.is_object() && ready(d);
            },
            limit);
        EXPECT_TRUE(wineReady) << wine.log() << readFileText(wine.dumpFile);
        EXPECT_TRUE(standInReady) << standIn.log() << readFileText(standInDump);
        // A second for owed dumps: both then show the state they settled in.
        std::this_thread::sleep_for(2s);
        // Both dumps stay beside the screenshot, to be read side by side.
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        const std::filesystem::path kept = VANTREL_WINE_OUTPUT;
        std::filesystem::create_directories(kept);
        writeFileText(kept / (name + "-wine.json"), readFileText(wine.dumpFile));
        writeFileText(kept / (name + "-standin.json"), readFileText(standInDump));
        const json wineDump = wine.dump();
        EXPECT_EQ(wineDump["controls"].size(), 47u);
        EXPECT_GT(wineDump["texts"].size(), 40u) << "the labels of the controls are painted";
        std::vector<std::string> found = differences(wineDump, readDump(standInDump),
                                                     windowsPath(wine.packages), standIn.packages.string());
        for (std::string& label : labelsUnderControls(wineDump))
            found.push_back(std::move(label));
        for (std::string& cut : textsCutInControls(wineDump))
            found.push_back(std::move(cut));
        return found;
    }

    WineWorld wine;
    ProgramWorld standIn;
    std::filesystem::path standInDump = standIn.root / "window.json";
};

TEST_F(Wine, JustStartedTheRealWindowAgreesWithTheStandInAndIsCaptured) {
    wine.installDemoPackages();
    wine.writeParameters({{"SCAN_AIRPORTS", "false"}});
    standIn.installDemoPackages();
    standIn.writeParameters({{"SCAN_AIRPORTS", "false"}});
    wine.start();
    const auto standInProgram = startStandIn();
    const auto found = compareWhen([](const json& d) { return dumpPainted(d, 5, 91, "# liveries: 1"); }, 90s);
    EXPECT_TRUE(found.empty()) << listed(found);

    const std::filesystem::path shot = std::filesystem::path(VANTREL_WINE_OUTPUT) / "wine-window.png";
    std::filesystem::create_directories(shot.parent_path());
    ASSERT_TRUE(wine.screenshot(shot));
    const std::string size = commandOutput("identify -format '%w %h' '" + shot.string() + "'");
    int width = 0, height = 0;
    std::sscanf(size.c_str(), "%d %d", &width, &height);
    EXPECT_GE(width, 880) << "the window with its frame";
    EXPECT_GE(height, 491);
}

// The user's program folder as the zip gives it: no SimConnect.dll, which comes from the simulator's SDK, and
// a vantrel.exe that does not import it. So the program starts without it, names it in the window and in
// Log.txt, and waits for it: a DLL copied beside it meanwhile is taken.
TEST_F(Wine, WithoutSimConnectDllTheProgramNamesItAndWaitsForIt) {
    const std::filesystem::path dist = VANTREL_WINDOWS_DIST;
    EXPECT_FALSE(std::filesystem::exists(dist / "SimConnect.dll"));
    const std::string zip = commandOutput("unzip -l '" + (dist.parent_path() / "Vantrel.zip").string() + "'");
    EXPECT_NE(zip.find("Vantrel/vantrel.exe"), std::string::npos) << zip;
    EXPECT_EQ(zip.find("SimConnect.dll"), std::string::npos) << zip;
    const std::string imports =
        commandOutput(std::string(VANTREL_MINGW_OBJDUMP) + " -p '" + (dist / "vantrel.exe").string() + "'");
    EXPECT_NE(imports.find("DLL Name: KERNEL32.dll"), std::string::npos) << imports;
    EXPECT_EQ(imports.find("SimConnect"), std::string::npos);

    wine.installDemoPackages();
    wine.writeParameters({{"SCAN_AIRPORTS", "false"}});
    std::filesystem::remove(wine.simulatorDll);
    wine.start({"VANTREL_SIM=" + sourceDir + "/scenarios/sim/eham_stand_taxi.json"});
    const std::string error = "SimConnect.dll not found: copy SimConnect SDK\\lib\\SimConnect.dll of the "
                              "simulator's SDK beside vantrel.exe";
    EXPECT_TRUE(wine.waitForDump([&](const json& d) { return dumpPainted(d, 3, 455, error); }, 90s))
        << wine.log() << readFileText(wine.dumpFile);
    EXPECT_TRUE(wine.waitForLog("Error " + error + "\n", 10s)) << wine.log();

    std::filesystem::copy_file(VANTREL_WINDOWS_SIMULATOR_DLL, wine.simulatorDll);
    EXPECT_TRUE(wine.waitForLog("SimConnect: connected to", 30s)) << wine.log();
    EXPECT_TRUE(
        wine.waitForDump([](const json& d) { return !dumpPainted(d, 3, 455, "SimConnect.dll"); }, 10s));
    ASSERT_TRUE(wine.clickCloseBox());
    EXPECT_EQ(wine.process().exitCodeWithin(60s), 0);
}

// SimConnect.dll beside the program that Windows cannot load, one after the other while the program waits:
// the error line names the cause beside the advice, and the DLL that loads at last is taken.
TEST_F(Wine, ASimConnectDllThatCannotBeLoadedIsNamedWithItsCause) {
    const std::filesystem::path dlls = wine.root / "dlls";
    std::filesystem::create_directories(dlls);
    // A DLL built for 32-bit Windows: the machine field of its header (4 bytes after "PE\0\0") says i386.
    std::string bytes = readFileText(VANTREL_WINDOWS_SIMULATOR_DLL);
    const auto header = static_cast<std::size_t>(static_cast<unsigned char>(bytes[0x3C])) |
                        static_cast<std::size_t>(static_cast<unsigned char>(bytes[0x3D])) << 8;
    ASSERT_EQ(bytes.substr(header, 4), std::string("PE\0\0", 4));
    bytes[header + 4] = '\x4C';
    bytes[header + 5] = '\x01';
    writeFileText(dlls / "32bit.dll", bytes);
    // A DLL that imports from one that is nowhere, as the SDK's does from its runtime when that is missing.
    writeFileText(dlls / "runtime.def", "LIBRARY VantrelMissingRuntime.dll\nEXPORTS\nruntimeCall\n");
    writeFileText(dlls / "needs.c",
                  "void runtimeCall(void);\n__declspec(dllexport) void call(void) { runtimeCall(); }\n");
    // A DLL whose start-up fails: Windows' own text names that.
    writeFileText(dlls / "fails.c",
                  "#include <windows.h>\nBOOL WINAPI DllMain(HINSTANCE i, DWORD r, LPVOID p) {\n"
                  "    (void)i; (void)p; return r != DLL_PROCESS_ATTACH;\n}\n");
    const std::string in = "cd '" + dlls.string() + "' && ";
    ASSERT_TRUE(runCommand(in + VANTREL_MINGW_DLLTOOL + " -d runtime.def -l libruntime.a"));
    ASSERT_TRUE(runCommand(in + VANTREL_MINGW_GCC + " -shared -o needs.dll needs.c libruntime.a"));
    ASSERT_TRUE(runCommand(in + VANTREL_MINGW_GCC + " -shared -o fails.dll fails.c"));

    wine.installDemoPackages();
    wine.writeParameters({{"SCAN_AIRPORTS", "false"}});
    std::filesystem::copy_file(dlls / "32bit.dll", wine.simulatorDll,
                               std::filesystem::copy_options::overwrite_existing);
    wine.start({"VANTREL_SIM=" + sourceDir + "/scenarios/sim/eham_stand_taxi.json"});
    const std::string advice =
        "): copy SimConnect SDK\\lib\\SimConnect.dll of the simulator's SDK beside vantrel.exe";
    // The line is cut in its middle where it is too long; Log.txt has it whole.
    auto shownAndLogged = [&](const std::string& cause, const std::string& rest) {
        const std::string error = "SimConnect.dll cannot be loaded (" + cause;
        const std::string start = error.substr(0, 48); // what the line keeps before its cut
        EXPECT_TRUE(wine.waitForDump([&](const json& d) { return dumpPainted(d, 3, 455, start); }, 90s))
            << wine.log() << readFileText(wine.dumpFile);
        EXPECT_TRUE(wine.waitForLog("Error " + error + rest, 10s)) << wine.log();
    };
    shownAndLogged("error 193: not a 64-bit DLL", advice);
    std::filesystem::copy_file(dlls / "needs.dll", wine.simulatorDll,
                               std::filesystem::copy_options::overwrite_existing);
    shownAndLogged("error 126: a DLL it needs is missing, e.g. its runtime", advice);
    std::filesystem::copy_file(dlls / "fails.dll", wine.simulatorDll,
                               std::filesystem::copy_options::overwrite_existing);
    shownAndLogged("error 1114: ", "");
    const std::size_t at = wine.log().find("(error 1114: ");
    ASSERT_NE(at, std::string::npos);
    EXPECT_GT(wine.log().find(advice, at), at + 20) << "Windows' own words between code and advice";

    std::filesystem::copy_file(VANTREL_WINDOWS_SIMULATOR_DLL, wine.simulatorDll,
                               std::filesystem::copy_options::overwrite_existing);
    EXPECT_TRUE(wine.waitForLog("SimConnect: connected to", 30s)) << wine.log();
    ASSERT_TRUE(wine.clickCloseBox());
    EXPECT_EQ(wine.process().exitCodeWithin(60s), 0);
}

// Run with the user's own rights (so without a virtual store hiding the files of a folder under Program
// Files), for Windows 10 and 11, with long paths, drawn pixel for pixel.
TEST_F(Wine, TheProgramCarriesItsManifest) {
    const std::string exe = readFileText(std::filesystem::path(VANTREL_WINDOWS_DIST) / "vantrel.exe");
    for (const char* part : {"<requestedExecutionLevel level=\"asInvoker\"",
                             "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>",
                             ">true</longPathAware>", ">PerMonitor</dpiAwareness>"})
        EXPECT_NE(exe.find(part), std::string::npos) << part;
}

TEST_F(Wine, ConnectedWithTrafficTheRealWindowAgreesWithTheStandIn) {
    wine.installDemoPackages();
    wine.writeParameters({{"SCAN_AIRPORTS", "false"}});
    standIn.installDemoPackages();
    standIn.writeParameters({{"SCAN_AIRPORTS", "false"}});
    const auto service = startService(standIn.root.path(), standIn.downloadsFolder());
    const std::string sim = "VANTREL_SIM=" + sourceDir + "/scenarios/sim/eham_stand_taxi.json";
    wine.start({sim, "VANTREL_SERVICE_URL=" + service->url(), "VANTREL_DOWNLOAD_URL=" + service->url()});
    const auto standInProgram = startStandIn(
        {sim, "VANTREL_SERVICE_URL=" + service->url(), "VANTREL_DOWNLOAD_URL=" + service->url()});
    const auto found = compareWhen(
        [](const json& d) {
            return dumpPainted(d, 642, 91, "live: ") && dumpControl(d, 32830)["enabled"] == true;
        },
        150s);
    EXPECT_TRUE(found.empty()) << listed(found);
}

TEST_F(Wine, Error150TheRealWindowAgreesWithTheStandIn) {
    wine.writeParameters({{"SCAN_AIRPORTS", "false"}});
    standIn.writeParameters({{"SCAN_AIRPORTS", "false"}});
    wine.start();
    const auto standInProgram = startStandIn();
    const auto found =
        compareWhen([](const json& d) { return dumpPainted(d, 3, 455, "150: No install path"); }, 90s);
    EXPECT_TRUE(found.empty()) << listed(found);
}

// A check box, a list, the two edit boxes with Enter and a button, each through the mouse and keyboard of the
// X display: the settings, messages and control states the Parts give for each.
TEST_F(Wine, InputThroughTheRealControls) {
    wine.installDemoPackages();
    wine.writeParameters({{"SCAN_AIRPORTS", "false"}});
    const auto service = startService(wine.root.path(), standIn.downloadsFolder());
    wine.start({"VANTREL_SIM=" + sourceDir + "/scenarios/sim/eham_stand_taxi.json",
                "VANTREL_SERVICE_URL=" + service->url(), "VANTREL_DOWNLOAD_URL=" + service->url()});
    ASSERT_TRUE(
        wine.waitForDump([](const json& d) { return dumpControl(d, 32839)["enabled"] == true; }, 150s))
        << wine.log();
    auto parameterIs = [&](const std::string& name, const std::string& value) {
        return waitUntil(
            [&] {
                return wine.parameters().find("name=\"" + name + "\" value=\"" + value + "\"") !=
                       std::string::npos;
            },
            10s);
    };

    // COLLISION_USER_AIR is on by default: a click turns it off, saves it and warns.
    ASSERT_TRUE(wine.clickControl(32833));
    EXPECT_TRUE(parameterIs("COLLISION_USER_AIR", "false")) << wine.parameters();
    EXPECT_TRUE(wine.waitForDump(
        [](const json& d) {
            return dumpControl(d, 32833)["check"] == 0 &&
                   dumpPainted(
                       d, 3, 455,
                       "Be aware, user aircraft may collide with (run through) live aircraft in the air");
        },
        10s))
        << readFileText(wine.dumpFile);

    // MATCHING_DEPTH (1 to 4): the list is opened with a click and its second entry chosen with the keys.
    ASSERT_TRUE(wine.clickControl(32808));
    ASSERT_TRUE(WineWorld::keys("Home Down Return"));
    EXPECT_TRUE(parameterIs("MATCHING_DEPTH", "2")) << wine.parameters();
    EXPECT_TRUE(wine.waitForDump([](const json& d) { return dumpControl(d, 32808)["text"] == "2"; }, 10s));

    // A destination typed in small letters is taken in capitals.
    ASSERT_TRUE(wine.clickControl(32839));
    ASSERT_TRUE(WineWorld::type("eham"));
    ASSERT_TRUE(WineWorld::keys("Return"));
    EXPECT_TRUE(parameterIs("DESTINATION", "EHAM")) << wine.parameters();
    EXPECT_TRUE(wine.waitForDump(
        [](const json& d) {
            return dumpPainted(d, 3, 455, "New destination: EHAM") &&
                   dumpControl(d, 32839)["text"] == "EHAM" && dumpControl(d, 32838)["enabled"] == false;
        },
        10s))
        << readFileText(wine.dumpFile);

    // A blocked callsign enables "Unblock"; the button frees it again.
    ASSERT_TRUE(wine.clickControl(32828));
    ASSERT_TRUE(WineWorld::type("klm1234"));
    ASSERT_TRUE(WineWorld::keys("Return"));
    EXPECT_TRUE(parameterIs("BLOCK_CALLSIGN", "KLM1234")) << wine.parameters();
    ASSERT_TRUE(wine.waitForDump(
        [](const json& d) {
            return dumpControl(d, 32828)["text"] == "KLM1234" && dumpControl(d, 32829)["enabled"] == true;
        },
        10s))
        << readFileText(wine.dumpFile);
    ASSERT_TRUE(wine.clickControl(32829));
    EXPECT_TRUE(parameterIs("BLOCK_CALLSIGN", "")) << wine.parameters();
    EXPECT_TRUE(wine.waitForDump(
        [](const json& d) {
            return dumpPainted(d, 3, 455, "no more blocking of live aircraft 'KLM1234'") &&
                   dumpControl(d, 32828)["text"] == "" && dumpControl(d, 32829)["enabled"] == false;
        },
        10s));

    ASSERT_TRUE(wine.clickCloseBox());
    EXPECT_EQ(wine.process().exitCodeWithin(60s), 0);
    // Shown and logged; the log is complete once the program has ended.
    const std::string log = wine.log();
    EXPECT_NE(log.find("New destination: EHAM\n"), std::string::npos) << log;
    EXPECT_NE(log.find("no more blocking of live aircraft 'KLM1234'\n"), std::string::npos);
    EXPECT_NE(log.find("Exiting: USER CLOSED SIM\n"), std::string::npos);
    EXPECT_EQ(log.find("\n==> "), std::string::npos) << "no error";
}

// A display scale of 100, 150 and 200 % (the LogPixels of the Wine prefix): the window is laid out for it,
// and every label and list entry fits its room in the font made for it.
TEST(WineDpi, TheWindowIsLaidOutForTheDisplaysDpi) {
    ASSERT_TRUE(WineWorld::ready()) << "run under scripts/with-wine-display (DISPLAY and WINEPREFIX)";
    struct Restore {
        ~Restore() { WineWorld::setLogPixels(96); }
    } restore;
    json at96;
    for (const int dpi : {96, 144, 192}) {
        SCOPED_TRACE(dpi);
        auto scaled = [dpi](int length) { return (2 * length * dpi + 96) / 192; };
        ASSERT_TRUE(WineWorld::setLogPixels(dpi));
        WineWorld wine;
        wine.installDemoPackages();
        wine.writeParameters({{"SCAN_AIRPORTS", "false"}});
        wine.start();
        ASSERT_TRUE(wine.waitForDump(
            [&](const json& d) {
                return dumpPainted(d, scaled(5), scaled(91), "# liveries: 1") &&
                       dumpControl(d, 32850)["selection"] != -1;
            },
            90s))
            << wine.log() << readFileText(wine.dumpFile);
        std::this_thread::sleep_for(2s); // an owed dump of the last paint
        const json dump = wine.dump();
        writeFileText(std::filesystem::path(VANTREL_WINE_OUTPUT) / ("dpi-" + std::to_string(dpi) + ".json"),
                      readFileText(wine.dumpFile));
        EXPECT_EQ(dump["window"]["dpi"], dpi);
        EXPECT_EQ(dump["window"]["client"], json({scaled(880), scaled(476)}));
        std::vector<std::string> found = labelsUnderControls(dump);
        for (std::string& cut : textsCutInControls(dump))
            found.push_back(std::move(cut));
        EXPECT_TRUE(found.empty()) << listed(found);
        if (dpi == 96) {
            at96 = dump;
        } else {
            // Each control as many times larger as the display; a closed list's height follows its font.
            ASSERT_EQ(dump["controls"].size(), at96["controls"].size());
            for (std::size_t i = 0; i < dump["controls"].size(); ++i) {
                const json& r = dump["controls"][i]["rect"];
                const json& r96 = at96["controls"][i]["rect"];
                SCOPED_TRACE(dump["controls"][i]["id"].dump());
                EXPECT_EQ(r[0], scaled(r96[0]));
                EXPECT_EQ(r[1], scaled(r96[1]));
                EXPECT_EQ(r[2].get<int>() - r[0].get<int>(), scaled(r96[2].get<int>() - r96[0].get<int>()));
                if (dump["controls"][i]["class"] != "ComboBox") {
                    EXPECT_EQ(r[3].get<int>() - r[1].get<int>(),
                              scaled(r96[3].get<int>() - r96[1].get<int>()));
                }
            }
        }
        ASSERT_TRUE(wine.clickCloseBox());
        EXPECT_EQ(wine.process().exitCodeWithin(60s), 0);
    }
}

TEST_F(Wine, ASecondInstanceEndsWithMinusOneAndTheCloseBoxEndsTheFirstWithItsPositionSaved) {
    wine.installDemoPackages(); // liveries to scan: the program then waits for the simulator
    wine.writeParameters({{"SCAN_AIRPORTS", "false"}});
    wine.start();
    ASSERT_TRUE(wine.waitForLog("going on offline", 90s)) << wine.log();
    ASSERT_TRUE(
        wine.waitForDump([](const json& d) { return dumpControl(d, 32850)["selection"] != -1; }, 60s));
    const std::string logBefore = wine.log();
    const auto second = wine.startProgram();
    EXPECT_EQ(second->exitCodeWithin(60s), 255) << "-1";
    EXPECT_EQ(wine.log(), logBefore);
    EXPECT_FALSE(std::filesystem::exists(wine.program / "Log0.txt")) << "the log was not rotated either";

    ASSERT_TRUE(wine.clickCloseBox());
    EXPECT_EQ(wine.process().exitCodeWithin(60s), 0);
    EXPECT_NE(wine.log().find("Exiting: USER CLOSED SIM\n"), std::string::npos) << wine.log();
    // The position the window had when it closed, as Win32 reported it.
    const json last = wine.dump();
    const std::string x = last["window"]["rect"][0].dump();
    const std::string y = last["window"]["rect"][1].dump();
    EXPECT_NE(wine.parameters().find("name=\"MAIN_WINDOW_X\" value=\"" + x + "\""), std::string::npos)
        << wine.parameters();
    EXPECT_NE(wine.parameters().find("name=\"MAIN_WINDOW_Y\" value=\"" + y + "\""), std::string::npos);
}

} // namespace
} // namespace kvr::test
