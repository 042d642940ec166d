#pragma once
#include <mutex>
#include <string>
#include <vector>

namespace kvr {

// One list of findings of a livery scan. The aircraft.cfg tasks append concurrently, each line under the
// list's own mutex; the run thread reads the lines once every task has ended and writes the report files.
class ScanReportList {
public:
    void add(std::string line);
    std::vector<std::string> lines() const; // a copy, in the order the lines were added
    std::size_t size() const;
    bool empty() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

extern ScanReportList modelFixesList;         // "Model fix: ..." lines (Fixes.txt)
extern ScanReportList invalidCfgFilesList;    // rejected aircraft.cfg files
extern ScanReportList incompleteSectionsList; // [fltsim.N] sections that made no livery
extern ScanReportList invalidAirlineCodesList;
extern ScanReportList invalidModelCodesList;
extern ScanReportList emptyCfgFilesList; // aircraft.cfg files without any [fltsim.N] section

} // namespace kvr
