#include "platform/simconnect/sim_object.h"

#include "platform/simconnect/sim_geo.h"
#include "platform/simconnect/sim_scenario.h"

#include <cmath>
#include <cstring>

namespace kvr::simsim {

namespace {

enum class Quantity { angle, length, speed, flag, seconds, number, text };

enum class Field {
    latitude,
    longitude,
    altitude,
    groundVelocity,
    heading,
    pitch,
    bank,
    onGround,
    navLights,
    wingSpan,
    zuluYear,
    zuluDayOfYear,
    zuluTime,
    title,
    atcModel,
    atcId,
};

struct FieldInfo {
    const char* name;
    Field field;
    Quantity quantity;
    bool writable;
};

constexpr FieldInfo fieldTable[] = {
    {"PLANE LATITUDE", Field::latitude, Quantity::angle, true},
    {"PLANE LONGITUDE", Field::longitude, Quantity::angle, true},
    {"PLANE ALTITUDE", Field::altitude, Quantity::length, true},
    {"GROUND VELOCITY", Field::groundVelocity, Quantity::speed, true},
    {"PLANE HEADING DEGREES TRUE", Field::heading, Quantity::angle, true},
    {"PLANE PITCH DEGREES", Field::pitch, Quantity::angle, true},
    {"PLANE BANK DEGREES", Field::bank, Quantity::angle, true},
    {"SIM ON GROUND", Field::onGround, Quantity::flag, true},
    {"LIGHT NAV", Field::navLights, Quantity::flag, true},
    {"WING SPAN", Field::wingSpan, Quantity::length, false},
    {"ZULU YEAR", Field::zuluYear, Quantity::number, false},
    {"ZULU DAY OF YEAR", Field::zuluDayOfYear, Quantity::number, false},
    {"ZULU TIME", Field::zuluTime, Quantity::seconds, false},
    {"TITLE", Field::title, Quantity::text, false},
    {"ATC MODEL", Field::atcModel, Quantity::text, false},
    {"ATC ID", Field::atcId, Quantity::text, false},
};

const FieldInfo* lf_field(const std::string& name) {
    for (const FieldInfo& info : fieldTable)
        if (name == info.name)
            return &info;
    return nullptr;
}

// Factor from the object's own unit (degrees, feet, knots, seconds) to the requested one; nullopt when
// the unit does not fit the quantity.
std::optional<double> lf_unitFactor(Quantity quantity, const std::string& units) {
    switch (quantity) {
    case Quantity::angle:
        if (units == "degrees" || units == "degree")
            return 1.0;
        if (units == "radians" || units == "radian")
            return M_PI / 180.0;
        return std::nullopt;
    case Quantity::length:
        if (units == "feet" || units == "foot")
            return 1.0;
        if (units == "meters" || units == "meter")
            return 0.3048;
        return std::nullopt;
    case Quantity::speed:
        if (units == "knots" || units == "knot")
            return 1.0;
        if (units == "meters per second")
            return metresPerNm / 3600.0;
        return std::nullopt;
    case Quantity::flag:
        if (units == "bool" || units == "boolean" || units == "number")
            return 1.0;
        return std::nullopt;
    case Quantity::seconds:
        if (units == "seconds" || units == "second")
            return 1.0;
        return std::nullopt;
    case Quantity::number:
        if (units == "number")
            return 1.0;
        return std::nullopt;
    case Quantity::text:
        return 1.0;
    }
    return std::nullopt;
}

bool lf_isText(SIMCONNECT_DATATYPE type) {
    return type >= SIMCONNECT_DATATYPE_STRING8 && type <= SIMCONNECT_DATATYPE_STRING260;
}

double lf_numericValue(const SimObjectState& object, Field field, double zuluEpoch) {
    const auto whole = static_cast<std::int64_t>(std::floor(zuluEpoch));
    const std::int64_t days = whole >= 0 ? whole / 86400 : (whole - 86399) / 86400;
    switch (field) {
    case Field::latitude:
        return object.latitude;
    case Field::longitude:
        return object.longitude;
    case Field::altitude:
        return object.altitudeFt;
    case Field::groundVelocity:
        return object.groundSpeedKt;
    case Field::heading:
        return object.headingDeg;
    case Field::pitch:
        return object.pitchDeg;
    case Field::bank:
        return object.bankDeg;
    case Field::onGround:
        return object.onGround ? 1.0 : 0.0;
    case Field::navLights:
        return object.navLights ? 1.0 : 0.0;
    case Field::wingSpan:
        return object.wingspanFt;
    case Field::zuluTime:
        return zuluEpoch - static_cast<double>(days) * 86400.0;
    case Field::zuluYear:
    case Field::zuluDayOfYear: {
        // Walk from a year start guess; at most one step either way.
        std::int64_t year = 1970 + days / 365;
        while (daysFromCivil(year, 1, 1) > days)
            --year;
        while (daysFromCivil(year + 1, 1, 1) <= days)
            ++year;
        return field == Field::zuluYear ? static_cast<double>(year)
                                        : static_cast<double>(days - daysFromCivil(year, 1, 1) + 1);
    }
    default:
        return 0;
    }
}

const std::string& lf_textValue(const SimObjectState& object, Field field) {
    switch (field) {
    case Field::title:
        return object.title;
    case Field::atcModel:
        return object.atcModel;
    default:
        return object.atcId;
    }
}

} // namespace

void SimObjectState::recordTrail() {
    // About 15 m between trail points keeps taxi paths smooth and long flights short.
    constexpr double minimumStepNm = 15.0 / metresPerNm;
    if (!trail.empty() &&
        distanceNm(trail.back().latitude, trail.back().longitude, latitude, longitude) < minimumStepNm)
        return;
    if (trail.size() >= 5000)
        trail.erase(trail.begin(), trail.begin() + 1000);
    trail.push_back({latitude, longitude});
}

std::size_t datumSize(SIMCONNECT_DATATYPE type) {
    switch (type) {
    case SIMCONNECT_DATATYPE_INT32:
    case SIMCONNECT_DATATYPE_FLOAT32:
        return 4;
    case SIMCONNECT_DATATYPE_INT64:
    case SIMCONNECT_DATATYPE_FLOAT64:
    case SIMCONNECT_DATATYPE_STRING8:
        return 8;
    case SIMCONNECT_DATATYPE_STRING32:
        return 32;
    case SIMCONNECT_DATATYPE_STRING64:
        return 64;
    case SIMCONNECT_DATATYPE_STRING128:
        return 128;
    case SIMCONNECT_DATATYPE_STRING256:
        return 256;
    case SIMCONNECT_DATATYPE_STRING260:
        return 260;
    default:
        return 0;
    }
}

std::optional<SIMCONNECT_EXCEPTION> checkDatum(const Datum& datum) {
    const FieldInfo* info = lf_field(datum.name);
    if (!info)
        return SIMCONNECT_EXCEPTION_NAME_UNRECOGNIZED;
    if (datumSize(datum.type) == 0 || lf_isText(datum.type) != (info->quantity == Quantity::text))
        return SIMCONNECT_EXCEPTION_INVALID_DATA_TYPE;
    if (!lf_unitFactor(info->quantity, datum.units))
        return SIMCONNECT_EXCEPTION_DATA_ERROR;
    return std::nullopt;
}

void encodeDatum(const SimObjectState& object, const Datum& datum, double zuluEpoch,
                 std::vector<std::byte>& out) {
    const FieldInfo* info = lf_field(datum.name);
    const std::size_t size = datumSize(datum.type);
    const std::size_t at = out.size();
    out.resize(at + size);
    std::byte* target = out.data() + at;
    if (lf_isText(datum.type)) {
        const std::string& text = lf_textValue(object, info->field);
        std::memcpy(target, text.data(), std::min(text.size(), size - 1));
        return;
    }
    const double value =
        lf_numericValue(object, info->field, zuluEpoch) * *lf_unitFactor(info->quantity, datum.units);
    switch (datum.type) {
    case SIMCONNECT_DATATYPE_INT32: {
        const auto v = static_cast<std::int32_t>(value);
        std::memcpy(target, &v, sizeof v);
        break;
    }
    case SIMCONNECT_DATATYPE_INT64: {
        const auto v = static_cast<std::int64_t>(value);
        std::memcpy(target, &v, sizeof v);
        break;
    }
    case SIMCONNECT_DATATYPE_FLOAT32: {
        const auto v = static_cast<float>(value);
        std::memcpy(target, &v, sizeof v);
        break;
    }
    default:
        std::memcpy(target, &value, sizeof value);
        break;
    }
}

bool applyDatum(SimObjectState& object, const Datum& datum, const std::byte* bytes) {
    const FieldInfo* info = lf_field(datum.name);
    if (!info->writable)
        return false;
    double value = 0;
    switch (datum.type) {
    case SIMCONNECT_DATATYPE_INT32: {
        std::int32_t v;
        std::memcpy(&v, bytes, sizeof v);
        value = v;
        break;
    }
    case SIMCONNECT_DATATYPE_INT64: {
        std::int64_t v;
        std::memcpy(&v, bytes, sizeof v);
        value = static_cast<double>(v);
        break;
    }
    case SIMCONNECT_DATATYPE_FLOAT32: {
        float v;
        std::memcpy(&v, bytes, sizeof v);
        value = v;
        break;
    }
    case SIMCONNECT_DATATYPE_FLOAT64:
        std::memcpy(&value, bytes, sizeof value);
        break;
    default:
        return false;
    }
    if (!std::isfinite(value))
        return false;
    value /= *lf_unitFactor(info->quantity, datum.units);
    switch (info->field) {
    case Field::latitude:
        if (value < -90 || value > 90)
            return false;
        object.latitude = value;
        break;
    case Field::longitude:
        if (value < -180 || value > 180)
            return false;
        object.longitude = value;
        break;
    case Field::altitude:
        object.altitudeFt = value;
        break;
    case Field::groundVelocity:
        object.groundSpeedKt = value;
        break;
    case Field::heading:
        object.headingDeg = std::fmod(std::fmod(value, 360.0) + 360.0, 360.0);
        break;
    case Field::pitch:
        object.pitchDeg = value;
        break;
    case Field::bank:
        object.bankDeg = value;
        break;
    case Field::onGround:
        object.onGround = value != 0;
        break;
    case Field::navLights:
        object.navLights = value != 0;
        break;
    default:
        return false;
    }
    return true;
}

} // namespace kvr::simsim
