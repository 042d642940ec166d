#pragma once
// The AI model packages of the demo's simulated simulator install: one package of each kind the livery
// scan knows, together carrying liveries for the airlines and types of the demo fleet, plus general
// aviation, business jets and a helicopter in the user's own package.
#include "livery_fixtures/cfg_text.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace kvr::fixtures {

enum class PackageKind { aig, fsltl, justFlight, ivaoMtl, user };
inline constexpr std::array<PackageKind, 5> allPackageKinds{
    PackageKind::aig, PackageKind::fsltl, PackageKind::justFlight, PackageKind::ivaoMtl, PackageKind::user};

// The Community folder entry of each kind: "aig-aitraffic-oci", "fsltl-traffic-base",
// "justflight-aircraft-traffic-fleet", "IVAO_MTL", "user-aitraffic".
std::string packageFolderName(PackageKind kind);

// One livery of the demo fleet.
struct FleetLivery {
    PackageKind package;
    std::string airline;      // ICAO airline code; empty for general aviation
    std::string type;         // ICAO type designator
    std::string registration; // empty when the reference data knows none for the fleet
    bool cargo = false;
    std::string title; // unique over the whole demo set
};

// Every livery of the demo set, in the order the packages are written.
const std::vector<FleetLivery>& demoFleet();

struct PackageSetSummary {
    std::size_t files = 0;
    std::size_t liveries = 0;
};

// Writes the five packages below the Community folder. Each package uses its own text encoding and line
// ends, so one demo install exercises them all. IVAO models get the texture folders their sections need.
PackageSetSummary writeDemoCommunity(const std::filesystem::path& community);

} // namespace kvr::fixtures
