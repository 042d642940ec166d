#pragma once
#include <cstdint>
#include <list>
#include <mutex>
#include <set>
#include <string>
#include <string_view>

namespace kvr {

// One livery found in an aircraft.cfg file, or read back from the livery catalogue.
struct LiveryData {
    std::string airl;  // ICAO airline code, "ZZZ" for a generic livery, "PVT" for a private aircraft
    std::string type;  // ICAO type designator of the model
    std::string title; // the simulator creates AI aircraft by this title
    std::string atcid; // registration code painted on this livery; empty when none
    // Number of the scanned folder the livery came from (1..10); 0 for a record read from the catalogue.
    // Only the scan's folder priority uses it; the catalogue does not store it.
    std::uint32_t folderNumber = 0;
    bool cargo = false;
};

// Records equal in title, airl, type, atcid and cargo are the same livery; the folder number does not count.
bool lf_sameLiveryData(const LiveryData& a, const LiveryData& b);

// The titles the running livery scan has accepted. The scan tasks insert concurrently, so every access
// takes the set's own mutex for that one step.
class LiveryTitleSet {
public:
    // True when the title was new and is now in the set.
    bool insert(const std::string& title);
    bool contains(std::string_view title) const;
    std::size_t size() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::set<std::string, std::less<>> titles_;
};

extern LiveryTitleSet liveryTitleSet;

// Builds a record and claims its title in liveryTitleSet. When another section claimed the title first,
// the record is empty (all strings empty, folder number 0, not cargo); callers test the title.
LiveryData lf_makeLiveryData(std::uint32_t folderNumber, std::string airl, std::string type, bool pax,
                             std::string title, std::string atcid);

// The records of one scan, or of the catalogue while the livery data base is built. A list, so that the
// scan can splice each task's result onto the end without copying. Run thread only.
extern std::list<LiveryData> scannedLiveries;

} // namespace kvr
