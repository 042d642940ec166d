#pragma once
// Park airports: the airports at which static parked aircraft may be placed (my_park_airports.txt, the
// my_thirdparty folder, the destination, the airport whose stand file was loaded), each with the stand
// reserved for the user's own aircraft; and the park airport itself, whose stands are in standList.
//
// The run thread owns all of it, except that gf_learnUserStand runs on the simulator link's thread. Both
// keep to parkAirportMutex for the list, the code of currentParkAirport and the file.
#include "refdata/airport_table.h"

#include <filesystem>
#include <list>
#include <mutex>
#include <optional>
#include <string>

namespace kvr {

// One entry of the park-airport list.
struct ParkAirport {
    std::string code;          // as in the airport table
    std::string reservedStand; // the stand id of the user's reserved stand here; empty when none
    double latitude = 0.0;     // degrees, from the airport table when the entry is made
    double longitude = 0.0;
    double distanceNm = 0.0; // from the user aircraft, kept up to date by the park-airport tick
};

// The first entry matters everywhere: the destination when one is set, else the nearest entry once the
// park-airport tick has sorted the list; it is the only entry the file is updated for. Element
// addresses stay valid while entries are added, moved and sorted.
extern std::list<ParkAirport> parkAirports;

// Guards parkAirports, changes of currentParkAirport and my_park_airports.txt. Held for one short step;
// only the log lock is taken inside it.
extern std::mutex parkAirportMutex;

// A copy of the park airport's record of the airport table; an empty code means that none is set. Its
// altitude is replaced by the altitude its stand file gives. Written by the run thread, under
// parkAirportMutex; the run thread reads it without the lock.
extern Airport currentParkAirport;

// airports/my_park_airports.txt: one line per park airport, the code and an optional reserved stand.
extern const std::filesystem::path myParkAirportsFile;

// Reads the file into parkAirports (emptied first) and appends the airports of the my_thirdparty folder.
// False when a line named an unknown airport or the reading failed; true otherwise, also for a missing
// file. Run thread: at start-up after the scans, and by the Re-read.
bool gf_readMyParkAirports();

// Remembers the stand the user aircraft stands at (within 55 m, at most 2 kt) as the reserved stand of
// the current park airport when that airport is the first entry, and updates the file. Wire it as the
// simulator link's learnUserStand hook; safe on any thread.
void gf_learnUserStand();

// The great-circle distance from a position to the first entry, computed now; none while the list is
// empty. Safe on any thread (the automatic range asks it for the user aircraft's position).
std::optional<double> gf_firstParkAirportDistanceNm(double latitude, double longitude);

} // namespace kvr
