#include "app/edit_box_entries.h"
#include "app/edit_box_entries_internal.h"
#include "commands_fixture.h"
#include "refdata/airport_table.h"

namespace kvr::test {
namespace {

using EditBoxes = CommandsTest;

TEST_F(EditBoxes, CallsignsAreCheckedUpperCasedAndBlocked) {
    enter(BLOCK_CALLSIGN, "klm1");
    EXPECT_EQ(BLOCK_CALLSIGN.value(), "KLM1");
    EXPECT_EQ(storedValue("BLOCK_CALLSIGN"), "KLM1");
    EXPECT_EQ(boxText(BLOCK_CALLSIGN), "KLM1") << "Enter never reaches the box";
    EXPECT_TRUE(enabled(unblockButton));
    EXPECT_TRUE(blockedCallsignChanged);

    blockedCallsignChanged = false;
    for (const std::string bad : {"abc", "abcdefghi"}) {
        enter(BLOCK_CALLSIGN, bad);
        EXPECT_EQ(message(), "callsign '" + bad + "' is not valid");
        EXPECT_TRUE(logged("callsign '" + bad + "' is not valid"));
        EXPECT_EQ(boxText(BLOCK_CALLSIGN), "KLM1");
    }
    enter(BLOCK_CALLSIGN, "Klm1");
    EXPECT_EQ(message(), "callsign 'KLM1' was already set ...");
    EXPECT_EQ(boxText(BLOCK_CALLSIGN), "KLM1");
    EXPECT_FALSE(blockedCallsignChanged);

    enter(BLOCK_CALLSIGN, "abcdefgh");
    EXPECT_EQ(BLOCK_CALLSIGN.value(), "ABCDEFGH") << "eight characters are enough";
}

TEST_F(EditBoxes, AnEmptyCallsignUnblocksOnlyWhatIsBlocked) {
    enter(BLOCK_CALLSIGN, "");
    EXPECT_FALSE(blockedCallsignChanged);
    EXPECT_EQ(message(), "");
    EXPECT_FALSE(logged("no more blocking of live aircraft ''"));

    lf_blockCallsign("DLH400");
    blockedCallsignChanged = false;
    enter(BLOCK_CALLSIGN, "");
    EXPECT_EQ(BLOCK_CALLSIGN.value(), "");
    EXPECT_EQ(storedValue("BLOCK_CALLSIGN"), "");
    EXPECT_FALSE(enabled(unblockButton));
    EXPECT_TRUE(blockedCallsignChanged);
    EXPECT_EQ(message(), "no more blocking of live aircraft 'DLH400'");
}

TEST_F(EditBoxes, BlockingTheFollowedCallsignStopsFollowingIt) {
    CALLSIGN_2_OBJECTID.setValue("BAW12");
    enter(BLOCK_CALLSIGN, "baw11");
    EXPECT_EQ(CALLSIGN_2_OBJECTID.value(), "BAW12");
    EXPECT_FALSE(callsignSelectionResetRequested);
    enter(BLOCK_CALLSIGN, "baw12");
    EXPECT_EQ(CALLSIGN_2_OBJECTID.value(), "");
    EXPECT_TRUE(callsignSelectionResetRequested);
    EXPECT_EQ(BLOCK_CALLSIGN.value(), "BAW12");
}

TEST_F(EditBoxes, DestinationsMustBeKnownAirports) {
    airportTable = {Airport{"EDDF", "FRA", "", 50.03, 8.57, 364, 0},
                    Airport{"EHAM", "AMS", "", 52.31, 4.76, -11, 1}};
    enter(DESTINATION, "eham");
    EXPECT_EQ(DESTINATION.value(), "EHAM");
    EXPECT_EQ(storedValue("DESTINATION"), "EHAM");
    EXPECT_EQ(boxText(DESTINATION), "EHAM");
    EXPECT_TRUE(logged("New destination: EHAM"));
    ASSERT_EQ(hooksSeen.destinations.size(), 1u);
    EXPECT_EQ(hooksSeen.destinations[0], std::make_tuple(std::string("EHAM"), 52.31, 4.76));
    EXPECT_FALSE(enabled(reReadButton));

    enter(DESTINATION, "eddfx");
    EXPECT_EQ(message(), "destination 'eddfx' is not valid");
    EXPECT_EQ(boxText(DESTINATION), "EHAM");
    enter(DESTINATION, "zzzz");
    EXPECT_EQ(message(), "destination 'ZZZZ' is unknown ...");
    EXPECT_TRUE(logged("destination 'ZZZZ' is unknown ..."));
    EXPECT_EQ(boxText(DESTINATION), "EHAM");
    enter(DESTINATION, "EHAM");
    EXPECT_EQ(message(), "destination 'EHAM' was already set ...");
    EXPECT_EQ(hooksSeen.destinations.size(), 1u);

    enter(DESTINATION, "");
    EXPECT_EQ(DESTINATION.value(), "");
    EXPECT_EQ(storedValue("DESTINATION"), "EHAM") << "closing down empties the stored one";
    EXPECT_EQ(message(), "destination set to empty");
    EXPECT_TRUE(enabled(reReadButton));
}

class InstallPath : public CommandsTest {
protected:
    void SetUp() override {
        CommandsTest::SetUp();
        std::filesystem::create_directories(folder / "packages" / "Community");
        std::filesystem::create_directories(folder / "elsewhere" / "Community");
        std::filesystem::create_directories(folder / "plain");
    }
    std::string at(const std::string& relative) const { return (folder / relative).string(); }
};

TEST_F(InstallPath, TheFolderAboveCommunityIsStoredAndTheProgramRestarts) {
    gf_showError("Error 53: no Community folder");
    enter(ALL_INSTALL_PATH, at("packages/Community"));
    EXPECT_EQ(gf_messageLineSnapshot().errorText, "");
    EXPECT_EQ(MSFS_INSTALL_PATH.value(), at("packages"));
    EXPECT_EQ(storedValue("MSFS_INSTALL_PATH"), at("packages"));
    EXPECT_EQ(hooksSeen.restarts, 1);

    msfs2020Selected = false;
    enter(ALL_INSTALL_PATH, at("elsewhere"));
    EXPECT_EQ(MSFS_2024_INSTALL_PATH.value(), at("elsewhere")) << "the path as typed";
    EXPECT_EQ(MSFS_INSTALL_PATH.value(), at("packages"));
    enter(ALL_INSTALL_PATH, at("elsewhere") + "/");
    EXPECT_EQ(MSFS_2024_INSTALL_PATH.value(), at("elsewhere") + "/")
        << "an empty last element is not Community";
    enter(ALL_INSTALL_PATH, at("packages") + "\\\\Community");
    EXPECT_EQ(MSFS_2024_INSTALL_PATH.value(), at("packages")) << "either separator, repeated";
    EXPECT_EQ(hooksSeen.restarts, 4);
}

TEST_F(InstallPath, PathsThatLeadNowhereAreExplained) {
    enter(ALL_INSTALL_PATH, at("missing"));
    EXPECT_EQ(message(), "This install path does not exist: " + at("missing"));
    EXPECT_TRUE(logged("This install path does not exist: " + at("missing")));
    enter(ALL_INSTALL_PATH, at("plain"));
    EXPECT_EQ(message(), "This path exists but is not a path to Community ...");
    std::filesystem::create_directories(folder / "plain" / "Community");
    enter(ALL_INSTALL_PATH, at("plain/Community/"));
    EXPECT_EQ(message(), "This path exists but is not a path to Community ...") << "last element empty";
    // A relative Community folder has no parent to store.
    std::filesystem::create_directories(folder / "Community");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    enter(ALL_INSTALL_PATH, "Community");
    std::filesystem::current_path(previous);
    EXPECT_EQ(message(), "This path does not contain a valid Community folder (unexpected).");
    EXPECT_EQ(MSFS_INSTALL_PATH.value(), "");
    EXPECT_EQ(hooksSeen.restarts, 0);
}

TEST_F(InstallPath, AnEmptyEntryForgetsThePathWithoutRestart) {
    MSFS_INSTALL_PATH.setValue(at("packages"));
    gf_saveStringParameter(MSFS_INSTALL_PATH);
    enter(ALL_INSTALL_PATH, "");
    EXPECT_EQ(MSFS_INSTALL_PATH.value(), "");
    EXPECT_EQ(storedValue("MSFS_INSTALL_PATH"), "");
    EXPECT_EQ(hooksSeen.restarts, 0);
}

TEST_F(EditBoxes, AnUnreadableBoxCountsAsEmpty) {
    lf_blockCallsign("KLM1");
    const wchar_t loneSurrogate[] = {static_cast<wchar_t>(0xD800), L'A', L'B', L'C', L'\0'};
    SetWindowTextW(BLOCK_CALLSIGN.windowHandle.load(), loneSurrogate);
    ASSERT_TRUE(standin::pressKey(BLOCK_CALLSIGN.windowHandle.load(), VK_RETURN));
    standin::pumpMessages();
    EXPECT_TRUE(
        logged("==> lf_getTextFromId: UTF-16 UTF-8 failed for id 32828: wide_to_utf8: invalid UTF-16"));
    EXPECT_EQ(BLOCK_CALLSIGN.value(), "") << "the empty text unblocks";
}

} // namespace
} // namespace kvr::test
