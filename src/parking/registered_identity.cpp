#include "parking/registered_identity_internal.h"

namespace kvr {

std::optional<RegisteredIdentity> lf_registeredIdentity(const std::string& registration) {
    if (registration.empty())
        return std::nullopt;
    return std::nullopt;
}

} // namespace kvr
