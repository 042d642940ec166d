#include "traffic_service/report_parser.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>

namespace kvr {

namespace {

// Feet of altitude per hectopascal near sea level in the standard atmosphere.
constexpr double feetPerHectopascal = 27.0;
constexpr double standardPressure = 1013.25;

bool lf_isNumberOrNull(const nlohmann::json& value) {
    return value.is_number() || value.is_null();
}

bool lf_isTextOrNull(const nlohmann::json& value) {
    return value.is_string() || value.is_null();
}

double lf_number(const nlohmann::json& value, double fallback = 0.0) {
    return value.is_number() ? value.get<double>() : fallback;
}

std::optional<double> lf_optionalNumber(const nlohmann::json& value) {
    if (value.is_number())
        return value.get<double>();
    return std::nullopt;
}

std::string lf_text(const nlohmann::json& value) {
    return value.is_string() ? value.get_ref<const std::string&>() : std::string();
}

constexpr std::size_t numericFields[] = {
    reportField::latitude,    reportField::longitude, reportField::baroAltitude,
    reportField::groundSpeed, reportField::track,     reportField::verticalRate,
    reportField::onGround,    reportField::timestamp, reportField::trueAirspeed,
    reportField::heading,     reportField::bank,      reportField::geometricAltitude,
    reportField::parkedSince};

constexpr std::size_t textFields[] = {
    reportField::callsign,     reportField::icaoType, reportField::registration, reportField::operatorCode,
    reportField::flightNumber, reportField::origin,   reportField::destination,  reportField::squawk,
    reportField::source,       reportField::standName};

// The checks shared by live and parked traffic; fills the head, the address and the position.
template <typename Record> std::optional<Record> lf_readCommon(const nlohmann::json& values) {
    if (!values.is_array() || values.size() != reportField::count)
        return std::nullopt;
    for (std::size_t index : numericFields)
        if (!lf_isNumberOrNull(values[index]))
            return std::nullopt;
    for (std::size_t index : textFields)
        if (!lf_isTextOrNull(values[index]))
            return std::nullopt;
    const auto& addressValue = values[reportField::address];
    if (!addressValue.is_string())
        return std::nullopt;
    const auto address = gf_parseAddress(addressValue.get_ref<const std::string&>());
    if (!address)
        return std::nullopt;
    const auto& lat = values[reportField::latitude];
    const auto& lon = values[reportField::longitude];
    const auto& time = values[reportField::timestamp];
    if (!lat.is_number() || !lon.is_number() || !time.is_number())
        return std::nullopt;
    Record record;
    record.address = *address;
    record.latitude = lat.get<double>();
    record.longitude = lon.get<double>();
    record.timestamp = time.get<double>();
    if (!std::isfinite(record.latitude) || !std::isfinite(record.longitude) ||
        std::abs(record.latitude) > 90.0 || std::abs(record.longitude) > 180.0 ||
        (record.latitude == 0.0 && record.longitude == 0.0))
        return std::nullopt;
    if (!(record.timestamp > 0.0) || !(record.timestamp <= latestReportTimestamp))
        return std::nullopt;
    record.callsign = lf_text(values[reportField::callsign]);
    record.icaoType = lf_text(values[reportField::icaoType]);
    record.registration = lf_text(values[reportField::registration]);
    record.operatorCode = lf_text(values[reportField::operatorCode]);
    record.flightNumber = lf_text(values[reportField::flightNumber]);
    record.origin = lf_text(values[reportField::origin]);
    record.destination = lf_text(values[reportField::destination]);
    record.squawk = lf_text(values[reportField::squawk]);
    return record;
}

} // namespace

std::optional<std::uint32_t> gf_parseAddress(std::string_view text) {
    if (text.empty() || text.size() > 6)
        return std::nullopt;
    std::uint32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (ec != std::errc() || end != text.data() + text.size() || value == 0)
        return std::nullopt;
    return value;
}

std::optional<double> gf_impossibleGroundSpeed(const nlohmann::json& values) {
    if (!values.is_array() || values.size() <= reportField::groundSpeed)
        return std::nullopt;
    const auto& speed = values[reportField::groundSpeed];
    if (!speed.is_number())
        return std::nullopt;
    const double knots = speed.get<double>();
    if (knots >= 0.0 && knots <= fastestGroundSpeedKt)
        return std::nullopt;
    return knots;
}

std::optional<LiveAircraft> gf_readAircraftArray(const nlohmann::json& values) {
    auto report = lf_readCommon<LiveAircraft>(values);
    if (!report || gf_impossibleGroundSpeed(values))
        return std::nullopt;
    report->altitude = lf_number(values[reportField::baroAltitude]);
    report->groundSpeed = lf_number(values[reportField::groundSpeed]);
    report->groundSpeedMissing = !values[reportField::groundSpeed].is_number();
    const double track = std::fmod(lf_number(values[reportField::track]), 360.0);
    report->track = track < 0.0 ? track + 360.0 : track;
    report->trackMissing = !values[reportField::track].is_number();
    report->verticalRate = lf_number(values[reportField::verticalRate]);
    report->onGround = lf_number(values[reportField::onGround]) != 0.0;
    report->trueAirspeed = lf_number(values[reportField::trueAirspeed]);
    report->heading = lf_optionalNumber(values[reportField::heading]);
    report->bank = lf_optionalNumber(values[reportField::bank]);
    report->geometricAltitude = lf_optionalNumber(values[reportField::geometricAltitude]);
    return report;
}

std::optional<ParkedAircraft> gf_readParkedArray(const nlohmann::json& values) {
    auto record = lf_readCommon<ParkedAircraft>(values);
    if (!record)
        return std::nullopt;
    record->standName = lf_text(values[reportField::standName]);
    record->parkedSince = lf_number(values[reportField::parkedSince]);
    return record;
}

std::optional<std::string> gf_quoteOutOfRangeNumbers(std::string_view body) {
    const auto numberChar = [](char c) {
        return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E';
    };
    std::string quoted;
    std::size_t copied = 0;
    for (std::size_t i = 0; i < body.size();) {
        if (body[i] == '"') {
            for (++i; i < body.size() && body[i] != '"'; ++i)
                if (body[i] == '\\')
                    ++i;
            ++i;
            continue;
        }
        if (body[i] != '-' && (body[i] < '0' || body[i] > '9')) {
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        while (end < body.size() && numberChar(body[end]))
            ++end;
        double value = 0;
        if (std::from_chars(body.data() + i, body.data() + end, value).ec == std::errc::result_out_of_range) {
            quoted.append(body.substr(copied, i - copied));
            quoted += "\"number out of range\"";
            copied = end;
        }
        i = end;
    }
    if (copied == 0)
        return std::nullopt;
    quoted.append(body.substr(copied));
    return quoted;
}

nlohmann::json gf_parseReply(std::string_view body, bool& quotedNumbers) {
    nlohmann::json reply = nlohmann::json::parse(body, nullptr, false);
    quotedNumbers = false;
    if (reply.is_discarded())
        if (const auto quoted = gf_quoteOutOfRangeNumbers(body)) {
            reply = nlohmann::json::parse(*quoted, nullptr, false);
            quotedNumbers = !reply.is_discarded();
        }
    return reply;
}

double gf_correctAltitudeWithQnh(double baroAltitudeFt, int qnh) {
    return baroAltitudeFt + (qnh - standardPressure) * feetPerHectopascal;
}

} // namespace kvr
