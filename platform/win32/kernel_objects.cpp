// Kernel objects: the named mutex as a lock file held with flock for the life of its handle, handles,
// the calling thread's last error, the environment and the tick count.
#include "platform/win32/win32_api.h"
#include "platform/win32/window_model.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

struct HandleTable {
    std::mutex mutex;
    std::map<HANDLE, int> descriptors; // -1: an object without a file
    std::uintptr_t next = 0x40000;

    HANDLE add(int fd) {
        std::lock_guard lock(mutex);
        auto handle = reinterpret_cast<HANDLE>(next);
        next += 4;
        descriptors.emplace(handle, fd);
        return handle;
    }
};

HandleTable& lf_handles() {
    static HandleTable table;
    return table;
}

std::filesystem::path lf_lockFolder() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        return runtime;
    return "/tmp";
}

// "Local\$Vantrel$" becomes Local_$Vantrel$.lock: the namespace prefix stays part of the name.
std::string lf_lockFileName(const std::string& name) {
    std::string file;
    for (const char c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '$' || c == '-' || c == '.';
        file += plain ? c : '_';
    }
    return file + ".lock";
}

} // namespace

DWORD WINAPI GetLastError() {
    return lastError;
}
void WINAPI SetLastError(DWORD error) {
    lastError = error;
}

HANDLE WINAPI CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR name) {
    if (!name) {
        SetLastError(ERROR_SUCCESS);
        return lf_handles().add(-1);
    }
    const std::filesystem::path path = lf_lockFolder() / lf_lockFileName(name);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        SetLastError(ERROR_SUCCESS);
        return lf_handles().add(fd);
    }
    if (errno == EWOULDBLOCK) {
        // Another holder exists: like Win32, hand out a handle to the existing object.
        ::close(fd);
        SetLastError(ERROR_ALREADY_EXISTS);
        return lf_handles().add(-1);
    }
    ::close(fd);
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
}

BOOL WINAPI CloseHandle(HANDLE handle) {
    HandleTable& table = lf_handles();
    std::lock_guard lock(table.mutex);
    const auto it = table.descriptors.find(handle);
    if (it == table.descriptors.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (it->second >= 0)
        ::close(it->second);
    table.descriptors.erase(it);
    return TRUE;
}

// The process environment holds UTF-8 here; Win32 hands it out as UTF-16.
DWORD WINAPI GetEnvironmentVariableW(LPCWSTR name, LPWSTR buffer, DWORD size) {
    const char* value = name ? std::getenv(kvr::standin::gf_toUtf8(name).c_str()) : nullptr;
    if (!value) {
        SetLastError(ERROR_ENVVAR_NOT_FOUND);
        return 0;
    }
    const std::wstring wide = kvr::standin::gf_fromUtf8(value);
    if (!buffer || size <= wide.size())
        return static_cast<DWORD>(wide.size() + 1); // the size needed, with the terminating null
    std::copy(wide.begin(), wide.end(), buffer);
    buffer[wide.size()] = L'\0';
    return static_cast<DWORD>(wide.size());
}

DWORD WINAPI GetTickCount() {
    using namespace std::chrono;
    return static_cast<DWORD>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
