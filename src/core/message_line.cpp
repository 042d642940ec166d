#include "core/message_line.h"

#include "core/exit_request.h"
#include "core/log.h"
#include "core/program_version.h"
#include "core/shell_port.h"
#include "core/time_util.h"

#include <fmt/format.h>

#include <algorithm>
#include <atomic>

namespace kvr {

std::mutex messageMutex;
MessageLineState messageLine;

namespace {
std::atomic<int> messageRoundCounter{0};
} // namespace

int gf_messageRoundCounter() {
    return messageRoundCounter.load();
}
void gf_setMessageRoundCounter(int round) {
    messageRoundCounter.store(round);
}

void gf_showMessage(const std::string& text, bool log) {
    std::lock_guard lock(messageMutex);
    if (!messageLine.errorText.empty())
        return;
    messageLine.messageText = text;
    messageLine.messageRound = text.empty() ? 0 : std::max(messageRoundCounter.load(), 1);
    if (log && !text.empty() && !gf_stopping())
        gf_logLine(text);
    gf_invalidateArea(ScreenArea::messageLine);
}

void gf_clearMessage() {
    gf_showMessage(std::string(), false);
}

void gf_showError(const std::string& text) {
    std::lock_guard lock(messageMutex);
    messageLine.messageText.clear();
    messageLine.messageRound = 0;
    messageLine.errorText = text;
    if (!gf_stopping())
        gf_logLine(fmt::format("Error {}", text));
    gf_invalidateArea(ScreenArea::messageLine);
}

void gf_clearMessageAndError() {
    std::lock_guard lock(messageMutex);
    messageLine = MessageLineState{};
    gf_invalidateArea(ScreenArea::messageLine);
}

MessageLineState gf_messageLineSnapshot() {
    std::lock_guard lock(messageMutex);
    return messageLine;
}

void gf_onWorkerError(const std::string& threadName, bool restart) {
    gf_showMessage(fmt::format("The {} has stopped with an error", threadName), true);
    if (restart)
        gf_requestExit(ExitReason::readerError, 15);
    else
        gf_requestExit(ExitReason::systemError, 0);
}

void gf_onSimDisconnected() {
    if (stopRequested.load())
        return;
    gf_logLine(fmt::format("{} Flight Simulator no longer connected, {} will stop ...", gf_nowHms(),
                           programShortName));
    gf_requestExit(ExitReason::simWasClosed, 0);
}

} // namespace kvr
