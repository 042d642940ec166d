#pragma once
#include <filesystem>
#include <random>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace kvr::test {

// A fresh folder under the system's temporary folder, removed with everything in it at the end of scope.
class TempFolder {
public:
    TempFolder() {
        std::random_device device;
        path_ = std::filesystem::temp_directory_path() /
                ("vantrel-test-" + std::to_string(device()) + "-" + std::to_string(device()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
#ifdef _WIN32
        // Some tests make paths longer than 260 characters on purpose, which std::filesystem cannot list on
        // Windows; the extended form of the Win32 calls can.
        if (ec || std::filesystem::exists(path_, ec))
            removeTree(L"\\\\?\\" + std::filesystem::absolute(path_).make_preferred().wstring());
#endif
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
#ifdef _WIN32
    // A link is removed, not followed.
    static void removeTree(const std::wstring& folder) {
        WIN32_FIND_DATAW found;
        const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                const std::wstring path = folder + L"\\" + name;
                const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
                if (isFolder && (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
                    removeTree(path);
                else if (isFolder)
                    RemoveDirectoryW(path.c_str());
                else
                    DeleteFileW(path.c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(folder.c_str());
    }
#endif

    std::filesystem::path path_;
};

} // namespace kvr::test
