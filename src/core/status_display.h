#pragma once
#include <atomic>
#include <mutex>
#include <string>

namespace kvr {

// What the main window's status display, traffic pane and lamps show. Subsystems write a field and
// invalidate the area that shows it (gf_invalidateArea); the GUI thread paints from here.
// Numbers and flags are atomics; texts are read and written through the accessors, under textMutex.
struct StatusTexts {
    std::string userAircraftTitle;    // simulator link
    std::string parkAirportText;      // choice of the park airport
    std::string standFileName;        // stand file shown
    std::string publisherText;        // stand file lookup
    std::string qualityFactorText;    // stand file lookup
    std::string simNameAndVersion;    // simulator link
    std::string accountLine;          // live-traffic service
    std::string userStandName;        // simulator link / park airport
    std::string objectIdText;         // chosen callsign's object id
};

struct StatusDisplay {
    std::atomic<float> learnedFitAverage{-1.0f};
    std::atomic<float> parkedTrafficFitAverage{-1.0f};

    std::atomic<unsigned> liveAircraftCount{0};
    std::atomic<unsigned> simAddonAirportCount{0};
    std::atomic<unsigned> thirdPartyAirportCount{0};
    std::atomic<unsigned> liveryCount{0};
    std::atomic<unsigned> parkedLiveCount{0};
    std::atomic<unsigned> staticAircraftCount{0};
    std::atomic<unsigned> standCount{0};

    std::atomic<int> trafficPaneFirstLineY{399};
    std::atomic<int> wantedMaxParkPercentage{0};
    std::atomic<int> shownQnh{0};
    std::atomic<int> wantedMaxParkCount{0};
    std::atomic<int> minutesToStaticUpdate{0};
    std::atomic<int> numberOfUpdates{0};
    std::atomic<int> staticInBrackets{0};

    std::atomic<bool> handmadeStandFile{false};
    std::atomic<bool> rtLampPending{true};
    std::atomic<bool> authenticated{false};
    std::atomic<bool> standFileLoaded{false};
    std::atomic<bool> simConnected{false};
    std::atomic<bool> flightRunning{false};
    std::atomic<bool> userModelKnown{true};
    std::atomic<bool> softFit{false};
    std::atomic<bool> weekFit{false};
    std::atomic<bool> reservedStandFound{false};
    std::atomic<bool> timeControlsEnabled{true};

    // 1 good (green), 0 or 2 attention (yellow), 3 not shown.
    std::atomic<int> trafficLampState{3};
    std::atomic<int> weatherLampState{3};

    StatusTexts texts() const {
        std::lock_guard lock(textMutex);
        return texts_;
    }
    template <typename Change> void changeTexts(Change&& change) {
        std::lock_guard lock(textMutex);
        change(texts_);
    }

    // Every field back to its start value (session reset).
    void reset();

private:
    mutable std::mutex textMutex;
    StatusTexts texts_;
};

extern StatusDisplay statusDisplay;

} // namespace kvr
