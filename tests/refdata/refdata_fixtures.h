#pragma once
// Shared helpers of the reference-data tests: a working folder to run in, encrypted fixture files, the log.
#include "core/log.h"
#include "core/native_path.h"
#include "refdata/data_key.h"
#include "support/file_text.h"
#include "support/log_text.h"
#include "support/temp_folder.h"
#include "tools/data_encryptor/stream_encryptor.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace kvr::test {

// A fresh folder that is the working folder (with input/ and Log.txt) for the life of the object.
class WorkingFolder {
public:
    WorkingFolder() : previous_(std::filesystem::current_path()) {
        std::filesystem::create_directories(folder_.path() / "input");
        std::filesystem::current_path(folder_.path());
        gf_openLogFile(folder_.path());
    }
    ~WorkingFolder() {
        gf_closeLogFile();
        std::filesystem::current_path(previous_);
    }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

    const std::filesystem::path& path() const { return folder_.path(); }
    std::filesystem::path operator/(const std::string& name) const { return folder_.path() / name; }
    std::string log() const { return loggedText(folder_.path()); }

private:
    TempFolder folder_;
    std::filesystem::path previous_;
};

inline void writeEncrypted(const std::filesystem::path& path, const std::string& plain,
                           const DataKey& key = dataFileKey) {
    ASSERT_EQ(gf_encryptBytes(plain, path, key), "");
}

inline DataKey otherKey() {
    DataKey key = dataFileKey;
    key[0] ^= 0x5a;
    return key;
}

// Writes a zip archive with the given entries (names taken as they are, including unsafe ones).
inline void writeZip(const std::filesystem::path& path,
                     const std::vector<std::pair<std::string, std::string>>& entries) {
    int error = 0;
    zip_t* archive = zip_open(gf_pathToUtf8(path).c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    for (const auto& [name, content] : entries) {
        zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
        ASSERT_NE(source, nullptr);
        ASSERT_GE(zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8), 0) << name;
    }
    ASSERT_EQ(zip_close(archive), 0);
}

inline std::size_t countOccurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto pos = text.find(part); pos != std::string::npos; pos = text.find(part, pos + 1))
        ++count;
    return count;
}

} // namespace kvr::test
