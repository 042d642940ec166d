#pragma once
#include <mutex>
#include <string>

namespace kvr {

// The one-line message area of the main window: the program's way to talk to the user from any thread.
// Only the log lock may be taken while messageMutex is held.
extern std::mutex messageMutex;

struct MessageLineState {
    std::string messageText;
    std::string errorText;
    int messageRound = 0;  // round in which the message was set (0: none)
};

// Guarded by messageMutex.
extern MessageLineState messageLine;

// Round counter of the message line; written each round by the session loop.
int gf_messageRoundCounter();
void gf_setMessageRoundCounter(int round);

// Sets the message line (dropped while an error is shown); with log set, a non-empty text is also
// written to Log.txt unless the session is stopping.
void gf_showMessage(const std::string& text, bool log = false);
void gf_clearMessage();
// Sets the error line, which stays until a session reset or an install-path entry clears it.
void gf_showError(const std::string& text);
// Empties both texts and the rounds (session reset, closing down).
void gf_clearMessageAndError();
// A copy of the texts for painting.
MessageLineState gf_messageLineSnapshot();

// A worker thread or the login stopped with an error; restart asks for READER ERROR, else SYSTEM ERROR.
void gf_onWorkerError(const std::string& threadName, bool restart);
// The simulator connection is gone.
void gf_onSimDisconnected();

} // namespace kvr
