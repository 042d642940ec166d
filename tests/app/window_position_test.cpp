#include "app_fixture.h"

namespace kvr::test {
namespace {

using WindowPosition = MainWindowTest;

RECT rectOf(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return rect;
}

TEST_F(WindowPosition, WithoutParametersTheWindowOpensAtTheDefaults) {
    ASSERT_TRUE(openWindow());
    const RECT rect = rectOf(window());
    EXPECT_EQ(rect.left, 400);
    EXPECT_EQ(rect.top, 20);
    EXPECT_EQ(rect.right - rect.left, 880);
    EXPECT_EQ(rect.bottom - rect.top, 516);
    EXPECT_EQ(GetWindowLongPtrW(window(), GWL_STYLE) &
                  (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX),
              static_cast<LONG_PTR>(WS_CAPTION | WS_SYSMENU));
    EXPECT_FALSE(std::filesystem::exists(parametersFilePath)) << "only the run thread writes a new file";
}

TEST_F(WindowPosition, StoredValuesAtOrBeyondTheLimitsFallBackToTheDefaultsAndAreSaved) {
    writeParameters(
        R"(<parameter name="MAIN_WINDOW_X" value="30000"/><parameter name="MAIN_WINDOW_Y" value="-45000"/>)");
    ASSERT_TRUE(openWindow());
    EXPECT_EQ(rectOf(window()).left, 400);
    EXPECT_EQ(rectOf(window()).top, 20);
    EXPECT_EQ(storedValue("MAIN_WINDOW_X"), "400");
    EXPECT_EQ(storedValue("MAIN_WINDOW_Y"), "20");
}

TEST_F(WindowPosition, StoredValuesInsideTheLimitsAreKept) {
    writeParameters(
        R"(<parameter name="MAIN_WINDOW_X" value="-29999"/><parameter name="MAIN_WINDOW_Y" value="712"/>)");
    ASSERT_TRUE(openWindow());
    EXPECT_EQ(rectOf(window()).left, -29999);
    EXPECT_EQ(rectOf(window()).top, 712);
    EXPECT_EQ(storedValue("MAIN_WINDOW_X"), "-29999");
}

TEST_F(WindowPosition, AValueMissingFromAReadableFileTakesTheDefault) {
    MAIN_WINDOW_Y.setValue(5000);
    writeParameters(R"(<parameter name="MAIN_WINDOW_X" value="17"/>)");
    ASSERT_TRUE(openWindow());
    EXPECT_EQ(rectOf(window()).left, 17);
    EXPECT_EQ(rectOf(window()).top, 20);
}

TEST_F(WindowPosition, AnUnparsableFileIsKeptAsParameters0AndRemoved) {
    writeFileText(parametersFilePath, "<root><parameters><parameter name=\"MAIN_WINDOW_X\" value=\"17\"");
    ASSERT_TRUE(openWindow());
    EXPECT_EQ(rectOf(window()).left, 400);
    EXPECT_FALSE(std::filesystem::exists(parametersFilePath));
    EXPECT_EQ(readFileText(appDataFolder / "parameters0.xml"),
              "<root><parameters><parameter name=\"MAIN_WINDOW_X\" value=\"17\"");
    EXPECT_NE(logText().find("==> " + parametersFilePath.string() +
                             " failed to load, syntax error?\n --> saved as 0.xml,  file removed\n"),
              std::string::npos);
}

TEST_F(WindowPosition, AnUnparsableFileWhoseCopyFailsIsKeptAndNotWrittenOver) {
    const std::string broken = "<root><parameters><parameter name=\"MAIN_WINDOW_X\" value=\"17\"";
    writeFileText(parametersFilePath, broken);
    std::filesystem::create_directories(appDataFolder / "parameters0.xml"); // the copy cannot be written
    ASSERT_TRUE(openWindow());
    EXPECT_EQ(rectOf(window()).left, 400);
    PostMessageW(window(), WM_APP_STORE_QUIT, 0, 0);
    standin::pumpMessages();
    EXPECT_EQ(readFileText(parametersFilePath), broken) << "the only copy of the user's settings";
    EXPECT_NE(logText().find(parametersFilePath.string() +
                             " failed to load, syntax error?\n --> "
                             "not copied to 0.xml, so kept; default values used\n"),
              std::string::npos);
}

TEST_F(WindowPosition, QuittingStoresTheMovedPosition) {
    ASSERT_TRUE(openWindow());
    SetWindowPos(window(), nullptr, 123, -45, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendMessageW(window(), WM_APP_STORE_QUIT, 0, 0);
    EXPECT_EQ(storedValue("MAIN_WINDOW_X"), "123");
    EXPECT_EQ(storedValue("MAIN_WINDOW_Y"), "-45");
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
}

TEST_F(WindowPosition, QuittingWhileMinimisedKeepsThePreviousPosition) {
    writeParameters(
        R"(<parameter name="MAIN_WINDOW_X" value="250"/><parameter name="MAIN_WINDOW_Y" value="60"/>)");
    ASSERT_TRUE(openWindow());
    ShowWindow(window(), SW_MINIMIZE);
    exitCode = 7;
    SendMessageW(window(), WM_APP_STORE_QUIT, 0, 0);
    EXPECT_EQ(storedValue("MAIN_WINDOW_X"), "250");
    EXPECT_EQ(storedValue("MAIN_WINDOW_Y"), "60");
    EXPECT_EQ(MAIN_WINDOW_X.value(), 250);
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(static_cast<int>(msg.wParam), 7) << "the process ends with the stored exit code";
}

} // namespace
} // namespace kvr::test
