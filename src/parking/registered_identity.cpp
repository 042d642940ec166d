#include "parking/registered_identity_internal.h"

#include "refdata/aircraft_dbase.h"

namespace kvr {

std::optional<RegisteredIdentity> lf_registeredIdentity(const std::string& registration) {
    if (registration.empty())
        return std::nullopt;
    auto record = gf_lookupRegistration(registration);
    if (!record)
        return std::nullopt;
    return RegisteredIdentity{record->operatorCode.empty() ? std::move(record->airline)
                                                           : std::move(record->operatorCode),
                              std::move(record->type)};
}

} // namespace kvr
