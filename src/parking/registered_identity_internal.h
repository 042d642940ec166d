#pragma once
#include <optional>
#include <string>

namespace kvr {

// Airline and type of a registration the aircraft data base knows: its operator when it has one,
// else its airline. Stand files write and read airline and type only for unknown registrations.
struct RegisteredIdentity {
    std::string airline;
    std::string type;
};

std::optional<RegisteredIdentity> lf_registeredIdentity(const std::string& registration);

} // namespace kvr
