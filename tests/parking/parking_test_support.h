#pragma once
// A fresh working folder per test: the log, parameters.xml and the airports folders live in it.
#include "core/log.h"
#include "core/message_line.h"
#include "parking/parking_hooks.h"
#include "parking/quality_factors.h"
#include "parking/stand.h"
#include "parking/stand_learning.h"
#include "settings/parameter.h"
#include "settings/parameters_file.h"
#include "support/file_text.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

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
        handmadeApf = false;
        qualityFactors = {0, 0};
        learnedUpdateCount = 0;
    }

    void TearDown() override {
        gf_closeLogFile();
        gf_clearStands();
        gf_installParkingHooks({});
        std::filesystem::current_path(previousFolder_);
    }

    std::string logText() {
        gf_flushLog();
        return readFileText(folder / "Log.txt");
    }

    bool logHas(const std::string& text) { return logText().find(text) != std::string::npos; }

    TempFolder folder;

private:
    std::filesystem::path previousFolder_;
};

} // namespace kvr::test
