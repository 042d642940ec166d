#pragma once
// Included first into every test source of the Windows build (cmake/VantrelTargets.cmake): what the tests
// take from POSIX, on Windows.
#ifdef _WIN32
#include <windows.h>

#include <cstdlib>
#include <string>
#include <string_view>

// <windows.h> defines these two as nothing, a leftover of 16-bit pointers; the tests use them as names.
#undef near
#undef far

namespace kvr::test {

// The tests point the program's application data folders elsewhere with the Linux variables; on Windows
// those folders come from APPDATA (roaming) and LOCALAPPDATA.
inline std::wstring windowsVariable(std::string_view name) {
    if (name == "XDG_CONFIG_HOME")
        return L"APPDATA";
    if (name == "XDG_DATA_HOME")
        return L"LOCALAPPDATA";
    return std::wstring(name.begin(), name.end());
}

inline std::wstring wideFromUtf8(std::string_view utf8) {
    if (utf8.empty())
        return {};
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    return wide;
}

} // namespace kvr::test

inline int setenv(const char* name, const wchar_t* value, int overwrite) {
    const std::wstring variable = kvr::test::windowsVariable(name);
    if (!overwrite && _wgetenv(variable.c_str()))
        return 0;
    return _wputenv_s(variable.c_str(), value) == 0 ? 0 : -1;
}
inline int setenv(const char* name, const char* value, int overwrite) {
    return setenv(name, kvr::test::wideFromUtf8(value).c_str(), overwrite);
}
inline int unsetenv(const char* name) {
    // An empty value removes the variable.
    return _wputenv_s(kvr::test::windowsVariable(name).c_str(), L"") == 0 ? 0 : -1;
}
#endif
