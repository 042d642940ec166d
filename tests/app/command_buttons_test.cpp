#include "app/commands_internal.h"
#include "app/control_state.h"
#include "commands_fixture.h"

#include <unistd.h>

namespace kvr::test {
namespace {

using Buttons = CommandsTest;

TEST_F(Buttons, BlockAndUnblockTheChosenCallsign) {
    clickOn(unblockButton);
    EXPECT_EQ(message(), "Nothing to block or unblock...");
    EXPECT_FALSE(enabled(blockButton)) << "no callsign chosen";
    EXPECT_FALSE(blockedCallsignChanged);

    CALLSIGN_2_OBJECTID.setValue("KLM1234");
    statusDisplay.changeTexts([](StatusTexts& t) { t.objectIdText = "= 77"; });
    gf_enableControl(blockButton);
    gf_disableControl(unblockButton);
    clickOn(blockButton);
    EXPECT_EQ(BLOCK_CALLSIGN.value(), "KLM1234");
    EXPECT_EQ(storedValue("BLOCK_CALLSIGN"), "KLM1234");
    EXPECT_EQ(boxText(BLOCK_CALLSIGN), "KLM1234");
    EXPECT_TRUE(enabled(unblockButton));
    EXPECT_FALSE(enabled(blockButton));
    EXPECT_TRUE(blockedCallsignChanged);
    EXPECT_EQ(CALLSIGN_2_OBJECTID.value(), "") << "the blocked aircraft is no longer followed";
    EXPECT_EQ(statusDisplay.texts().objectIdText, "");
    EXPECT_TRUE(callsignSelectionResetRequested);

    blockedCallsignChanged = false;
    CALLSIGN_2_OBJECTID.setValue("DLH5");
    clickOn(unblockButton);
    EXPECT_EQ(BLOCK_CALLSIGN.value(), "");
    EXPECT_EQ(storedValue("BLOCK_CALLSIGN"), "");
    EXPECT_EQ(boxText(BLOCK_CALLSIGN), "");
    EXPECT_FALSE(enabled(unblockButton));
    EXPECT_TRUE(enabled(blockButton));
    EXPECT_TRUE(blockedCallsignChanged);
    EXPECT_TRUE(logged("no more blocking of live aircraft 'KLM1234'"));
}

TEST_F(Buttons, BlockWithoutAChosenCallsignBlocksNothing) {
    clickOn(blockButton);
    EXPECT_EQ(BLOCK_CALLSIGN.value(), "");
    EXPECT_FALSE(blockedCallsignChanged);
    EXPECT_FALSE(enabled(blockButton));
}

TEST_F(Buttons, RequestButtonsRaiseTheirFlagsAndWaitForTheRunThread) {
    clickOn(csToOidButton);
    EXPECT_TRUE(csToOidRequested);
    EXPECT_FALSE(enabled(blockButton));

    clickOn(reReadButton);
    EXPECT_TRUE(reReadRequested);
    EXPECT_FALSE(enabled(reReadButton));
    EXPECT_FALSE(enabled(DESTINATION));

    clickOn(flushStaticButton);
    EXPECT_TRUE(flushStaticRequested);
    EXPECT_FALSE(enabled(flushStaticButton));
    EXPECT_EQ(message(), "All static parked aircraft will be removed ...");
}

TEST_F(Buttons, NowSchedulesStaticParkingOnlyWithAParkAirportAndWithoutInitialLoadOnly) {
    clickOn(nowButton);
    EXPECT_FALSE(staticParkingCountdownRequested) << "no park airport loaded";

    parkAirportLoaded = true;
    INITIAL_LOAD_ONLY.setValue(true);
    gf_showMessage("waiting");
    clickOn(nowButton);
    EXPECT_EQ(message(), "");
    EXPECT_FALSE(staticParkingCountdownRequested);

    INITIAL_LOAD_ONLY.setValue(false);
    statusDisplay.minutesToStaticUpdate = 3;
    clickOn(nowButton);
    EXPECT_TRUE(staticParkingCountdownRequested);
    EXPECT_FALSE(controlsBusy) << "the run thread brackets the update";
    EXPECT_EQ(statusDisplay.minutesToStaticUpdate, 20);
}

TEST_F(Buttons, TbloOpensTheZipOrSaysItCannot) {
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    EXPECT_FALSE(lf_HandleWMCOMMAND(window(), MAKEWPARAM(tbloButton.controlId, BN_CLICKED)));
    const auto boxes = standin::messageBoxCalls();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_EQ(boxes[0].text, "Could not open File Explorer at tblo.zip.");
    EXPECT_EQ(boxes[0].caption, "Vantrel");
    EXPECT_EQ(boxes[0].type, MB_ICONEXCLAMATION);

    std::filesystem::create_directories(folder / "tblo");
    writeFileText(folder / "tblo" / "tblo.zip", "PK");
    const bool opened = lf_HandleWMCOMMAND(window(), MAKEWPARAM(tbloButton.controlId, BN_CLICKED));
    std::filesystem::current_path(previous);
    const auto shell = standin::shellExecuteCalls();
    ASSERT_EQ(shell.size(), 1u);
    EXPECT_EQ(shell[0].operation, "open");
    EXPECT_EQ(shell[0].file, (folder / "tblo" / "tblo.zip").string());
    EXPECT_EQ(opened, shell[0].result > 32);
}

TEST_F(Buttons, AMissingHookIsReportedOnce) {
    gf_installCommandHooks({});
    std::filesystem::create_directories(folder / "sim" / "Community");
    enter(ALL_INSTALL_PATH, (folder / "sim").string());
    enter(ALL_INSTALL_PATH, (folder / "sim").string());
    const std::string log = logText();
    const std::string line = "Restart for a new Community path is not available in this build\n";
    const auto first = log.find(line);
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(log.find(line, first + 1), std::string::npos);
}

} // namespace
} // namespace kvr::test
