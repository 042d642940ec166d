#include "liveries/livery_data.h"

#include <utility>

namespace kvr {

LiveryTitleSet liveryTitleSet;
std::list<LiveryData> scannedLiveries;

bool lf_sameLiveryData(const LiveryData& a, const LiveryData& b) {
    return a.title == b.title && a.airl == b.airl && a.type == b.type && a.atcid == b.atcid &&
           a.cargo == b.cargo;
}

bool LiveryTitleSet::insert(const std::string& title) {
    std::lock_guard lock(mutex_);
    return titles_.insert(title).second;
}

bool LiveryTitleSet::contains(std::string_view title) const {
    std::lock_guard lock(mutex_);
    return titles_.find(title) != titles_.end();
}

std::size_t LiveryTitleSet::size() const {
    std::lock_guard lock(mutex_);
    return titles_.size();
}

void LiveryTitleSet::clear() {
    std::lock_guard lock(mutex_);
    titles_.clear();
}

LiveryData lf_makeLiveryData(std::uint32_t folderNumber, std::string airl, std::string type, bool pax,
                             std::string title, std::string atcid) {
    if (!liveryTitleSet.insert(title))
        return {};
    return LiveryData{std::move(airl),  std::move(type), std::move(title),
                      std::move(atcid), folderNumber,    !pax};
}

} // namespace kvr
