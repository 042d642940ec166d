// The login and the logout against vantrel-standin.
#include "traffic_service/client_fixture.h"

#include "core/user_error.h"

namespace kvr {
namespace {

using test::ClientFixture;

class Login : public ClientFixture {};

// Whether the stand-in still knows a session (asked past the global stop).
long lf_sessionStatus(const std::string& guid) {
    ServiceClient client(nullptr, StopScope::flagOnly);
    return client.post("/v4/nearestmetar", {{"guid", guid}, {"lat", "52.3"}, {"lon", "4.7"}}).status;
}

TEST_F(Login, ShowsTheAccountAndTheLogoutEndsTheSessionEvenAfterTheStop) {
    startStandin();
    RT_KEY.setValue("demo-key");
    login();
    const std::string guid = trafficReader.guid();
    EXPECT_EQ(weatherReader.guid(), guid);
    EXPECT_TRUE(statusDisplay.authenticated);
    EXPECT_EQ(statusDisplay.texts().accountLine, "Demo subscriber, valid until 2027-12-31");
    EXPECT_EQ(lf_sessionStatus(guid), 200);

    gf_requestExit(ExitReason::newSettings, 3); // closing down logs out after the stop request
    deauthenticate(trafficReader);
    EXPECT_FALSE(trafficReader.hasGuid());
    EXPECT_FALSE(weatherReader.hasGuid());
    EXPECT_FALSE(statusDisplay.authenticated);
    EXPECT_TRUE(statusDisplay.texts().accountLine.empty());
    EXPECT_EQ(lf_sessionStatus(guid), 401) << "the service has forgotten the session";
}

TEST_F(Login, RefusalsAreShownAndThrownWithTheirCodeAfterTheDelay) {
    startStandin();
    for (const auto& [key, code] : std::vector<std::pair<std::string, int>>{
             {"expired-key", 402}, {"unknown-key", 404}, {"in-use-key", 405}}) {
        gf_clearMessageAndError();
        RT_KEY.setValue(key);
        const auto started = std::chrono::steady_clock::now();
        try {
            gf_authenticater();
            ADD_FAILURE() << key << " was accepted";
        } catch (const UserErrorException& e) {
            EXPECT_EQ(e.code(), code);
            EXPECT_EQ(gf_messageLineSnapshot().messageText, e.text()) << "the user saw the text first";
            EXPECT_GE(std::chrono::steady_clock::now() - started, gf_serviceTimings().refusalDelay);
        }
        EXPECT_FALSE(trafficReader.hasGuid());
        EXPECT_FALSE(stopRequested);
    }
    RT_KEY.setValue("broken-database-key");
    try {
        gf_authenticater();
        ADD_FAILURE() << "500 was accepted";
    } catch (const UserErrorException&) {
        ADD_FAILURE() << "500 is not the user's to fix";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "No RT database connection");
    }
}

TEST_F(Login, AnyOtherFailureEndsTheSessionForARestart) {
    startStandin();
    RT_KEY.setValue("teapot-key");
    EXPECT_NO_THROW(gf_authenticater());
    EXPECT_EQ(exitReason.load(), ExitReason::readerError);
    EXPECT_EQ(restartDelaySeconds.load(), 15);
    EXPECT_EQ(gf_messageLineSnapshot().messageText, "The Authenticater has stopped with an error");

    gf_resetStopState();
    gf_clearMessageAndError();
    standin->stop(); // nobody listens any more
    RT_KEY.setValue("demo-key");
    EXPECT_NO_THROW(gf_authenticater());
    EXPECT_EQ(exitReason.load(), ExitReason::readerError);
    EXPECT_FALSE(trafficReader.hasGuid());
}

} // namespace
} // namespace kvr
