// Resources, message boxes, the shell, the command line and the multimedia timer.
#include "platform/win32/shell_internal.h"
#include "platform/win32/window_model.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <filesystem>
#include <map>
#include <mutex>

extern char** environ;

namespace kvr::standin {

namespace {

constexpr std::uintptr_t moduleHandle = 0x400000;
constexpr std::uintptr_t iconBase = 0x90000;
constexpr std::uintptr_t arrowCursor = 0x98000;
constexpr WORD standardIconId = 32512;

struct ShellState {
    std::mutex mutex;
    std::map<UINT, std::wstring> strings;
    std::map<UINT, HICON> icons;
    std::vector<MessageBoxCall> messageBoxes;
    std::vector<ShellExecuteCall> shellCalls;
    std::vector<std::wstring> arguments;
    std::vector<wchar_t> commandLine{L'\0'};
    std::atomic<bool> launching{false};
};

ShellState& lf_shell() {
    static ShellState* state = new ShellState; // never destroyed: read by threads that outlive main
    return *state;
}

std::wstring lf_quoteArgument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    for (std::size_t i = 0;; ++i) {
        std::size_t backslashes = 0;
        while (i < argument.size() && argument[i] == L'\\') {
            ++i;
            ++backslashes;
        }
        if (i == argument.size()) {
            quoted.append(backslashes * 2, L'\\');
            break;
        }
        if (argument[i] == L'"') {
            quoted.append(backslashes * 2 + 1, L'\\');
            quoted += L'"';
        } else {
            quoted.append(backslashes, L'\\');
            quoted += argument[i];
        }
    }
    return quoted + L"\"";
}

bool lf_onPath(const char* program) {
    const char* path = std::getenv("PATH");
    if (!path)
        return false;
    std::string folders = path;
    std::size_t start = 0;
    while (start <= folders.size()) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        const std::string candidate = folders.substr(start, end - start) + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

void lf_launchXdgOpen(const std::string& target) {
    std::thread([target] {
        pid_t pid;
        std::string program = "xdg-open";
        std::string argument = target;
        char* argv[] = {program.data(), argument.data(), nullptr};
        if (::posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) == 0)
            ::waitpid(pid, nullptr, 0);
    }).detach();
}

} // namespace

std::vector<std::wstring> gf_splitCommandLine(std::wstring_view line) {
    std::vector<std::wstring> arguments;
    std::size_t i = 0;
    const std::size_t n = line.size();
    // The program name: up to the next blank, or between quotes without escapes.
    std::wstring program;
    if (i < n && line[i] == L'"') {
        ++i;
        while (i < n && line[i] != L'"')
            program += line[i++];
        if (i < n)
            ++i;
    } else {
        while (i < n && line[i] != L' ' && line[i] != L'\t')
            program += line[i++];
    }
    arguments.push_back(program);
    for (;;) {
        while (i < n && (line[i] == L' ' || line[i] == L'\t'))
            ++i;
        if (i >= n)
            break;
        std::wstring argument;
        bool quoted = false;
        while (i < n) {
            const wchar_t c = line[i];
            if ((c == L' ' || c == L'\t') && !quoted)
                break;
            if (c == L'\\') {
                std::size_t backslashes = 0;
                while (i < n && line[i] == L'\\') {
                    ++backslashes;
                    ++i;
                }
                if (i < n && line[i] == L'"') {
                    argument.append(backslashes / 2, L'\\');
                    if (backslashes % 2 == 1) {
                        argument += L'"';
                        ++i;
                    }
                } else {
                    argument.append(backslashes, L'\\');
                }
            } else if (c == L'"') {
                if (quoted && i + 1 < n && line[i + 1] == L'"') {
                    argument += L'"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                argument += c;
                ++i;
            }
        }
        arguments.push_back(argument);
    }
    return arguments;
}

void gf_enableShellLaunching(bool enabled) {
    lf_shell().launching = enabled;
}

void setProcessArguments(const std::vector<std::wstring>& arguments) {
    ShellState& shell = lf_shell();
    std::lock_guard lock(shell.mutex);
    shell.arguments = arguments;
    std::wstring line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0)
            line += L' ';
        // The program name is never escaped, only quoted when it holds a blank.
        line +=
            i == 0 ? (arguments[0].find_first_of(L" \t") == std::wstring::npos ? arguments[0]
                                                                               : L"\"" + arguments[0] + L"\"")
                   : lf_quoteArgument(arguments[i]);
    }
    shell.commandLine.assign(line.begin(), line.end());
    shell.commandLine.push_back(L'\0');
}

void registerStringResource(UINT id, const std::wstring& text) {
    ShellState& shell = lf_shell();
    std::lock_guard lock(shell.mutex);
    shell.strings[id] = text;
}

void registerIconResource(UINT id) {
    ShellState& shell = lf_shell();
    std::lock_guard lock(shell.mutex);
    shell.icons[id] = reinterpret_cast<HICON>(iconBase + id * 0x10);
}

std::vector<MessageBoxCall> messageBoxCalls() {
    ShellState& shell = lf_shell();
    std::lock_guard lock(shell.mutex);
    return shell.messageBoxes;
}

std::vector<ShellExecuteCall> shellExecuteCalls() {
    ShellState& shell = lf_shell();
    std::lock_guard lock(shell.mutex);
    return shell.shellCalls;
}

void clearRecordedCalls() {
    ShellState& shell = lf_shell();
    std::lock_guard lock(shell.mutex);
    shell.messageBoxes.clear();
    shell.shellCalls.clear();
}

} // namespace kvr::standin

using namespace kvr::standin;

HMODULE WINAPI GetModuleHandleW(LPCWSTR moduleName) {
    return moduleName ? nullptr : reinterpret_cast<HMODULE>(moduleHandle);
}

// The resource table belongs to the program's own module.
bool lf_isProgramModule(HINSTANCE instance) {
    return !instance || instance == reinterpret_cast<HINSTANCE>(moduleHandle);
}

int WINAPI LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int bufferMax) {
    ShellState& shell = lf_shell();
    std::lock_guard lock(shell.mutex);
    const auto it = shell.strings.find(id);
    if (!lf_isProgramModule(instance) || it == shell.strings.end() || !buffer || bufferMax <= 0) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return 0;
    }
    const std::size_t count =
        std::min<std::size_t>(it->second.size(), static_cast<std::size_t>(bufferMax - 1));
    std::copy_n(it->second.begin(), count, buffer);
    buffer[count] = L'\0';
    return static_cast<int>(count);
}

HICON WINAPI LoadIconW(HINSTANCE instance, LPCWSTR name) {
    if (!IS_INTRESOURCE(name)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    const auto id = static_cast<UINT>(reinterpret_cast<std::uintptr_t>(name));
    if (!instance)
        return id == standardIconId ? reinterpret_cast<HICON>(iconBase) : nullptr;
    ShellState& shell = lf_shell();
    std::lock_guard lock(shell.mutex);
    const auto it = shell.icons.find(id);
    if (!lf_isProgramModule(instance) || it == shell.icons.end()) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return it->second;
}

HCURSOR WINAPI LoadCursorW(HINSTANCE instance, LPCWSTR name) {
    if (instance || name != IDC_ARROW) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<HCURSOR>(arrowCursor);
}

int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    ShellState& shell = lf_shell();
    std::lock_guard lock(shell.mutex);
    shell.messageBoxes.push_back(
        MessageBoxCall{owner, gf_toUtf8(text ? text : L""), gf_toUtf8(caption ? caption : L"Error"), type});
    return IDOK;
}

HINSTANCE WINAPI ShellExecuteW(HWND, LPCWSTR operation, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory,
                               INT showCommand) {
    const std::string fileText = gf_toUtf8(file ? file : L"");
    std::filesystem::path target = fileText;
    if (directory && *directory && target.is_relative())
        target = std::filesystem::path(gf_toUtf8(directory)) / target;
    std::error_code ec;
    const bool exists = !fileText.empty() && std::filesystem::exists(target, ec);
    // Values above 32 mean success; ERROR_FILE_NOT_FOUND is what Win32 answers for a missing file.
    const std::intptr_t result = exists ? 42 : static_cast<std::intptr_t>(ERROR_FILE_NOT_FOUND);
    ShellState& shell = lf_shell();
    {
        std::lock_guard lock(shell.mutex);
        shell.shellCalls.push_back(ShellExecuteCall{
            gf_toUtf8(operation ? operation : L""), fileText, gf_toUtf8(parameters ? parameters : L""),
            gf_toUtf8(directory ? directory : L""), showCommand, result});
    }
    if (exists && shell.launching && lf_onPath("xdg-open"))
        lf_launchXdgOpen(target.string());
    return reinterpret_cast<HINSTANCE>(result);
}

LPWSTR WINAPI GetCommandLineW() {
    ShellState& shell = lf_shell();
    std::lock_guard lock(shell.mutex);
    return shell.commandLine.data();
}

LPWSTR* WINAPI CommandLineToArgvW(LPCWSTR commandLine, int* argCount) {
    if (!commandLine || !argCount) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::vector<std::wstring> arguments = gf_splitCommandLine(commandLine);
    if (!*commandLine) {
        ShellState& shell = lf_shell();
        std::lock_guard lock(shell.mutex);
        arguments = {shell.arguments.empty() ? std::wstring() : shell.arguments.front()};
    }
    // One block, as Win32 returns it: the pointer table followed by the texts; LocalFree frees it.
    std::size_t size = (arguments.size() + 1) * sizeof(LPWSTR);
    for (const auto& argument : arguments)
        size += (argument.size() + 1) * sizeof(wchar_t);
    auto* block = static_cast<unsigned char*>(std::malloc(size));
    if (!block)
        return nullptr;
    auto** table = reinterpret_cast<LPWSTR*>(block);
    auto* text = reinterpret_cast<wchar_t*>(block + (arguments.size() + 1) * sizeof(LPWSTR));
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        table[i] = text;
        std::copy(arguments[i].begin(), arguments[i].end(), text);
        text += arguments[i].size();
        *text++ = L'\0';
    }
    table[arguments.size()] = nullptr;
    *argCount = static_cast<int>(arguments.size());
    return table;
}

HLOCAL WINAPI LocalFree(HLOCAL memory) {
    std::free(memory);
    return nullptr;
}

int _wcsicmp(const wchar_t* a, const wchar_t* b) {
    for (;; ++a, ++b) {
        const auto ca = std::towlower(static_cast<wint_t>(*a));
        const auto cb = std::towlower(static_cast<wint_t>(*b));
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca == 0)
            return 0;
    }
}

MMRESULT WINAPI timeBeginPeriod(UINT) {
    return TIMERR_NOERROR;
}
MMRESULT WINAPI timeEndPeriod(UINT) {
    return TIMERR_NOERROR;
}
