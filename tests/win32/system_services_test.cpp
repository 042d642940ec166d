#include "platform/win32/shell_internal.h"
#include "platform/win32/standin.h"
#include "platform/win32/win32.h"
#include "support/file_text.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace kvr::test {
namespace {

class NamedMutexTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("XDG_RUNTIME_DIR", folder.path().c_str(), 1); }
    TempFolder folder;
};

TEST_F(NamedMutexTest, SecondCreatorGetsAlreadyExistsInThisAndInAnotherProcess) {
    HANDLE first = CreateMutexA(nullptr, FALSE, "Local\\$Vantrel$");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_TRUE(std::filesystem::exists(folder / "Local_$Vantrel$.lock"));

    HANDLE second = CreateMutexA(nullptr, FALSE, "Local\\$Vantrel$");
    EXPECT_NE(second, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);

    const pid_t child = fork();
    if (child == 0) {
        CreateMutexA(nullptr, FALSE, "Local\\$Vantrel$");
        _exit(GetLastError() == ERROR_ALREADY_EXISTS ? 3 : 4);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 3);

    HANDLE other = CreateMutexA(nullptr, FALSE, "Local\\$Other$");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS) << "other names are other mutexes";
    CloseHandle(other);
    CloseHandle(second);
    EXPECT_TRUE(CloseHandle(first));
    EXPECT_FALSE(CloseHandle(first));
    CreateMutexA(nullptr, FALSE, "Local\\$Vantrel$");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS) << "free again once its holder closed it";
}

TEST(Resources, StringsAreCutToTheBufferAndUnknownIdsFail) {
    standin::registerStringResource(101, L"Vantrel");
    standin::registerIconResource(100);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WCHAR buffer[100] = {};
    EXPECT_EQ(LoadStringW(instance, 101, buffer, 100), 7);
    EXPECT_STREQ(buffer, L"Vantrel");
    WCHAR small[4] = {};
    EXPECT_EQ(LoadStringW(instance, 101, small, 4), 3);
    EXPECT_STREQ(small, L"Van");
    EXPECT_EQ(LoadStringW(instance, 102, buffer, 100), 0);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
    EXPECT_NE(LoadIconW(instance, MAKEINTRESOURCEW(100)), nullptr);
    EXPECT_EQ(LoadIconW(instance, MAKEINTRESOURCEW(99)), nullptr);
    EXPECT_NE(LoadCursorW(nullptr, IDC_ARROW), nullptr);
}

TEST(Shell, MessageBoxesAndShellCallsAreRecordedWithTheWin32Results) {
    TempFolder folder;
    writeFileText(folder / "tblo.zip", "zip");
    standin::clearRecordedCalls();
    EXPECT_EQ(
        MessageBoxW(nullptr, L"Could not open File Explorer at tblo.zip.", L"Vantrel", MB_ICONEXCLAMATION),
        IDOK);
    const auto existing = (folder / "tblo.zip").wstring();
    const auto found = ShellExecuteW(nullptr, L"open", existing.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    const auto missing =
        ShellExecuteW(nullptr, L"open", L"tblo.zip", nullptr, folder.path().wstring().c_str(), SW_SHOWNORMAL);
    const auto absent = ShellExecuteW(nullptr, L"open", L"nothing.zip", nullptr,
                                      folder.path().wstring().c_str(), SW_SHOWNORMAL);
    EXPECT_GT(reinterpret_cast<std::intptr_t>(found), 32);
    EXPECT_GT(reinterpret_cast<std::intptr_t>(missing), 32)
        << "a relative file is looked up in the directory";
    EXPECT_EQ(reinterpret_cast<std::intptr_t>(absent), 2);
    const auto boxes = standin::messageBoxCalls();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Could not open File Explorer at tblo.zip.");
    EXPECT_EQ(boxes[0].caption, "Vantrel");
    EXPECT_EQ(boxes[0].type, MB_ICONEXCLAMATION);
    const auto calls = standin::shellExecuteCalls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].operation, "open");
    EXPECT_EQ(calls[2].result, 2);
}

std::vector<std::wstring> split(const wchar_t* line) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(line, &count);
    std::vector<std::wstring> result(arguments, arguments + count);
    EXPECT_EQ(arguments[count], nullptr);
    LocalFree(arguments);
    return result;
}

TEST(CommandLine, SplitsByTheWin32RulesForQuotesAndBackslashes) {
    EXPECT_EQ(split(L"vantrel.exe /PRODUCTION   --no-production"),
              (std::vector<std::wstring>{L"vantrel.exe", L"/PRODUCTION", L"--no-production"}));
    EXPECT_EQ(split(L"\"C:\\Program Files\\v.exe\" \"a b\" c\\\\\"d e\" f\\\"g h\\i"),
              (std::vector<std::wstring>{L"C:\\Program Files\\v.exe", L"a b", L"c\\d e", L"f\"g", L"h\\i"}));
    EXPECT_EQ(split(L"v \"say \"\"hi\"\"\" \"\""), (std::vector<std::wstring>{L"v", L"say \"hi\"", L""}));
}

TEST(CommandLine, ProcessArgumentsRoundTripThroughGetCommandLine) {
    const std::vector<std::wstring> arguments{L"/opt/Vantrel/vantrel", L"--production", L"with blank",
                                              L"quote\"inside",        L"ends\\",       L""};
    standin::setProcessArguments(arguments);
    EXPECT_EQ(split(GetCommandLineW()), arguments);
    EXPECT_EQ(_wcsicmp(L"/Production", L"/production"), 0);
    EXPECT_NE(_wcsicmp(L"/productions", L"/production"), 0);
}

} // namespace
} // namespace kvr::test
