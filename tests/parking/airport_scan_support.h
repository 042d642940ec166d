#pragma once
// A working folder per test for the add-on airport scan, with the scan's shared state and the data-base
// lists it reads emptied before and after.
#include "bgl_fixtures/bgl_airports.h"
#include "core/exit_request.h"
#include "core/scan_slots.h"
#include "parking/airport_scan.h"
#include "parking_test_support.h"
#include "refdata/aircraft_dbase.h"

#include <pugixml.hpp>

#include <map>

namespace kvr::test {

// One parkpos of a generated stand file, as written.
struct WrittenStand {
    double latitude = 0.0;
    double longitude = 0.0;
    double heading = 0.0; // degrees
    double radius = 0.0;  // metres
    bool cargo = false;
    bool ramp = false;
    bool heli = false;
};

class AirportScanTest : public ParkingTest {
protected:
    void SetUp() override {
        ParkingTest::SetUp();
        resetScanState();
    }

    void TearDown() override {
        resetScanState();
        ParkingTest::TearDown();
    }

    static void knownAirports(const std::vector<std::string>& codes) {
        std::vector<Airport> airports;
        for (const std::string& code : codes)
            airports.push_back(Airport{code, "", "", 51.0, 0.0, 0.0, 0});
        setAirports(std::move(airports));
    }

    static std::vector<std::string> messages() {
        std::lock_guard lock(scanMessageMutex);
        return scanMessages;
    }

    static bool hasMessage(const std::string& line) {
        const auto lines = messages();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    static bool messageContains(const std::string& part) {
        const auto lines = messages();
        return std::any_of(lines.begin(), lines.end(),
                           [&](const std::string& line) { return line.find(part) != std::string::npos; });
    }

    std::filesystem::path writeBgl(const std::string& relative, const fixtures::BglFile& file) {
        const auto path = folder / relative;
        fixtures::writeBglFile(path, file);
        return path;
    }

    std::filesystem::path writeAirport(const std::string& relative, fixtures::BglAirport airport) {
        return writeBgl(relative, fixtures::bglFileWith({std::move(airport)}));
    }

    // The stands of a generated stand file by id; empty when the file is missing.
    static std::map<std::string, WrittenStand> writtenStands(const std::filesystem::path& file) {
        std::map<std::string, WrittenStand> stands;
        pugi::xml_document doc;
        if (!doc.load_file(file.c_str()))
            return stands;
        for (pugi::xml_node parkpos : doc.child("root").child("parkpositions").children("parkpos"))
            stands[parkpos.attribute("id").value()] = WrittenStand{
                parkpos.attribute("latitude").as_double(), parkpos.attribute("longitude").as_double(),
                parkpos.attribute("heading").as_double(),  parkpos.attribute("radius").as_double(),
                parkpos.attribute("cargo").as_bool(),      parkpos.attribute("ramp").as_bool(),
                parkpos.attribute("heli").as_bool()};
        return stands;
    }

    std::filesystem::path thirdpartyFile(const std::string& name) const {
        return folder / "airports/my_thirdparty" / name;
    }
    std::filesystem::path simaddonFile(const std::string& name) const {
        return folder / "airports/my_simaddon" / name;
    }

private:
    static void resetScanState() {
        {
            std::lock_guard lock(scanMessageMutex);
            scanMessages.clear();
        }
        airportFilesChanged = false;
        tbloCount = 0;
        publisherNames.clear();
        simAddonAirportCodes.clear();
        thirdPartyAirports20.clear();
        thirdPartyAirports24.clear();
        stopRequested = false;
        userClosed = false;
        activeScanTasks = 0;
        maxScanTasks = 4;
    }
};

} // namespace kvr::test
