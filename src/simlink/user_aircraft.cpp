// The answers about the user aircraft.
#include "core/exit_request.h"
#include "core/geodesy.h"
#include "core/log.h"
#include "core/shell_port.h"
#include "core/status_display.h"
#include "core/text_util.h"
#include "simlink/sim_answer.h"
#include "simlink/sim_client_internal.h"
#include "simlink/sim_ids.h"
#include "simlink/sim_link_state.h"
#include "simlink/sim_queues.h"
#include "simlink/simlink_hooks.h"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <mutex>

namespace kvr {

namespace {

constexpr double teleportDistanceNm = 5.0;
constexpr double feetPerNm = 6076.115;

// A position of (0, 0) is what the simulator answers while no flight is loaded.
bool lf_knownPosition(const UserAcData& data) {
    return std::abs(data.latitude) > 0.0001 || std::abs(data.longitude) > 0.0001;
}

double lf_distanceNm(const UserAcData& a, const UserAcData& b) {
    return gf_distanceNm(a.latitude, a.longitude, b.latitude, b.longitude);
}

std::int64_t lf_daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

void lf_onUserPosition(SimAnswerReader& answer) {
    UserAcData data;
    data.latitude = answer.float64();
    data.longitude = answer.float64();
    data.altitude = std::max(answer.float64(), 0.0);
    data.groundSpeed = answer.float64();
    data.heading = answer.float64();
    const double year = answer.float64(), dayOfYear = answer.float64(), secondOfDay = answer.float64();
    if (!std::isfinite(data.latitude) || !std::isfinite(data.longitude) || std::abs(data.latitude) > 90 ||
        std::abs(data.longitude) > 180) {
        gf_logError(fmt::format("lf_onSimObjectData: user position {} {} is not on the earth", data.latitude,
                                data.longitude));
        return;
    }

    const bool hadData = userAcDataReceived;
    double jumpNm = 0;
    UserAcData previous;
    {
        std::lock_guard lock(simQueueMutex);
        previous = userAcData;
        userAcData = data;
    }
    if (hadData && lf_knownPosition(previous) && lf_knownPosition(data))
        jumpNm = lf_distanceNm(previous, data);
    if (year >= 1970 && dayOfYear >= 1 && dayOfYear <= 366 && secondOfDay >= 0 && secondOfDay < 86401) {
        const std::int64_t days = lf_daysFromCivil(static_cast<std::int64_t>(year), 1, 1) +
                                  static_cast<std::int64_t>(dayOfYear) - 1;
        simUtcTime = static_cast<std::uint64_t>(days * 86400 + static_cast<std::int64_t>(secondOfDay));
    }
    userAcDataReceived = true;

    if (jumpNm > teleportDistanceNm) {
        gf_logLine("Teleport");
        gf_logIndented(fmt::format("{:.1f} nm from {:.5f} {:.5f} to {:.5f} {:.5f}", jumpNm, previous.latitude,
                                   previous.longitude, data.latitude, data.longitude));
        gf_requestExit(ExitReason::newFlight, 45);
    }

    const std::string stand = gf_userStandNameAt(data.latitude, data.longitude);
    bool changed = false;
    statusDisplay.changeTexts([&](StatusTexts& texts) {
        changed = texts.userStandName != stand;
        texts.userStandName = stand;
    });
    if (changed)
        gf_invalidateArea(ScreenArea::statusPane);
    newData = true;
}

void lf_onUserOnGround(SimAnswerReader& answer) {
    userOnGround = answer.int32() != 0;
    if (userAcDataReceived && lf_knownPosition(gf_latestUserAcData()))
        userAcDataValid = true;
}

void lf_onUserTitle(SimAnswerReader& answer) {
    const std::string title = answer.text(256);
    statusDisplay.changeTexts([&](StatusTexts& texts) { texts.userAircraftTitle = title; });
    gf_invalidateArea(ScreenArea::statusPane);
    gf_logLine(fmt::format("User aircraft: {}", title));
}

void lf_onUserModel(SimAnswerReader& answer) {
    const std::string model = answer.text(32);
    const double wingspanFt = answer.float64();
    const std::string type = lf_typeFromAtcModel(model);
    statusDisplay.userModelKnown = !type.empty();
    userHalfWingspan =
        std::isfinite(wingspanFt) && wingspanFt > 0 ? wingspanFt / 2 / feetPerNm : defaultHalfWingspanNm;
    gf_invalidateArea(ScreenArea::statusPane);
    gf_logLine(fmt::format("User aircraft model: {} ({}), wingspan {:.1f} ft",
                           type.empty() ? "unknown" : type, model, wingspanFt));
}

} // namespace

std::string lf_typeFromAtcModel(const std::string& atcModel) {
    std::string text = atcModel;
    if (const auto key = text.find("AC_MODEL"); key != std::string::npos) {
        text = text.substr(key + 8);
        if (!text.empty() && (text.front() == '_' || text.front() == ' '))
            text.erase(0, 1);
        text = text.substr(0, text.find('.'));
    } else if (text.rfind("$$:", 0) == 0) {
        text.erase(0, 3);
    }
    const auto first = text.find_first_not_of(' ');
    text = first == std::string::npos ? std::string()
                                      : text.substr(first, text.find_last_not_of(' ') - first + 1);
    text = gf_toUpper(text);
    const bool designator =
        text.size() >= 2 && text.size() <= 4 && std::isalpha(static_cast<unsigned char>(text[0])) &&
        std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isalnum(c); });
    return designator ? text : std::string();
}

void lf_onSimObjectData(const SIMCONNECT_RECV_SIMOBJECT_DATA& data, DWORD size) {
    SimAnswerReader answer(data, size);
    try {
        switch (data.dwRequestID) {
        case userPositionRequest:
            lf_onUserPosition(answer);
            break;
        case userOnGroundRequest:
            lf_onUserOnGround(answer);
            break;
        case userTitleRequest:
            lf_onUserTitle(answer);
            break;
        case userModelRequest:
            lf_onUserModel(answer);
            break;
        default:
            break;
        }
    } catch (const std::runtime_error& error) {
        gf_logError(fmt::format("lf_onSimObjectData: {}", error.what()));
    }
}

} // namespace kvr
