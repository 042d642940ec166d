#include "core/walked_folders.h"

#ifdef _WIN32
#include <windows.h>

#include <memory>
#else
#include <sys/stat.h>
#endif

namespace kvr {

namespace {

#ifdef _WIN32
struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};

// The volume serial and file index of the folder a path leads to. Opening without
// FILE_FLAG_OPEN_REPARSE_POINT follows symbolic links and junctions to their target; libstdc++'s
// std::filesystem knows neither on Windows and gives no file index.
bool lf_folderIdentity(const std::filesystem::path& folder, FolderIdentity& identity) {
    const HANDLE opened =
        CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        return false;
    const std::unique_ptr<void, HandleCloser> handle(opened);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle.get(), &info))
        return false;
    identity.volume = info.dwVolumeSerialNumber;
    identity.index = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    return true;
}
#else
bool lf_folderIdentity(const std::filesystem::path& folder, FolderIdentity& identity) {
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0)
        return false;
    identity.volume = static_cast<std::uint64_t>(status.st_dev);
    identity.index = static_cast<std::uint64_t>(status.st_ino);
    return true;
}
#endif

} // namespace

bool WalkedFolders::firstVisit(const std::filesystem::path& folder) {
    FolderIdentity identity;
    if (!lf_folderIdentity(folder, identity))
        return true;
    return seen_.insert(identity).second;
}

} // namespace kvr
