#include "liveries/scan_report_lists.h"

#include <utility>

namespace kvr {

ScanReportList modelFixesList;
ScanReportList invalidCfgFilesList;
ScanReportList incompleteSectionsList;
ScanReportList invalidAirlineCodesList;
ScanReportList invalidModelCodesList;
ScanReportList emptyCfgFilesList;

void ScanReportList::add(std::string line) {
    std::lock_guard lock(mutex_);
    lines_.push_back(std::move(line));
}

std::vector<std::string> ScanReportList::lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

std::size_t ScanReportList::size() const {
    std::lock_guard lock(mutex_);
    return lines_.size();
}

bool ScanReportList::empty() const {
    std::lock_guard lock(mutex_);
    return lines_.empty();
}

void ScanReportList::clear() {
    std::lock_guard lock(mutex_);
    lines_.clear();
}

} // namespace kvr
