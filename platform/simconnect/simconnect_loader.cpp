// SimConnect.dll found at run time, the way the program's users get it: copied from the simulator's SDK
// beside vantrel.exe (looked for there first), or wherever Windows' own search finds it.
#include "platform/simconnect/simconnect_library.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>

namespace kvr {

namespace {

constexpr const wchar_t* dllName = L"SimConnect.dll";
constexpr const char* whereItComesFrom =
    "copy SimConnect SDK\\lib\\SimConnect.dll of the simulator's SDK beside vantrel.exe";

struct LoadedLibrary {
    std::mutex mutex;
    std::atomic<bool> loaded{false};
    SimConnectFunctions functions;
};

LoadedLibrary& lf_library() {
    static LoadedLibrary library;
    return library;
}

std::wstring lf_besideTheProgram() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L"\\/") + 1) + dllName;
}

// Windows shows no box of its own when the DLL cannot be loaded: the program says it in its window.
HMODULE lf_loadQuietly(const std::wstring& file, DWORD flags) {
    DWORD previousMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
    HMODULE module = LoadLibraryExW(file.c_str(), nullptr, flags);
    const DWORD error = GetLastError();
    SetThreadErrorMode(previousMode, nullptr);
    SetLastError(error);
    return module;
}

// Whether Windows' own search finds a file of that name (the DLL itself, when it is not beside the program).
bool lf_searchFinds(const wchar_t* file) {
    wchar_t found[MAX_PATH] = {};
    return SearchPathW(nullptr, file, nullptr, MAX_PATH, found, nullptr) != 0;
}

// Windows' own text for an error code, without the line end it carries; empty when it has none.
std::string lf_systemText(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    std::wstring text = buffer && length > 0 ? std::wstring(buffer, length) : std::wstring();
    LocalFree(buffer);
    while (!text.empty() &&
           (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.'))
        text.pop_back();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(std::max(size, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size, nullptr,
                        nullptr);
    return utf8;
}

// What a failed load means, in the user's words: the two causes a user meets most are named, any other
// in Windows' own text.
std::string lf_loadFailure(DWORD error) {
    const std::string cause = error == ERROR_BAD_EXE_FORMAT  ? "not a 64-bit DLL"
                              : error == ERROR_MOD_NOT_FOUND ? "a DLL it needs is missing, e.g. its runtime"
                                                             : lf_systemText(error);
    return "SimConnect.dll cannot be loaded (error " + std::to_string(error) + (cause.empty() ? "" : ": ") +
           cause + ")";
}

template <typename Function>
void lf_resolve(HMODULE module, const char* name, Function& function, std::string& firstMissing) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    if (!function && firstMissing.empty())
        firstMissing = name;
}

// The first function the DLL lacks; empty when it has them all.
std::string lf_resolveAll(HMODULE module, SimConnectFunctions& f) {
    std::string missing;
    lf_resolve(module, "SimConnect_Open", f.Open, missing);
    lf_resolve(module, "SimConnect_Close", f.Close, missing);
    lf_resolve(module, "SimConnect_CallDispatch", f.CallDispatch, missing);
    lf_resolve(module, "SimConnect_AddToDataDefinition", f.AddToDataDefinition, missing);
    lf_resolve(module, "SimConnect_RequestDataOnSimObject", f.RequestDataOnSimObject, missing);
    lf_resolve(module, "SimConnect_RequestDataOnSimObjectType", f.RequestDataOnSimObjectType, missing);
    lf_resolve(module, "SimConnect_SubscribeToSystemEvent", f.SubscribeToSystemEvent, missing);
    lf_resolve(module, "SimConnect_MapClientEventToSimEvent", f.MapClientEventToSimEvent, missing);
    lf_resolve(module, "SimConnect_TransmitClientEvent", f.TransmitClientEvent, missing);
    lf_resolve(module, "SimConnect_AICreateNonATCAircraft", f.AICreateNonATCAircraft, missing);
    lf_resolve(module, "SimConnect_AISetAircraftFlightPlan", f.AISetAircraftFlightPlan, missing);
    lf_resolve(module, "SimConnect_AIRemoveObject", f.AIRemoveObject, missing);
    lf_resolve(module, "SimConnect_AIReleaseControl", f.AIReleaseControl, missing);
    lf_resolve(module, "SimConnect_SetDataOnSimObject", f.SetDataOnSimObject, missing);
    lf_resolve(module, "SimConnect_GetLastSentPacketID", f.GetLastSentPacketID, missing);
    return missing;
}

} // namespace

std::string gf_loadSimConnect() {
    LoadedLibrary& library = lf_library();
    if (library.loaded.load())
        return {};
    std::lock_guard lock(library.mutex);
    if (library.loaded.load())
        return {};
    const std::wstring beside = lf_besideTheProgram();
    const bool besideExists =
        !beside.empty() && GetFileAttributesW(beside.c_str()) != INVALID_FILE_ATTRIBUTES;
    // Beside the program, the DLL's own dependencies are looked for in its folder too.
    HMODULE module =
        besideExists ? lf_loadQuietly(beside, LOAD_WITH_ALTERED_SEARCH_PATH) : lf_loadQuietly(dllName, 0);
    if (!module) {
        const DWORD error = GetLastError();
        // The same code says that the DLL or one it needs is missing: only a file that is there is the
        // latter.
        if (!besideExists && error == ERROR_MOD_NOT_FOUND && !lf_searchFinds(dllName))
            return std::string("SimConnect.dll not found: ") + whereItComesFrom;
        return lf_loadFailure(error) + ": " + whereItComesFrom;
    }
    SimConnectFunctions functions;
    if (const std::string missing = lf_resolveAll(module, functions); !missing.empty()) {
        FreeLibrary(module);
        return "SimConnect.dll lacks " + missing + ": " + whereItComesFrom;
    }
    // The module stays loaded for the life of the process, as an imported DLL would.
    library.functions = functions;
    library.loaded.store(true);
    return {};
}

const SimConnectFunctions& gf_simConnect() {
    return lf_library().functions;
}

} // namespace kvr
