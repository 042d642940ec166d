#pragma once
// A fresh working folder per test: the log, parameters.xml and the airports folders live in it.
#include "core/log.h"
#include "core/message_line.h"
#include "core/shared_state.h"
#include "core/status_display.h"
#include "parking/learned_file_internal.h"
#include "parking/park_airport.h"
#include "parking/park_stands.h"
#include "parking/parking_hooks.h"
#include "parking/quality_factors.h"
#include "parking/stand.h"
#include "parking/stand_learning.h"
#include "refdata/aircraft_dbase_internal.h"
#include "refdata/airport_table.h"
#include "settings/parameter.h"
#include "settings/parameters_file.h"
#include "support/file_text.h"
#include "support/log_text.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace kvr::test {

class ParkingTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousFolder_ = std::filesystem::current_path();
        std::filesystem::current_path(folder.path());
        ::setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
        gf_initAppDataFolder();
        gf_openLogFile(folder.path());
        for (Parameter* setting : gf_allParameters())
            setting->resetToDefault();
        gf_clearStands();
        gf_clearMessageAndError();
        resetSharedState();
    }

    void TearDown() override {
        gf_closeLogFile();
        resetSharedState();
        gf_installParkingHooks({});
        std::filesystem::current_path(previousFolder_);
    }

    std::string logText() { return loggedText(folder.path()); }

    bool logHas(const std::string& text) { return logText().find(text) != std::string::npos; }

    // The airport table as the park airport tests need it: one airport per stock-stand count.
    static void setAirports(std::vector<Airport> airports) {
        std::sort(airports.begin(), airports.end(),
                  [](const Airport& a, const Airport& b) { return a.code < b.code; });
        airportTable = std::move(airports);
        airportCodeSet.clear();
        for (const Airport& airport : airportTable)
            airportCodeSet.insert(airport.code);
    }

    TempFolder folder;

private:
    static void resetSharedState() {
        gf_clearStands();
        handmadeApf = false;
        qualityFactors = {0, 0};
        learnedUpdateCount = 0;
        parkAirportLoaded = false;
        rtTrafficWeek = 0;
        currentParkAirport = Airport{};
        statusDisplay.reset();
        msfs2020Selected = true;
        setAirports({});
        aircraftTables.registrations.clear();
        lf_discardUnsavedLearnedFiles();
    }

    std::filesystem::path previousFolder_;
};

} // namespace kvr::test
