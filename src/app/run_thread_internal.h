#pragma once
// The steps of the run thread's pass that tests drive one by one.
#include "app/run_thread.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>

namespace kvr {

// Throws UserErrorException 41 when the working folder holds no "docs" folder.
void lf_checkProgramFolder();
void lf_readStartupData();
void lf_initControlStates();
void lf_createDataFolders();
// Production mode: exit code 0 and the user-closed stop, so the pass closes down and the program ends.
void lf_closeIfProduction();
// The text of a child control of the main window; empty when there is none or it does not convert.
std::string lf_getTextFromId(std::uint16_t controlId);

// An install path ending in "\Community" or "/Community" (at least 10 characters in all) without that
// ending; none for any other path.
std::optional<std::string> lf_installPathWithoutCommunity(const std::string& path);
// Seconds to wait before the live-traffic service may be visited again: 2 s after its last visit, never
// more (a last visit in the future counts as now).
int lf_holdSeconds(std::time_t now, std::int64_t lastVisit);

// Runs the steps of a pass; what they throw is shown in the message line and ends the session with SYSTEM
// ERROR: a user error and an unknown exception set the reason directly, the standard exceptions only as
// the first stop request.
void lf_runGuarded(const std::function<void()>& steps);

// Steps 6 and 7 of a pass: the add-on airport scan, the hold, the folder counts, then the session.
void lf_scansHoldAndSession();

} // namespace kvr
