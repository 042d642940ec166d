#pragma once
// The Windows build of vantrel under Wine, on the virtual display that scripts/with-wine-display sets up
// (DISPLAY, WINEPREFIX): its program folder, the user folders inside the Wine prefix, and what a person
// does with the real window through xdotool. The Linux worlds of ../session/program_world.h stand beside it.
#include "../session/program_world.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace kvr::test {

// What a command prints; empty when it fails.
inline std::string commandOutput(const std::string& command) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe)
        return out;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe.get()))
        out += buffer;
    return out;
}

inline bool runCommand(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

// A Linux path as the Windows program sees it: Wine's drive Z: is the root folder.
inline std::string windowsPath(const std::filesystem::path& path) {
    std::string text = "Z:" + std::filesystem::absolute(path).lexically_normal().string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

inline std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

inline nlohmann::json readDump(const std::filesystem::path& file) {
    return nlohmann::json::parse(readFileText(file), nullptr, false);
}

inline const nlohmann::json& dumpControl(const nlohmann::json& dump, int id) {
    static const nlohmann::json none;
    if (dump.is_object())
        for (const nlohmann::json& c : dump["controls"])
            if (c["id"] == id)
                return c;
    return none;
}

inline bool dumpPainted(const nlohmann::json& dump, int x, int y, const std::string& prefix) {
    if (dump.is_object())
        for (const nlohmann::json& t : dump["texts"])
            if (t["x"] == x && t["y"] == y && t["text"].get<std::string>().starts_with(prefix))
                return true;
    return false;
}

class WineWorld {
public:
    WineWorld() {
        std::filesystem::copy(VANTREL_WINDOWS_DIST, program, std::filesystem::copy_options::recursive);
        // The simulated simulator answers as SimConnect.dll, placed as the demo places it; without a
        // scenario (VANTREL_SIM) it is a simulator that is not running.
        std::filesystem::copy_file(VANTREL_WINDOWS_SIMULATOR_DLL, simulatorDll);
        // One prefix serves the Wine tests one after the other: each starts from empty user folders.
        for (const auto& folder :
             {roaming / "Vantrel", roaming / "Microsoft Flight Simulator", local / "Packages"})
            std::filesystem::remove_all(folder);
    }
    ~WineWorld() {
        program_.reset();
        runCommand("\"" + wineServer() + "\" -k >/dev/null 2>&1");
    }
    WineWorld(const WineWorld&) = delete;
    WineWorld& operator=(const WineWorld&) = delete;

    static bool ready() {
        return !environmentValue("DISPLAY").empty() && !environmentValue("WINEPREFIX").empty();
    }
    static std::string wine() { return VANTREL_WINE; }
    // The display's DPI as Wine takes it from the prefix, for the programs started after it.
    static bool setLogPixels(int dpi) {
        return runCommand("\"" + wine() +
                          "\" reg add \"HKCU\\Control Panel\\Desktop\" /v LogPixels /t REG_DWORD /d " +
                          std::to_string(dpi) + " /f >/dev/null 2>&1");
    }
    static std::string wineServer() {
        return std::filesystem::path(VANTREL_WINE).parent_path() / "wineserver64";
    }

    // The simulator's packages folder with its Community folder, named in the UserCfg.opt of the Microsoft
    // Store version of MSFS 2020 as the simulator writes it on Windows.
    void installSimulator() {
        std::filesystem::create_directories(community);
        const auto userCfg =
            local / "Packages" / "Microsoft.FlightSimulator_8wekyb3d8bbwe" / "LocalCache" / "UserCfg.opt";
        std::filesystem::create_directories(userCfg.parent_path());
        writeFileText(userCfg, "Version 71\r\nInstalledPackagesPath \"" + windowsPath(packages) + "\"\r\n");
    }
    void installDemoPackages() {
        installSimulator();
        ChildProcess writer(VANTREL_LIVERY_FIXTURES, {"--demo", community.string()},
                            StandIn::baseEnvironment(), root.path(), root / "fixtures.txt");
        writer.exitCodeWithin(60s);
    }
    void writeParameters(const std::vector<std::pair<std::string, std::string>>& values) {
        std::string text = "<?xml version=\"1.0\"?>\n<root><parameters>";
        for (const auto& [name, value] : values)
            text += "<parameter name=\"" + name + "\" value=\"" + value + "\"/>";
        std::filesystem::create_directories(roaming / "Vantrel");
        writeFileText(roaming / "Vantrel" / "parameters.xml", text + "</parameters></root>\n");
    }

    std::unique_ptr<ChildProcess> startProgram(const std::vector<std::string>& extra = {}) const {
        std::vector<std::string> env = StandIn::baseEnvironment();
        env.push_back("VANTREL_DOWNLOAD_URL=http://127.0.0.1:9");
        env.push_back("VANTREL_SERVICE_URL=http://127.0.0.1:9");
        env.push_back("VANTREL_WINDOW_JSON=" + windowsPath(dumpFile));
        for (const std::string& e : extra) {
            const std::string name = e.substr(0, e.find('=') + 1);
            std::erase_if(env, [&](const std::string& entry) { return entry.rfind(name, 0) == 0; });
            env.push_back(e);
        }
        return std::make_unique<ChildProcess>(wine(),
                                              std::vector<std::string>{(program / "vantrel.exe").string()},
                                              env, program, root / "vantrel-output.txt");
    }
    void start(const std::vector<std::string>& extra = {}) { program_ = startProgram(extra); }
    ChildProcess& process() { return *program_; }

    std::string log() const { return readFileText(program / "Log.txt"); }
    bool waitForLog(const std::string& text, std::chrono::milliseconds limit) const {
        return waitUntil([&] { return log().find(text) != std::string::npos; }, limit);
    }
    std::string parameters() const { return readFileText(roaming / "Vantrel" / "parameters.xml"); }
    nlohmann::json dump() const { return readDump(dumpFile); }
    bool waitForDump(const std::function<bool(const nlohmann::json&)>& ready,
                     std::chrono::milliseconds limit) const {
        return waitUntil(
            [&] {
                const nlohmann::json d = dump();
                return d.is_object() && ready(d);
            },
            limit);
    }

    // The X window of the program's client area (Wine maps the client area as the window that the window
    // manager frames); empty when there is none.
    std::string windowId() const {
        std::string id = commandOutput("xdotool search --name '^Vantrel$' 2>/dev/null | head -1");
        while (!id.empty() && (id.back() == '\n' || id.back() == ' '))
            id.pop_back();
        return id;
    }
    // A left click in the middle of a control, as a person gives it.
    bool clickControl(int id) const {
        const nlohmann::json current = dump();
        const nlohmann::json& c = dumpControl(current, id);
        if (!c.is_object())
            return false;
        const int x = (c["rect"][0].get<int>() + c["rect"][2].get<int>()) / 2;
        const int y = (c["rect"][1].get<int>() + c["rect"][3].get<int>()) / 2;
        return runCommand(fmtCommand("xdotool mousemove --window %s %d %d click 1", x, y));
    }
    static bool keys(const std::string& names) { return runCommand("xdotool key --delay 80 " + names); }
    static bool type(const std::string& text) { return runCommand("xdotool type --delay 80 '" + text + "'"); }
    // The close box of the frame: jwm puts it at the right end of its title bar.
    bool clickCloseBox() const {
        const std::string frame = commandOutput("xwininfo -id " + windowId() + " -frame 2>/dev/null");
        const int x = fieldOf(frame, "Absolute upper-left X:");
        const int y = fieldOf(frame, "Absolute upper-left Y:");
        const int width = fieldOf(frame, "Width:");
        const int border = fieldOf(frame, "Relative upper-left X:");
        const int title = fieldOf(frame, "Relative upper-left Y:") - border;
        // The client's place inside its frame gives the border and the title bar above the client.
        const int closeX = x + width - title / 2;
        const int closeY = y - title / 2;
        return runCommand(fmtCommand2("xdotool mousemove %d %d click 1", closeX, closeY));
    }
    bool screenshot(const std::filesystem::path& file) const {
        return runCommand("import -frame -window " + windowId() + " '" + file.string() + "'");
    }

    TempFolder root;
    std::filesystem::path program = root / "Vantrel";
    std::filesystem::path packages = root / "sim" / "Packages";
    std::filesystem::path community = packages / "Community";
    std::filesystem::path dumpFile = root / "window.json";
    std::filesystem::path simulatorDll = program / "SimConnect.dll";
    std::filesystem::path userFolder = std::filesystem::path(environmentValue("WINEPREFIX")) / "drive_c" /
                                       "users" / commandOutput("id -un | tr -d '\\n'") / "AppData";
    std::filesystem::path roaming = userFolder / "Roaming";
    std::filesystem::path local = userFolder / "Local";

private:
    std::string fmtCommand(const char* format, int x, int y) const {
        char buffer[256];
        std::snprintf(buffer, sizeof buffer, format, windowId().c_str(), x, y);
        return buffer;
    }
    static std::string fmtCommand2(const char* format, int x, int y) {
        char buffer[256];
        std::snprintf(buffer, sizeof buffer, format, x, y);
        return buffer;
    }
    static int fieldOf(const std::string& text, const std::string& name) {
        const auto at = text.find(name);
        return at == std::string::npos ? 0 : std::atoi(text.c_str() + at + name.size());
    }

    std::unique_ptr<ChildProcess> program_;
};

} // namespace kvr::test
