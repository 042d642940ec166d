#include "parking/park_airport.h"

#include "core/file_util.h"
#include "core/geodesy.h"
#include "core/log.h"
#include "core/message_line.h"
#include "core/native_path.h"
#include "core/text_util.h"
#include "parking/learned_file.h"
#include "parking/park_airport_internal.h"
#include "parking/stand_names.h"
#include "simlink/sim_link_state.h"

#include <fmt/format.h>

#include <algorithm>
#include <fstream>
#include <unordered_set>

namespace kvr {

std::list<ParkAirport> parkAirports;
std::mutex parkAirportMutex;
Airport currentParkAirport;
const std::filesystem::path myParkAirportsFile = airportsDir / "my_park_airports.txt";

namespace {

constexpr const char* fileName = "my_park_airports.txt";
// Past this many entries the per-tick distance and sort of every entry becomes noticeable.
constexpr std::size_t manyParkAirports = 3000;
constexpr double learnStandMaxSpeedKt = 2.0;

bool lf_holdsCode(const std::list<ParkAirport>& airports, const std::string& code) {
    return std::any_of(airports.begin(), airports.end(),
                       [&code](const ParkAirport& entry) { return entry.code == code; });
}

// Reads the file's lines into the list; false when a line named an unknown airport.
bool lf_readParkAirportLines(std::list<ParkAirport>& airports) {
    std::ifstream in;
    if (!gf_openInputFile(myParkAirportsFile, in)) {
        gf_logLine(gf_pathToUtf8(myParkAirportsFile) + " not found");
        return true;
    }
    std::vector<std::string> lines;
    gf_readLines(in, lines);
    in.close();

    bool result = true;
    std::unordered_set<std::string> seen;
    for (const std::string& line : lines) {
        const std::vector<std::string> fields = gf_splitString(line, ',');
        if (fields.empty())
            continue;
        if (fields.size() >= 3) {
            gf_logError(fmt::format("{}:{} wrong syntax, skipped", fileName, line));
            continue;
        }
        const std::string& code = fields[0];
        if (seen.contains(code)) {
            gf_logError(fmt::format("{}:{} double, skipped", fileName, code));
            continue;
        }
        const auto airport = gf_findAirport(code);
        if (!airport) {
            gf_showMessage(fmt::format("airport {} is unknown", code), true);
            result = false;
            continue;
        }
        airports.push_back({code, fields.size() == 2 ? fields[1] : std::string(), airport->latitude,
                            airport->longitude, 0.0});
        seen.insert(code);
    }
    return result;
}

} // namespace

std::string lf_parkAirportLine(const ParkAirport& entry) {
    return entry.reservedStand.empty() ? entry.code : entry.code + "," + entry.reservedStand;
}

void lf_addThirdpartyParkAirports(std::list<ParkAirport>& airports) {
    const std::size_t before = airports.size();
    // A missing folder holds no airports; only a folder that is there and cannot be listed is a failure.
    if (!std::filesystem::exists(myThirdpartyDir))
        return;
    for (const auto& entry : std::filesystem::directory_iterator(myThirdpartyDir)) {
        if (!entry.is_directory())
            continue;
        const std::string code = gf_pathToUtf8(entry.path().stem());
        if (lf_holdsCode(airports, code))
            continue;
        const auto airport = gf_findAirport(code);
        if (!airport)
            continue;
        airports.push_back({code, std::string(), airport->latitude, airport->longitude, 0.0});
    }
    if (const std::size_t added = airports.size() - before; added > 0)
        gf_logLine(fmt::format("{} park airport{} added from my_thirdparty folder(-s)", added,
                               gf_pluralSuffix(added)));
}

bool gf_readMyParkAirports() {
    std::list<ParkAirport> airports;
    bool result = false;
    try {
        result = lf_readParkAirportLines(airports);
        if (!airports.empty()) {
            gf_logLine(fmt::format("{} park airport{} read from '{}'", airports.size(),
                                   gf_pluralSuffix(airports.size()), fileName));
            if (airports.size() > manyParkAirports)
                gf_showMessage(
                    fmt::format("Warning: There are a lot of airports ({}), that will cost Vantrel "
                                "much cpu time and may cause stutters",
                                airports.size()),
                    true);
        }
        lf_addThirdpartyParkAirports(airports);
    } catch (const std::exception& e) {
        gf_logError(fmt::format("{}: {}", "lf_readMyParkAirports", e.what()));
        result = false;
    }
    std::lock_guard lock(parkAirportMutex);
    parkAirports.swap(airports);
    return result;
}

std::vector<std::string>::iterator lf_updateStandFromLine(std::vector<std::string>::iterator first,
                                                          std::vector<std::string>::iterator last,
                                                          const ParkAirport& entry,
                                                          const std::string& newLine) {
    for (auto line = first; line != last; ++line) {
        const std::vector<std::string> fields = gf_splitString(*line, ',');
        if (!fields.empty() && fields[0] == entry.code) {
            *line = newLine;
            return line;
        }
    }
    return last;
}

namespace {

// The reserved stand that the file's line of the code names; none when there is no such line or it names
// no stand.
std::optional<std::string> lf_reservedStandInFile(const std::vector<std::string>& lines,
                                                  const std::string& code) {
    for (const std::string& line : lines) {
        const std::vector<std::string> fields = gf_splitString(line, ',');
        if (!fields.empty() && fields[0] == code)
            return fields.size() == 2 && !fields[1].empty() ? std::optional(fields[1]) : std::nullopt;
    }
    return std::nullopt;
}

} // namespace

void lf_writeMyParkAirports() {
    ParkAirport& first = parkAirports.front();
    std::vector<std::string> lines;
    std::ifstream in;
    if (!gf_openInputFile(myParkAirportsFile, in)) {
        const std::string newLine = lf_parkAirportLine(first);
        lines.push_back(newLine);
        gf_logLine(fmt::format("{} created with {}", fileName, newLine));
    } else {
        gf_readLines(in, lines);
        in.close();
        // An entry made without a stand (a destination, a park airport the user does not stand at) must
        // not erase the user's reserved stand from the file: the entry takes it over instead.
        if (first.reservedStand.empty())
            if (auto reserved = lf_reservedStandInFile(lines, first.code))
                first.reservedStand = std::move(*reserved);
        const std::string newLine = lf_parkAirportLine(first);
        if (lf_updateStandFromLine(lines.begin(), lines.end(), first, newLine) != lines.end()) {
            gf_logLine(fmt::format("{}:{} updated stand", fileName, newLine));
        } else {
            lines.insert(lines.begin(), newLine);
            gf_logLine(fmt::format("{}:{} new entry", fileName, newLine));
        }
    }
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    gf_writeLines(lines, myParkAirportsFile);
}

void gf_learnUserStand() {
    if (!userAcDataValid)
        return;
    const UserAcData user = gf_latestUserAcData();
    if (user.groundSpeed > learnStandMaxSpeedKt)
        return;
    const std::string name = gf_standNameNear(user.latitude, user.longitude);
    if (name.empty())
        return;
    std::lock_guard lock(parkAirportMutex);
    if (parkAirports.empty())
        return;
    ParkAirport& first = parkAirports.front();
    if (first.code != currentParkAirport.code || first.reservedStand == name)
        return;
    first.reservedStand = name;
    lf_writeMyParkAirports();
}

std::optional<double> gf_firstParkAirportDistanceNm(double latitude, double longitude) {
    std::lock_guard lock(parkAirportMutex);
    if (parkAirports.empty())
        return std::nullopt;
    const ParkAirport& first = parkAirports.front();
    return gf_distanceNm(latitude, longitude, first.latitude, first.longitude);
}

} // namespace kvr
