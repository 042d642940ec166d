// vantrel-standin over loopback: accounts, sessions, traffic, weather, the clock and the faults.
#include "standins/service/faults.h"
#include "support/file_text.h"
#include "support/standin_process.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <set>

namespace kvr::standin {
namespace {

using Json = nlohmann::json;
constexpr const char* startEpoch = "1796618766";

std::string lf_scenario() {
    return std::string(VANTREL_SOURCE_DIR) + "/scenarios/traffic/eham.json";
}

class Service {
public:
    explicit Service(std::vector<std::string> extra = {})
        : process_(lf_arguments(std::move(extra))), client_("127.0.0.1", process_.port()) {
        client_.set_read_timeout(10, 0);
    }
    httplib::Result post(const std::string& path, const httplib::Params& params) {
        return client_.Post(path.c_str(), params);
    }
    std::string login(const std::string& key = "") {
        auto reply = post("/v4/auth", {{"key", key}});
        return Json::parse(reply->body).at("guid").get<std::string>();
    }
    httplib::Params box(const std::string& guid, const std::string& type) {
        return {{"guid", guid},      {"querytype", type}, {"lat_min", "51.6"},
                {"lat_max", "53.0"}, {"lon_min", "3.6"},  {"lon_max", "5.9"}};
    }
    test::StandinProcess& process() { return process_; }

private:
    static std::vector<std::string> lf_arguments(std::vector<std::string> extra) {
        std::vector<std::string> all{"--scenario", lf_scenario(), "--start-epoch", startEpoch};
        all.insert(all.end(), extra.begin(), extra.end());
        return all;
    }
    test::StandinProcess process_;
    httplib::Client client_;
};

TEST(StandinService, AccountsAreAcceptedRefusedOrBroken) {
    Service service;
    auto ok = service.post("/v4/auth", {{"key", "demo-key"}, {"app", "Vantrel"}});
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->status, 200);
    const Json answer = Json::parse(ok->body);
    EXPECT_EQ(answer.at("account"), "Demo subscriber, valid until 2027-12-31");
    EXPECT_EQ(answer.at("guid").get<std::string>().size(), 36u);
    for (const auto& [key, status] : std::vector<std::pair<std::string, int>>{
             {"expired-key", 402}, {"no-such-key", 404}, {"in-use-key", 405}, {"broken-database-key", 500}})
        EXPECT_EQ(service.post("/v4/auth", {{"key", key}})->status, status) << key;
    EXPECT_NE(service.login(), service.login()) << "every login gets its own session";
}

TEST(StandinService, SessionsAreNeededAndEndWithTheLogout) {
    Service service;
    EXPECT_EQ(service.post("/v4/traffic", service.box("made-up", "locationtraffic"))->status, 401);
    const std::string guid = service.login();
    EXPECT_EQ(service.post("/v4/traffic", service.box(guid, "locationtraffic"))->status, 200);
    EXPECT_EQ(service.post("/v4/traffic", service.box(guid, "departures"))->status, 400);
    auto noBox = service.box(guid, "locationtraffic");
    noBox.erase("lat_max");
    EXPECT_EQ(service.post("/v4/traffic", noBox)->status, 400);
    EXPECT_EQ(service.post("/v4/deauth", {{"guid", guid}})->status, 200);
    EXPECT_EQ(service.post("/v4/traffic", service.box(guid, "locationtraffic"))->status, 401);
    EXPECT_EQ(service.post("/v4/deauth", {{"guid", guid}})->status, 401);
}

TEST(StandinService, TrafficArraysHoldFortyEightValuesAndTheOffsetReplaysThePast) {
    Service service;
    const std::string guid = service.login();
    const Json now = Json::parse(service.post("/v4/traffic", service.box(guid, "locationtraffic"))->body);
    ASSERT_GT(now.at("data").size(), 5u);
    for (const auto& values : now.at("data")) {
        ASSERT_EQ(values.size(), 48u);
        EXPECT_EQ(values[0].get<std::string>().size(), 6u);
        EXPECT_LE(values[9].get<double>(), now.at("now").get<double>() + 1.0);
    }
    auto past = service.box(guid, "locationtraffic");
    past.emplace("toffset", "120");
    const Json earlier = Json::parse(service.post("/v4/traffic", past)->body);
    EXPECT_NEAR(now.at("now").get<double>() - earlier.at("now").get<double>(), 7200.0, 5.0);
    for (const auto& values : earlier.at("data"))
        EXPECT_LT(values[9].get<double>(), now.at("now").get<double>() - 7000.0);

    auto buffered = service.box(guid, "locationtraffic");
    buffered.emplace("buffer", "1");
    const Json history = Json::parse(service.post("/v4/traffic", buffered)->body);
    EXPECT_GT(history.at("data").size(), now.at("data").size() * 5);

    const Json parked = Json::parse(service.post("/v4/traffic", service.box(guid, "parkedtraffic"))->body);
    std::set<std::string> stands;
    for (const auto& values : parked.at("data")) {
        EXPECT_EQ(values[8], 1);
        EXPECT_TRUE(stands.insert(values[22].get<std::string>()).second);
        EXPECT_LT(values[23].get<double>(), parked.at("now").get<double>());
    }
    EXPECT_GT(stands.size(), 5u);
}

TEST(StandinService, ClockRunsFromTheStartEpochAtTheGivenSpeed) {
    Service service({"--speed", "100"});
    const std::string guid = service.login();
    const double first =
        Json::parse(service.post("/v4/traffic", service.box(guid, "locationtraffic"))->body).at("now");
    EXPECT_NEAR(first, 1796618766.0, 300.0);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const double second =
        Json::parse(service.post("/v4/traffic", service.box(guid, "locationtraffic"))->body).at("now");
    EXPECT_GE(second - first, 25.0);
    EXPECT_LE(second - first, 100.0);
}

TEST(StandinService, WeatherComesFromTheNearestStation) {
    Service service;
    const std::string guid = service.login();
    auto nearest = service.post("/v4/nearestmetar", {{"guid", guid}, {"lat", "52.0"}, {"lon", "4.45"}});
    EXPECT_EQ(Json::parse(nearest->body).at("station"), "EHRD");
    const Json weather =
        Json::parse(service.post("/v4/weather", {{"guid", guid}, {"station", "EHAM"}})->body);
    EXPECT_EQ(weather.at("qnh"), 1018);
    EXPECT_NE(weather.at("metar").get<std::string>().find("Q1018"), std::string::npos);
    EXPECT_EQ(service.post("/v4/weather", {{"guid", guid}, {"station", "XXXX"}})->status, 404);
    EXPECT_EQ(service.post("/v4/nearestmetar", {{"guid", guid}})->status, 400);
}

TEST(StandinService, FieldsOutsideTheirRangesAreRefusedWith400) {
    Service service;
    const std::string guid = service.login();
    const auto status = [&](const std::string& path, const httplib::Params& fields) {
        const auto reply = service.post(path, fields);
        return reply ? reply->status : -1;
    };
    const auto withField = [](httplib::Params fields, const std::string& name, const std::string& value) {
        fields.erase(name);
        fields.emplace(name, value);
        return fields;
    };
    const auto traffic = service.box(guid, "locationtraffic");
    for (const char* offset : {"99999999999999999999", "2000000000", "527041"})
        EXPECT_EQ(status("/v4/traffic", withField(traffic, "toffset", offset)), 400) << offset;
    EXPECT_EQ(status("/v4/traffic", withField(service.box(guid, "parkedtraffic"), "lat_min", "-91")), 400);
    EXPECT_EQ(status("/v4/nearestmetar", {{"guid", guid}, {"lat", "1e300"}, {"lon", "4.7"}}), 400);
    EXPECT_EQ(status("/v4/nearestmetar", {{"guid", guid}, {"lat", "52.3"}, {"lon", "-180.5"}}), 400);
    EXPECT_EQ(status("/v4/traffic", withField(traffic, "toffset", "527040")), 200)
        << "366 days back is served";
}

TEST(StandinService, FaultsBreakRepliesInEachWay) {
    {
        Service service({"--faults", "malformed=1,only=traffic"});
        const std::string guid = service.login();
        auto reply = service.post("/v4/traffic", service.box(guid, "locationtraffic"));
        EXPECT_EQ(reply->status, 200);
        EXPECT_TRUE(Json::parse(reply->body, nullptr, false).is_discarded());
        EXPECT_EQ(service.post("/v4/weather", {{"guid", guid}, {"station", "EHAM"}})->status, 200)
            << "only traffic";
    }
    {
        Service service({"--faults", "drop=1"});
        const std::string guid = service.login();
        auto reply = service.post("/v4/traffic", service.box(guid, "locationtraffic"));
        EXPECT_FALSE(reply && reply->body.size() == 1000) << "the promised body never comes";
    }
    {
        Service service({"--faults", "5xx=1,after=1"});
        const std::string guid = service.login();
        EXPECT_EQ(service.post("/v4/traffic", service.box(guid, "locationtraffic"))->status, 200);
        EXPECT_EQ(service.post("/v4/traffic", service.box(guid, "locationtraffic"))->status, 503);
    }
    {
        Service service({"--faults", "stall=0:600"});
        const std::string guid = service.login();
        EXPECT_TRUE(Json::parse(service.post("/v4/traffic", service.box(guid, "locationtraffic"))->body)
                        .at("data")
                        .empty());
        EXPECT_FALSE(Json::parse(service.post("/v4/traffic", service.box(guid, "parkedtraffic"))->body)
                         .at("data")
                         .empty());
    }
    {
        Service service({"--faults", "slow=1:400,only=weather"});
        const std::string guid = service.login();
        const auto started = std::chrono::steady_clock::now();
        service.post("/v4/weather", {{"guid", guid}, {"station", "EHAM"}});
        EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(390));
    }
}

TEST(StandinService, RefusesBadArgumentsAndStopsOnSigterm) {
    EXPECT_THROW(test::StandinProcess({"--faults", "5xx=2"}), std::runtime_error);
    EXPECT_THROW(test::StandinProcess({"--scenario", "/nonexistent/scenario.json"}), std::runtime_error);
    Service service;
    EXPECT_EQ(service.process().stop(), 0);
}

TEST(FaultSpec, ParsesEveryFaultAndRefusesNonsense) {
    FaultSpec spec;
    EXPECT_FALSE(gf_parseFaultSpec("5xx=0.2,slow=0.1:1500,malformed=0.05,drop=0.05,status=401:0.1,stall=30:"
                                   "10,only=traffic,seed=7,after=3",
                                   spec));
    EXPECT_DOUBLE_EQ(spec.serverErrorShare, 0.2);
    EXPECT_EQ(spec.slowMilliseconds, 1500);
    EXPECT_EQ(spec.statusCode, 401);
    EXPECT_DOUBLE_EQ(spec.stallDurationS, 10.0);
    EXPECT_EQ(spec.only, "traffic");
    EXPECT_EQ(spec.after, 3);
    for (const char* bad : {"5xx=1.5", "slow=0.1", "status=99:0.1", "only=everything", "what=1", "5xx",
                            "stall=-1:5", "5xx=0.6,drop=0.6"}) {
        FaultSpec other;
        EXPECT_TRUE(gf_parseFaultSpec(bad, other)) << bad;
    }
}

TEST(FaultSpec, InjectorDrawsTheSharesRepeatably) {
    FaultSpec spec;
    ASSERT_FALSE(gf_parseFaultSpec("5xx=0.3,drop=0.2,seed=11", spec));
    FaultInjector a(spec), b(spec);
    int errors = 0, drops = 0;
    for (int i = 0; i < 2000; ++i) {
        const auto kind = a.decide("traffic").kind;
        EXPECT_EQ(kind, b.decide("traffic").kind);
        errors += kind == FaultKind::serverError;
        drops += kind == FaultKind::drop;
    }
    EXPECT_NEAR(errors, 600, 80);
    EXPECT_NEAR(drops, 400, 70);
    EXPECT_TRUE(FaultInjector(FaultSpec{.stallStartS = 5, .stallDurationS = 2}).stalled(6.0));
    EXPECT_FALSE(FaultInjector(FaultSpec{.stallStartS = 5, .stallDurationS = 2}).stalled(7.5));
}

} // namespace
} // namespace kvr::standin
