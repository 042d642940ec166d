// Runs a fuzz target once on every file of the given corpus folders (or on the given files), in name order,
// so that the plain test run replays the committed seeds under the sanitizers without libFuzzer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    // Targets may change the working folder, so every path is made absolute before the first run.
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const fs::path given = fs::absolute(argv[i]);
        std::error_code ec;
        if (fs::is_directory(given, ec)) {
            std::vector<fs::path> files;
            for (const fs::directory_entry& entry : fs::directory_iterator(given))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
            std::sort(files.begin(), files.end());
            inputs.insert(inputs.end(), files.begin(), files.end());
        } else if (fs::is_regular_file(given, ec)) {
            inputs.push_back(given);
        } else {
            std::fprintf(stderr, "replay: %s is neither a folder nor a file\n", given.c_str());
            return 2;
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "replay: no inputs\n");
        return 2;
    }
    for (const fs::path& path : inputs) {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "replay: %s cannot be read\n", path.c_str());
            return 2;
        }
        // Exactly the input's size, so that the sanitizers see a read past its end.
        const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        const std::vector<std::uint8_t> bytes(text.begin(), text.end());
        std::fprintf(stderr, "replay: %s (%zu bytes)\n", path.filename().c_str(), bytes.size());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::fprintf(stderr, "replay: %zu input%s passed\n", inputs.size(), inputs.size() == 1 ? "" : "s");
    return 0;
}
