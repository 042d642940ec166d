// Enter in the three edit boxes: the typed text is checked, stored and saved, and the outcome goes to the
// message line and Log.txt. A refused text is replaced by the stored value, so the box never shows a value
// that is not in effect.
#include "app/edit_box_entries.h"

#include "app/command_hooks.h"
#include "app/edit_box_entries_internal.h"
#include "app/main_window.h"
#include "app/request_flags.h"
#include "core/log.h"
#include "core/message_line.h"
#include "core/native_path.h"
#include "core/shared_state.h"
#include "core/utf.h"
#include "refdata/airport_table.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"
#include "settings/parameters_file.h"

#include <fmt/format.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace kvr {

namespace {

constexpr std::size_t callsignMinLength = 4;
constexpr std::size_t callsignMaxLength = 8;
constexpr std::size_t airportCodeLength = 4;

void lf_showAndLog(const std::string& text) {
    gf_showMessage(text, true);
}

// Per byte: only a to z change, so UTF-8 sequences stay intact.
std::string lf_upperAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    return text;
}

void lf_onCallsignEntered() {
    gf_clearMessage();
    const std::string typed = lf_getTextFromId(BLOCK_CALLSIGN.controlId);
    if (typed.empty()) {
        lf_unblockCallsign();
        return;
    }
    if (typed.size() < callsignMinLength || typed.size() > callsignMaxLength) {
        lf_showAndLog(fmt::format("callsign '{}' is not valid", typed));
        gf_showControlText(BLOCK_CALLSIGN);
        return;
    }
    const std::string callsign = lf_upperAscii(typed);
    if (callsign == BLOCK_CALLSIGN.value()) {
        lf_showAndLog(fmt::format("callsign '{}' was already set ...", callsign));
        gf_showControlText(BLOCK_CALLSIGN);
        return;
    }
    // The followed aircraft is about to be blocked: stop following it.
    if (callsign == CALLSIGN_2_OBJECTID.value())
        gf_requestCallsignSelectionReset();
    lf_blockCallsign(callsign);
}

void lf_onDestinationEntered() {
    gf_clearMessage();
    const std::string typed = lf_getTextFromId(DESTINATION.controlId);
    if (typed.empty()) {
        // Closing down empties and saves it; until then parameters.xml keeps the old one.
        DESTINATION.setValue(std::string());
        lf_showDestinationStatus(0, typed);
        return;
    }
    if (typed.size() != airportCodeLength) {
        lf_showDestinationStatus(1, typed);
        return;
    }
    const std::string code = lf_upperAscii(typed);
    if (code == DESTINATION.value()) {
        lf_showDestinationStatus(2, code);
        return;
    }
    const auto airport = std::find_if(airportTable.begin(), airportTable.end(),
                                      [&code](const Airport& a) { return a.code == code; });
    if (airport == airportTable.end()) {
        lf_showDestinationStatus(3, code);
        return;
    }
    lf_setDestination(code, airport->latitude, airport->longitude);
}

bool lf_isSeparator(char c) {
    return c == '/' || c == '\\';
}

// The path of a typed text; both separators are accepted.
std::filesystem::path lf_pathFromText(std::string text) {
#ifndef _WIN32
    std::replace(text.begin(), text.end(), '\\', '/');
#endif
    return gf_pathFromUtf8(text);
}

// The length of the root at the front of the text: a drive ("C:"), then the separators after it.
std::size_t lf_rootLength(const std::string& text) {
    std::size_t length = 0;
    if (text.size() >= 2 && text[1] == ':')
        length = 2;
    while (length < text.size() && lf_isSeparator(text[length]))
        ++length;
    return length;
}

bool lf_exists(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

void lf_storeInstallPath(StringParameter& target, const std::string& value) {
    gf_setParameterAndSave(target, value);
    gf_hookRestartForCommunityPath();
}

void lf_onInstallPathEntered() {
    StringParameter& target = msfs2020Selected.load() ? MSFS_INSTALL_PATH : MSFS_2024_INSTALL_PATH;
    lf_onCommunityPathEntered(target, lf_getTextFromId(ALL_INSTALL_PATH.controlId));
}

} // namespace

void lf_unblockCallsign() {
    const std::string old = BLOCK_CALLSIGN.value();
    if (old.empty())
        return;
    BLOCK_CALLSIGN.setValue(std::string());
    gf_saveStringParameter(BLOCK_CALLSIGN);
    gf_showControlText(BLOCK_CALLSIGN);
    gf_disableControl(unblockButton);
    lf_showAndLog(fmt::format("no more blocking of live aircraft '{}'", old));
    blockedCallsignChanged.exchange(true);
}

void lf_blockCallsign(const std::string& callsign) {
    BLOCK_CALLSIGN.setValue(callsign);
    gf_saveStringParameter(BLOCK_CALLSIGN);
    gf_showControlText(BLOCK_CALLSIGN);
    gf_enableControl(unblockButton);
    blockedCallsignChanged.exchange(true);
}

void lf_showDestinationStatus(int status, const std::string& code) {
    switch (status) {
    case 0:
        gf_enableControl(reReadButton);
        lf_showAndLog("destination set to empty");
        break;
    case 1:
        lf_showAndLog(fmt::format("destination '{}' is not valid", code));
        gf_showControlText(DESTINATION);
        break;
    case 2:
        lf_showAndLog(fmt::format("destination '{}' was already set ...", code));
        gf_showControlText(DESTINATION);
        break;
    case 3:
        lf_showAndLog(fmt::format("destination '{}' is unknown ...", code));
        gf_showControlText(DESTINATION);
        break;
    default:
        break;
    }
}

void lf_setDestination(const std::string& code, double latitude, double longitude) {
    DESTINATION.setValue(code);
    gf_saveStringParameter(DESTINATION);
    gf_showControlText(DESTINATION);
    lf_showAndLog(fmt::format("New destination: {}", code));
    gf_hookAddDestinationParkAirport(code, latitude, longitude);
    gf_disableControl(reReadButton);
}

void lf_onCommunityPathEntered(StringParameter& target, const std::string& typed) {
    gf_clearMessageAndError();
    if (typed.empty()) {
        if (!target.empty())
            gf_setParameterAndSave(target, std::string());
        return;
    }
    const std::filesystem::path path = lf_pathFromText(typed);
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (ec && ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory) {
        lf_showAndLog(fmt::format("Cannot access install path '{}': {}", typed, ec.message()));
        return;
    }
    if (!std::filesystem::exists(status)) {
        lf_showAndLog(fmt::format("This install path does not exist: {}", typed));
        return;
    }
    const std::size_t root = lf_rootLength(typed);
    std::size_t lastStart = typed.size();
    while (lastStart > root && !lf_isSeparator(typed[lastStart - 1]))
        --lastStart;
    if (typed.compare(lastStart, std::string::npos, "Community") != 0) {
        if (lf_exists(path / "Community"))
            lf_storeInstallPath(target, typed);
        else
            lf_showAndLog("This path exists but is not a path to Community ...");
        return;
    }
    // The parent: the text before the last element, without the separators in front of it (the root
    // keeps its own).
    std::size_t parentEnd = lastStart;
    while (parentEnd > root && lf_isSeparator(typed[parentEnd - 1]))
        --parentEnd;
    const std::string parent = typed.substr(0, parentEnd);
    if (!parent.empty() && lf_exists(lf_pathFromText(parent) / "Community"))
        lf_storeInstallPath(target, parent);
    else
        lf_showAndLog("This path does not contain a valid Community folder (unexpected).");
}

void lf_onEditBoxEnter(ControlStringParameter& setting) {
    gf_clearMessage();
    if (&setting == &BLOCK_CALLSIGN)
        lf_onCallsignEntered();
    else if (&setting == &DESTINATION)
        lf_onDestinationEntered();
    else if (&setting == &ALL_INSTALL_PATH)
        lf_onInstallPathEntered();
}

} // namespace kvr
