#pragma once
// The park airport and its static parked aircraft, as the run thread drives them. See
// docs/park-airports.md for when the session loop, the round processing and the window's commands call
// each of these. Run thread only, except gf_reservedStandName.
#include "parking/stand.h"

#include <string>

namespace kvr {

// The park-airport tick: frees the controls once every chosen position was handed to the traffic engine,
// loads a chosen park airport, keeps the park-airport list sorted by distance and chooses or drops the
// park airport. loadAtOnce: the first tick of a session, which loads a park airport found on the ground
// at once instead of at the next tick.
void gf_parkAirportTick(bool loadAtOnce);

// The Re-read: reads my_park_airports.txt again and, with checkReserved, takes over a reserved stand the
// user changed in it. True with the text to show (logged); false when the reading failed, which has
// shown its own message.
bool gf_checkParkAirportStands(bool checkReserved, std::string& text);

// A destination entered by the user becomes the first park airport (added to the file when new).
void gf_addDestinationParkAirport(const std::string& code, double latitude, double longitude);

// The second phase of the periodic static-parking update: removes the static aircraft that must go and
// chooses the positions to add. With removeAllLearned (RT_PARKTRAFFIC_ONLY was just switched) every
// learned static aircraft goes.
void gf_applyParkTrafficChanges(bool removeAllLearned);

// When learned files are saved: while the program runs on, a file that cannot be written is kept in memory
// for the next saving; at closing down that may be its last chance, and the log says so.
enum class LearnedSaving { duringRun, atClosingDown };

// Removes all park traffic (static aircraft, and live aircraft on the ground that are not landing or
// parking) and gives the park airport up, saving what was learned there. Also at closing down while a
// park airport is set.
void gf_clearParkTraffic(LearnedSaving saving = LearnedSaving::duringRun);

// Writes the learned files whose saving failed before (each with what was learned until then); those that
// fail again stay kept. At closing down, and before each saving of a learned file.
void gf_saveUnsavedLearnedFiles(LearnedSaving saving = LearnedSaving::duringRun);

// The stand reserved for the user at the park airport while that stand exists; empty otherwise. Any
// thread (the window shows it).
std::string gf_reservedStandName();

// Removes a static or parked live aircraft standing on the reserved stand (every 5 rounds).
void gf_removeParkedAtReservedStand();

// What the park airport's stand file said of itself; the learned file is saved with it.
extern ParkAirportFileInfo parkAirportFileInfo;

} // namespace kvr
