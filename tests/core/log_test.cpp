#include "core/exit_request.h"
#include "core/log.h"
#include "support/file_text.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace kvr {
namespace {

class LogTest : public ::testing::Test {
protected:
    void TearDown() override {
        gf_closeLogFile();
        gf_resetStopState();
    }
    test::TempFolder folder;
};

TEST_F(LogTest, FirstLineNamesProgramVersionAndSimulators) {
    gf_openLogFile(folder.path());
    gf_closeLogFile();
    const std::string text = test::readFileText(folder / "Log.txt");
    EXPECT_NE(text.find(" (utc) Vantrel version 12.0.0 for MSFS 2020/2024\n"), std::string::npos) << text;
    EXPECT_EQ(text.find('\r'), std::string::npos);
}

TEST_F(LogTest, WritersAddTheirPrefixesAndNothingIsWrittenWhileClosed) {
    gf_logLine("before open");
    gf_openLogFile(folder.path());
    gf_logLine("plain");
    gf_logError("failed");
    gf_logIndented("detail");
    gf_closeLogFile();
    gf_logLine("after close");
    const std::string text = test::readFileText(folder / "Log.txt");
    EXPECT_EQ(text.find("before open"), std::string::npos);
    EXPECT_EQ(text.find("after close"), std::string::npos);
    EXPECT_NE(text.find("\nplain\n==> failed\n          detail\n"), std::string::npos) << text;
}

TEST_F(LogTest, ErrorLinesAreFlushedAtOnce) {
    gf_openLogFile(folder.path());
    gf_logError("visible now");
    EXPECT_NE(test::readFileText(folder / "Log.txt").find("==> visible now\n"), std::string::npos);
}

TEST_F(LogTest, ThreeBackupGenerationsKeepTheNewestAndDropTheOldest) {
    for (int run = 1; run <= 5; ++run) {
        gf_openLogFile(folder.path());
        gf_logLine("run " + std::to_string(run));
        gf_closeLogFile();
    }
    EXPECT_NE(test::readFileText(folder / "Log.txt").find("run 5"), std::string::npos);
    EXPECT_NE(test::readFileText(folder / "Log0.txt").find("run 4"), std::string::npos);
    EXPECT_NE(test::readFileText(folder / "Log00.txt").find("run 3"), std::string::npos);
    EXPECT_NE(test::readFileText(folder / "Log000.txt").find("run 2"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder / "Log0000.txt"));
}

TEST_F(LogTest, UnwritableFolderThrowsWithThePath) {
    const auto missing = folder / "no" / "such" / "folder";
    try {
        gf_openLogFile(missing);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Failed to write file " + (missing / "Log.txt").string());
    }
}

TEST_F(LogTest, QuietWhileStopping) {
    gf_openLogFile(folder.path());
    gf_logUnlessQuiet("first");
    gf_requestExit(ExitReason::readerError, 15);
    gf_logUnlessQuiet("second");
    gf_closeLogFile();
    const std::string text = test::readFileText(folder / "Log.txt");
    EXPECT_NE(text.find("first"), std::string::npos);
    EXPECT_EQ(text.find("second"), std::string::npos);
}

TEST_F(LogTest, ConcurrentWritersNeverInterleaveWithinALine) {
    gf_openLogFile(folder.path());
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([t] {
            for (int i = 0; i < 500; ++i)
                gf_logLine(std::string(40, static_cast<char>('a' + t)));
        });
    for (auto& w : writers)
        w.join();
    gf_closeLogFile();
    const std::string text = test::readFileText(folder / "Log.txt");
    std::size_t lines = 0, start = text.find('\n') + 1;
    while (start < text.size()) {
        const auto end = text.find('\n', start);
        const std::string line = text.substr(start, end - start);
        ASSERT_EQ(line, std::string(40, line[0]));
        ++lines;
        start = end + 1;
    }
    EXPECT_EQ(lines, 2000u);
}

} // namespace
} // namespace kvr
