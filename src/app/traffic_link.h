#pragma once
// The live-traffic client as the run thread uses it: the login, the two readers and their flags, the
// traffic box, and the logout at closing down.
#include <string_view>

namespace kvr::traffic_link {

// The aircraft data base's categories for the reader's filters (once per process).
void wire();
// Both readers back to their start (session reset); the time offsets stay.
void resetReaders();
// The user aircraft as the Traffic Reader's reference position.
void setReferencePosition(double latitude, double longitude);
void updateTrafficBox();
// The login on the calling thread; throws the service's refusals.
void authenticate();
// A login gave the session a GUID.
bool hasSessionGuid();
void startWeatherReader();
void startTrafficReader();
bool trafficReceiving();
// Epoch seconds of the newest report; 0 until the first.
double latestReportTime();
void updateConnectionIndicators();
// The time offset both readers send, minutes.
void setTimeOffset(int minutes);
// The Traffic Reader records the live aircraft of its next reply for static parking.
void collectLiveAircraft();
// Closing down: stops both readers, waits until both have finished and logs out; nothing when no login
// happened.
void stopReadersAndLogout();

} // namespace kvr::traffic_link
