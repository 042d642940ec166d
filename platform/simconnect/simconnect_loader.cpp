// SimConnect.dll found at run time, the way the program's users get it: copied from the simulator's SDK
// beside vantrel.exe (looked for there first), or wherever Windows' own search finds it.
#include "platform/simconnect/simconnect_library.h"

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
        if (!besideExists && error == ERROR_MOD_NOT_FOUND)
            return std::string("SimConnect.dll not found: ") + whereItComesFrom;
        return "SimConnect.dll cannot be loaded (error " + std::to_string(error) + "): " + whereItComesFrom;
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
