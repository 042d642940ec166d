// The start-up update check against a download server on loopback. The input is versions.json, optionally
// followed by a NUL byte and the bytes the server gives for every other file it is asked for (the program
// package, the simulator add-on package). The check runs once as MSFS 2020 and once as MSFS 2024.
#include "core/exit_request.h"
#include "core/shared_state.h"
#include "fuzz_support.h"
#include "refdata/update_check.h"
#include "settings/parameter.h"
#include "settings/parameters_file.h"
#include "support/file_text.h"

#include <fmt/format.h>
#include <httplib.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <iterator>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace {

using namespace kvr;
namespace fs = std::filesystem;

class DownloadServer {
public:
    DownloadServer() {
        server_.Get("/downloads/.*", [this](const httplib::Request& request, httplib::Response& response) {
            std::lock_guard lock(mutex_);
            requested_.push_back(request.path);
            response.set_content(request.path == "/downloads/versions.json" ? versions_ : package_,
                                 "application/octet-stream");
        });
        const int port = server_.bind_to_any_port("127.0.0.1");
        if (port <= 0)
            fuzz::failCheck("a loopback port for the download server", __FILE__, __LINE__);
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        setenv("VANTREL_DOWNLOAD_URL", fmt::format("http://127.0.0.1:{}", port).c_str(), 1);
    }
    ~DownloadServer() {
        server_.stop();
        thread_.join();
    }
    DownloadServer(const DownloadServer&) = delete;
    DownloadServer& operator=(const DownloadServer&) = delete;

    void serve(std::string_view input) {
        std::lock_guard lock(mutex_);
        const std::size_t split = input.find('\0');
        versions_ = input.substr(0, split);
        package_ = split == std::string_view::npos ? std::string() : std::string(input.substr(split + 1));
        requested_.clear();
    }
    std::vector<std::string> requested() {
        std::lock_guard lock(mutex_);
        return requested_;
    }

private:
    httplib::Server server_;
    std::thread thread_;
    std::mutex mutex_;
    std::string versions_;
    std::string package_;
    std::vector<std::string> requested_;
};

// A folder of the user's beside the check's own folders.
constexpr std::string_view keepText = "the user's own file";

const fs::path& programFolder() {
    static const fs::path folder = fuzz::scratchFolder() / "program";
    return folder;
}

void enterProgramFolder() {
    fs::create_directories(programFolder());
    fs::current_path(programFolder());
    setenv("XDG_CONFIG_HOME", (fuzz::scratchFolder() / "config").c_str(), 1);
    gf_initAppDataFolder();
}

// Only plain paths below the download folder are asked for.
void checkRequests(const std::vector<std::string>& requested) {
    FUZZ_CHECK(!requested.empty() && requested.front() == "/downloads/versions.json");
    for (const std::string& path : requested) {
        FUZZ_CHECK(path.starts_with("/downloads/"));
        const std::string_view below = std::string_view(path).substr(std::string_view("/downloads/").size());
        for (std::size_t start = 0; start <= below.size();) {
            const std::size_t end = std::min(below.find('/', start), below.size());
            const std::string_view segment = below.substr(start, end - start);
            FUZZ_CHECK(!segment.empty() && segment != "..");
            start = end + 1;
        }
        FUZZ_CHECK(std::all_of(path.begin(), path.end(), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) ||
                   std::string_view("._-+/").find(c) != std::string_view::npos;
        }));
    }
}

// The check writes only into its own folders of the program folder and never touches anything else.
void checkWrittenFolders() {
    static const std::set<std::string> allowed{"input", "updates", "airports", "keep"};
    for (const fs::directory_entry& entry : fs::directory_iterator(programFolder()))
        FUZZ_CHECK(allowed.contains(entry.path().filename().string()));
    for (const fs::directory_entry& entry : fs::directory_iterator(fuzz::scratchFolder())) {
        const std::string name = entry.path().filename().string();
        FUZZ_CHECK(name == "program" || name == "config");
    }
    const fs::path keep = programFolder() / "keep";
    FUZZ_CHECK(std::distance(fs::directory_iterator(keep), fs::directory_iterator()) == 1);
    FUZZ_CHECK(test::readFileText(keep / "notes.txt") == keepText);
    const fs::path airports = programFolder() / "airports";
    if (fs::exists(airports))
        for (const fs::directory_entry& entry : fs::directory_iterator(airports))
            FUZZ_CHECK(entry.path().filename() == "my_simaddon");
}

void runCheck(bool msfs2020) {
    for (Parameter* setting : gf_allParameters())
        setting->resetToDefault();
    gf_resetStopState();
    msfs2020Selected.store(msfs2020);
    const bool goOn = gf_checkForUpdates();
    FUZZ_CHECK(goOn == !stopRequested.load());
    if (!goOn)
        FUZZ_CHECK(exitReason.load() == ExitReason::newVersion);
    checkWrittenFolders();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static DownloadServer server;
    [[maybe_unused]] static const bool ready = (enterProgramFolder(), true);
    for (const char* folder : {"updates", "airports", "input"})
        fs::remove_all(programFolder() / folder);
    fs::remove_all(programFolder() / "keep");
    fuzz::writeInput(programFolder() / "keep" / "notes.txt", keepText);

    for (const bool msfs2020 : {true, false}) {
        server.serve(fuzz::asText(data, size));
        runCheck(msfs2020);
        checkRequests(server.requested());
    }
    return 0;
}
