#pragma once
// Shared set-up of the livery scan tests: a working folder with its log and output folders, settings in a
// private parameters.xml, and a small aircraft data base.
#include "core/exit_request.h"
#include "core/log.h"
#include "core/scan_slots.h"
#include "liveries/aircraft_cfg_reader_internal.h"
#include "liveries/livery_data.h"
#include "liveries/livery_paths.h"
#include "liveries/regcode_files.h"
#include "liveries/scan_report_lists.h"
#include "refdata/aircraft_dbase_internal.h"
#include "settings/parameter_table.h"
#include "settings/parameters_file.h"
#include "support/file_text.h"
#include "support/log_text.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace kvr::test {

class LiveryScanTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
        gf_initAppDataFolder();
        for (Parameter* setting : gf_allParameters())
            setting->resetToDefault();
        gf_setLiveryWorkingFolder(folder.path());
        std::filesystem::create_directories(liveryPaths.infoFolder);
        std::filesystem::create_directories(liveryPaths.inputFolder);
        gf_openLogFile(folder.path());
        resetScanState();
        loadReferenceData();
    }
    void TearDown() override {
        gf_closeLogFile();
        resetScanState();
        for (Parameter* setting : gf_allParameters())
            setting->resetToDefault();
        gf_setLiveryWorkingFolder({});
    }

    void resetScanState() {
        lf_clearScanReports();
        scannedLiveries.clear();
        gf_resetStopState();
        activeScanTasks.store(0);
    }

    // Types, fixes, airlines and registrations the tests rely on.
    static void loadReferenceData() {
        aircraftTypeSet = {"A20N", "A320", "A321", "B738", "B38M", "B744",
                           "B748", "B77L", "C172", "C25C", "E190"};
        typeFixes = {{"B74F", "B744"}, {"A32N", "A20N"}};
        icaoAirlineSet = {"BAW", "KLM", "KLC", "MPH", "TRA", "ZZZ", "PVT", "ABC", "DLH"};
        aircraftTables.types.clear();
        for (const char* heavy : {"B744", "B748", "B77L"})
            aircraftTables.types[heavy].category = AircraftCategory::heavy;
        aircraftTables.types["C172"].category = AircraftCategory::light;
        aircraftTables.registrations = {
            {"PH-BXA", DbaseRecord{"KLM", "B738", "", false}},
            {"PH-CKA", DbaseRecord{"KLM", "B744", "MPH", true}},
            {"G-EUUA", DbaseRecord{"BAW", "A320", "", false}},
            {"D-AIZA", DbaseRecord{"DLH", "A320", "", false}},
        };
        aircraftTables.shortRegistrations = {"N123", "PH1"};
    }

    std::string logText() { return loggedText(folder.path()); }

    // The lines of a report file; none when the file does not exist.
    static std::vector<std::string> fileLines(const std::filesystem::path& path) {
        std::vector<std::string> lines;
        if (!std::filesystem::exists(path))
            return lines;
        const std::string text = readFileText(path);
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = text.find('\n', start);
            lines.push_back(text.substr(start, end - start));
            start = end == std::string::npos ? text.size() : end + 1;
        }
        return lines;
    }

    static bool contains(const std::vector<std::string>& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    TempFolder folder;
};

} // namespace kvr::test
