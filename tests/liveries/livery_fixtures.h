#pragma once
// Shared set-up of the livery tests: a working folder with the livery paths below it, the log, settings
// saved into a folder of the test's own, and aircraft-data-base entries written straight into its tables.
#include "core/log.h"
#include "liveries/catalogue_file.h"
#include "liveries/livery_data.h"
#include "liveries/livery_database.h"
#include "liveries/livery_paths.h"
#include "liveries/regcode_files.h"
#include "refdata/aircraft_dbase_internal.h"
#include "settings/parameter.h"
#include "settings/parameters_file.h"
#include "support/file_text.h"
#include "support/log_text.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace kvr::test {

struct TypeFixture {
    std::string icao;
    AircraftCategory category;
    std::vector<std::string> similar;
};

class LiveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        gf_setLiveryWorkingFolder(folder.path());
        for (const auto& sub : {liveryPaths.infoFolder, liveryPaths.errorsFolder, liveryPaths.regcodeFolder})
            std::filesystem::create_directories(sub);
        setenv("XDG_CONFIG_HOME", folder.path().c_str(), 1);
        gf_initAppDataFolder();
        for (Parameter* setting : gf_allParameters())
            setting->resetToDefault();
        gf_openLogFile(folder.path());
        resetLiveries();
        aircraftTables = {};
    }
    void TearDown() override {
        resetLiveries();
        aircraftTables = {};
        for (Parameter* setting : gf_allParameters())
            setting->resetToDefault();
        gf_closeLogFile();
        gf_setLiveryWorkingFolder({});
    }
    static void resetLiveries() {
        gf_clearLiveryDatabase();
        liveriesProcessed.store(false);
        scannedLiveries.clear();
        dontUseTitles.clear();
        regcodeReportLines.clear();
    }
    std::string logText() const { return loggedText(folder.path()); }
    bool logHas(const std::string& line) const { return logText().find(line) != std::string::npos; }

    static void addTypes(const std::vector<TypeFixture>& types) {
        for (const TypeFixture& type : types)
            aircraftTables.types[type.icao] = AircraftTypeEntry{type.category, 0.0, type.similar};
    }
    static void addRegistration(const std::string& registration, const std::string& airline,
                                const std::string& type, const std::string& operatorCode,
                                bool cargo = false) {
        aircraftTables.registrations[registration] = DbaseRecord{airline, type, operatorCode, cargo};
    }
    // Writes the catalogue and builds the data base from it, as a start-up does.
    static void buildDatabase(const std::vector<LiveryData>& liveries) {
        scannedLiveries.assign(liveries.begin(), liveries.end());
        lf_writeLiveriesScanned();
        scannedLiveries.clear();
        liveriesProcessed.store(false);
        gf_processScannedLiveries();
    }

    TempFolder folder;
};

} // namespace kvr::test
