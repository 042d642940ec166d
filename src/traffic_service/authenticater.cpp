#include "traffic_service/readers.h"

#include "core/log.h"
#include "core/message_line.h"
#include "core/program_version.h"
#include "core/shared_state.h"
#include "core/shell_port.h"
#include "core/status_display.h"
#include "core/user_error.h"
#include "settings/parameter_table.h"

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <thread>

namespace kvr {

namespace {

const char* const authenticaterName = "Authenticater";

// What the user must do about a refused login.
const char* lf_refusalText(long status) {
    switch (status) {
    case 402:
        return "The live-traffic subscription of this key has expired: please renew it, then start again";
    case 404:
        return "The live-traffic key is not known: please enter your key as RT_KEY in parameters.xml";
    case 405:
        return "The live-traffic key is in use by another session: please close that session, then start "
               "again";
    default:
        return nullptr;
    }
}

void lf_showAccount(const std::string& account, bool authenticated) {
    statusDisplay.changeTexts([&](StatusTexts& texts) { texts.accountLine = account; });
    statusDisplay.authenticated.store(authenticated);
    gf_invalidateArea(ScreenArea::statusPane);
}

} // namespace

void gf_authenticater() {
    ServiceClient client(nullptr);
    const HttpReply reply =
        client.post("/v4/auth", {{"key", RT_KEY.value()},
                                 {"app", programShortName},
                                 {"version", programVersionText},
                                 {"sim", msfs2020Selected.load() ? "MSFS 2020" : "MSFS 2024"}});
    if (reply.aborted)
        return; // a stop came meanwhile: the session ends anyway
    if (!reply.error.empty()) {
        gf_logError(fmt::format("{}: {}", authenticaterName, reply.error));
        gf_onWorkerError(authenticaterName, true);
        return;
    }
    if (const char* refusal = lf_refusalText(reply.status)) {
        gf_showMessage(refusal, true);
        std::this_thread::sleep_for(gf_serviceTimings().refusalDelay);
        throw UserErrorException(static_cast<int>(reply.status), refusal);
    }
    if (reply.status == 500)
        throw std::runtime_error("No RT database connection");
    if (reply.status == 200) {
        const nlohmann::json answer = nlohmann::json::parse(reply.body, nullptr, false);
        const auto guid = answer.is_object() ? answer.find("guid") : answer.end();
        if (answer.is_object() && guid != answer.end() && guid->is_string() &&
            !guid->get<std::string>().empty()) {
            const auto account = answer.find("account");
            const std::string accountText =
                account != answer.end() && account->is_string() ? account->get<std::string>() : std::string();
            weatherReader.setGuid(guid->get<std::string>());
            trafficReader.setGuid(guid->get<std::string>());
            lf_showAccount(accountText, true);
            gf_logLine(fmt::format("Authenticated at the live-traffic service: {}", accountText));
            return;
        }
        gf_logError(fmt::format("{}: malformed reply", authenticaterName));
    } else {
        gf_logError(fmt::format("{}: HTTP {}", authenticaterName, reply.status));
    }
    gf_onWorkerError(authenticaterName, true);
}

void deauthenticate(TrafficReader& reader) {
    const std::string guid = reader.guid();
    if (!guid.empty()) {
        try {
            // Closing down runs after the stop request, which must not abort the logout; the user's close
            // gives it a short grace only.
            ServiceClient client(nullptr, StopScope::flagAndCloseAfterGrace);
            const HttpReply reply = client.post("/v4/deauth", {{"guid", guid}});
            if (reply.aborted)
                gf_logLine("Logout at the live-traffic service: no answer before the close");
            else if (!reply.error.empty() || reply.status != 200)
                gf_logLine(
                    fmt::format("Logout at the live-traffic service: {}",
                                reply.error.empty() ? fmt::format("HTTP {}", reply.status) : reply.error));
        } catch (const std::exception& e) {
            gf_logError(fmt::format("deauthenticate exception: {}", e.what()));
        }
    }
    reader.setGuid(std::string());
    weatherReader.setGuid(std::string());
    lf_showAccount(std::string(), false);
}

} // namespace kvr
