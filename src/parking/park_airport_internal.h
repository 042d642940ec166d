#pragma once
#include "parking/park_airport.h"

#include <list>
#include <string>
#include <vector>

namespace kvr {

// Appends the airports named by the folders of airports/my_thirdparty (the folder name without its
// extension is the code) that the list does not hold yet and the airport table knows. Throws when the
// folder cannot be listed.
void lf_addThirdpartyParkAirports(std::list<ParkAirport>& airports);

// The file's line of an entry: the code, or the code, a comma and the reserved stand.
std::string lf_parkAirportLine(const ParkAirport& entry);

// Replaces the first line of the range whose first field is the entry's code by the new line; returns
// its position, or last when no line matched.
std::vector<std::string>::iterator lf_updateStandFromLine(std::vector<std::string>::iterator first,
                                                          std::vector<std::string>::iterator last,
                                                          const ParkAirport& entry,
                                                          const std::string& newLine);

// Stores the line of the first entry of parkAirports in the file: replaces the line of its code or adds
// it, then writes every line sorted and without repeats. The caller holds parkAirportMutex and the list
// is not empty.
void lf_writeMyParkAirports();

} // namespace kvr
