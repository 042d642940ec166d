#pragma once
// Folder links as users make them when they link a package into Community. mingw's std::filesystem makes
// no links on Windows ("Function not implemented"), so the Win32 call makes them there.
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <chrono>
#include <thread>
#endif

namespace kvr::test {

#ifdef _WIN32
inline std::runtime_error lastWin32Error(const char* call) {
    return std::runtime_error(std::string(call) + " failed, error " + std::to_string(GetLastError()));
}

template <typename Function> Function wineExport(const wchar_t* module, const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(module), name)));
}

inline bool underWine() {
    return wineExport<void (*)()>(L"ntdll.dll", "wine_get_version") != nullptr;
}

inline std::wstring wineUnixPath(const std::filesystem::path& path) {
    const auto unixName = wineExport<char*(CDECL*)(LPCWSTR)>(L"kernel32.dll", "wine_get_unix_file_name");
    char* name = unixName(path.c_str());
    if (name == nullptr)
        throw std::runtime_error("wine_get_unix_file_name failed");
    std::wstring wide = wideFromUtf8(name);
    HeapFree(GetProcessHeap(), 0, name);
    return wide;
}

// Wine (8.0) answers CreateSymbolicLinkW with success and makes nothing, and refuses reparse points. The
// links it shows are those of the file system below it: a Unix symbolic link to a folder is listed with
// FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT, as Windows lists a symbolic link or a junction
// to a folder. Only a Linux program makes or removes one. Wine starts it without a handle to wait on (and
// fills the process information with values that are no handles, so nothing is closed): its effect on the
// link is awaited instead.
inline void runUnixTool(const wchar_t* tool, const std::wstring& arguments, const std::filesystem::path& link,
                        bool linkWanted) {
    std::wstring command = std::wstring(tool) + L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(tool, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        throw lastWin32Error("CreateProcessW");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while ((GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES) != linkWanted) {
        if (std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error("the link " + link.string() + " did not come or go");
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

inline std::wstring quotedUnixPath(const std::filesystem::path& path) {
    return L"\"" + wineUnixPath(path) + L"\"";
}
#endif

inline void makeFolderSymlink(const std::filesystem::path& target, const std::filesystem::path& link) {
#ifdef _WIN32
    if (underWine())
        return runUnixTool(L"/bin/ln", L"-s " + quotedUnixPath(target) + L" " + quotedUnixPath(link), link,
                           true);
    if (!CreateSymbolicLinkW(link.c_str(), target.c_str(),
                             SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE))
        throw lastWin32Error("CreateSymbolicLinkW");
#else
    std::filesystem::create_directory_symlink(target, link);
#endif
}

// The links of one test, removed at the end of its scope, before its folder: std::filesystem::remove_all
// on Windows takes a link for the folder it leads to, walks into it, round a link loop until the path is
// too long, and leaves the folder behind.
class FolderLinks {
public:
    FolderLinks() = default;
    FolderLinks(const FolderLinks&) = delete;
    FolderLinks& operator=(const FolderLinks&) = delete;
    ~FolderLinks() {
        for (auto link = made_.rbegin(); link != made_.rend(); ++link)
            remove(*link);
    }

    void make(const std::filesystem::path& target, const std::filesystem::path& link) {
        makeFolderSymlink(target, link);
        made_.push_back(link);
    }

private:
    static void remove(const std::filesystem::path& link) noexcept {
#ifdef _WIN32
        try {
            if (underWine())
                runUnixTool(L"/bin/rm", quotedUnixPath(link), link, false);
            else
                RemoveDirectoryW(link.c_str());
        } catch (const std::exception&) {
            // What is left stays in the test's folder; the test's outcome does not depend on it.
        }
#else
        std::error_code ec;
        std::filesystem::remove(link, ec);
#endif
    }

    std::vector<std::filesystem::path> made_;
};

} // namespace kvr::test
