#pragma once
// A park airport without threads: stands, static and live aircraft are put into the tables directly, the
// user aircraft and the clock are set, and the parked traffic comes from the test.
#include "core/time_util.h"
#include "engine/sim_port.h"
#include "parking/park_airport.h"
#include "parking/parking_hooks.h"
#include "parking/stand_names.h"
#include "parking/static_parking.h"
#include "parking/static_parking_internal.h"
#include "parking_test_support.h"
#include "simlink/sim_link_state.h"
#include "traffic_service/readers.h"

#include <optional>
#include <string>
#include <vector>

namespace kvr::test {

inline constexpr double mondayMidnight = 1704067200.0; // Monday 1 January 2024, 00:00 UTC
inline constexpr double baseLatitude = 52.30;
inline constexpr double baseLongitude = 4.76;
inline constexpr double metresPerDegreeLatitude = 111194.9;

class StaticParkingTest : public ParkingTest {
protected:
    void SetUp() override {
        ParkingTest::SetUp();
        resetParkingState();
        // References handed out by the helpers below stay valid while a test adds more.
        standList.reserve(64);
        staticAcList.reserve(64);
        liveAcList.reserve(64);
        setNow(1, 20);
        installHooks();
    }

    void TearDown() override {
        resetParkingState();
        ParkingTest::TearDown();
    }

    // The clock of gf_now: a weekday 1..7 and a half-hour slot (10 minutes into it).
    static void setNow(std::uint32_t day, int slot) {
        timeShiftActive = true;
        latestTrafficTime =
            static_cast<std::time_t>(mondayMidnight + (day - 1) * 86400.0 + slot * 1800.0 + 600.0);
    }

    // A stand the given metres north of the base point.
    static Stand& addStand(const std::string& id, double northMetres, double radiusMetres = 25.0,
                           bool heli = false) {
        standList.emplace_back(
            id, std::vector<StandOption>{},
            StandPlacement{baseLatitude + northMetres / metresPerDegreeLatitude, baseLongitude, 0.0},
            radiusMetres, false, false, heli);
        standList.back().number = static_cast<std::uint32_t>(standList.size());
        return standList.back();
    }

    static void overlap(Stand& a, Stand& b) {
        a.overlapping.push_back(b.number);
        b.overlapping.push_back(a.number);
    }

    static StandOption option(const std::string& registration, const std::string& callsign, std::uint32_t day,
                              std::uint64_t halfHours, std::uint32_t real = 1,
                              const std::string& callsign2 = "") {
        StandOption o;
        o.airline = "KLM";
        o.type = "B738";
        o.registration = registration;
        o.callsign = callsign;
        o.callsign2 = callsign2;
        o.halfHours = halfHours;
        o.day = day;
        o.real = real;
        return o;
    }

    static void addOption(Stand& stand, StandOption o) {
        o.aircraftId = static_cast<std::uint32_t>(stand.options.size() + 1);
        stand.options.push_back(std::move(o));
    }

    // An active static aircraft on the stand, created at the given day and slot.
    static StaticAc& addStatic(const Stand& stand, const std::string& callsign, std::uint32_t kind,
                               std::int32_t day, std::int32_t slot, const std::string& registration = "") {
        StaticAc aircraft;
        aircraft.operatorCode = "KLM";
        aircraft.icaoType = "B738";
        aircraft.registration = registration;
        aircraft.callsign = callsign + "*";
        aircraft.optionCallsign = callsign;
        aircraft.kind = kind;
        aircraft.weekday = day;
        aircraft.slot = slot;
        aircraft.standNumber = stand.number;
        aircraft.latitude = stand.latitude;
        aircraft.longitude = stand.longitude;
        aircraft.halfWingspan = 17.0 / 1852;
        aircraft.simState = SimState::active;
        aircraft.objectId = 500 + static_cast<std::uint32_t>(staticAcList.size());
        staticAcList.push_back(std::move(aircraft));
        standList[stand.number - 1].occupied = true;
        return staticAcList.back();
    }

    static LiveAc& addLive(std::uint32_t id, const std::string& callsign, AcPhase phase,
                           std::uint32_t standNumber = 0) {
        LiveAc aircraft;
        aircraft.id = id;
        aircraft.callsign = callsign;
        aircraft.reportCallsign = callsign;
        aircraft.operatorCode = "KLM";
        aircraft.icaoType = "B738";
        aircraft.phase = phase;
        aircraft.standNumber = standNumber;
        aircraft.simState = SimState::active;
        aircraft.objectId = 900 + id;
        aircraft.onGround = phase != AcPhase::flying;
        liveAcList.push_back(std::move(aircraft));
        if (Stand* stand = lf_parkStandByNumber(standNumber))
            stand->occupied = true;
        return liveAcList.back();
    }

    static ParkedAircraft parked(std::uint32_t address, const std::string& callsign, double northMetres,
                                 int age, const std::string& registration = "") {
        ParkedAircraft record;
        record.address = address;
        record.callsign = callsign;
        record.operatorCode = "KLM";
        record.icaoType = "B738";
        record.registration = registration;
        record.latitude = baseLatitude + northMetres / metresPerDegreeLatitude;
        record.longitude = baseLongitude;
        record.age = age;
        return record;
    }

    static void setUser(double northMetres, double altitude, double groundSpeed, bool onGround,
                        double eastDegrees = 0.0) {
        UserAcData data;
        data.latitude = baseLatitude + northMetres / metresPerDegreeLatitude;
        data.longitude = baseLongitude + eastDegrees;
        data.altitude = altitude;
        data.groundSpeed = groundSpeed;
        port::setUserAircraft(data, onGround, 17.0 / 1852);
        userAcDataValid = true;
    }

    static bool removing(const StaticAc& aircraft) { return aircraft.simState == SimState::removingfromsim; }

    void installHooks() {
        ParkingHooks hooks;
        hooks.receiveParkedTraffic = [this] { return parkedTraffic; };
        hooks.controlsBusy = [this] { return busy; };
        hooks.disableControlsWhileBusy = [this] { busy = true; };
        hooks.enableControlsAfterBusy = [this] {
            busy = false;
            ++freedCount;
        };
        gf_installParkingHooks(std::move(hooks));
    }

    std::optional<std::vector<ParkedAircraft>> parkedTraffic;
    bool busy = false;
    int freedCount = 0;

private:
    static void resetParkingState() {
        lf_clearTrafficTables();
        seenLiveMaps = {};
        parkPositions.clear();
        removalList.clear();
        candidateList.clear();
        fitOffsets = FitOffsets{};
        parkAirportLoadPending = false;
        lf_setReservedStandName(std::string());
        {
            std::lock_guard lock(parkAirportMutex);
            parkAirports.clear();
            currentParkAirport = Airport{};
        }
        gf_clearStands();
        gf_publishStandNames();
        port::setUserAircraft(UserAcData{}, false, 0.0);
        userAcDataValid = false;
        trafficReader.collectLiveAircraft = false;
        timeShiftActive = false;
        latestTrafficTime = 0;
        parkAirportFileInfo = ParkAirportFileInfo{};
    }
};

} // namespace kvr::test
