// The status pane: simulator and live-traffic lamps, the simulator and account lines, the counts.
#include "app/paint_internal.h"
#include "core/status_display.h"

#include <fmt/format.h>

namespace kvr {

namespace {

std::string lf_countText(const char* label, unsigned count) {
    return count > 0 ? fmt::format("{}{}", label, count) : fmt::format("{}...", label);
}

} // namespace

void lf_paintStatusPane() {
    const StatusTexts texts = statusDisplay.texts();

    const bool connected = statusDisplay.simConnected;
    const bool allGood = connected && statusDisplay.flightRunning && !texts.userAircraftTitle.empty();
    const COLORREF simColour = allGood ? greenColour : connected ? yellowColour : redColour;
    const HBRUSH simBrush = allGood     ? mainWindow.greenBrush.get()
                            : connected ? mainWindow.yellowBrush.get()
                                        : mainWindow.redBrush.get();
    gf_fillArea(simLampRect, simBrush);
    gf_textOut(398, 63, "Sim", greenColour);

    if (connected) {
        std::string simLine = texts.simNameAndVersion;
        if (!texts.userStandName.empty())
            simLine += ", user stand " + texts.userStandName;
        gf_textOut(5, 35, simLine, simColour);
        gf_textOut(5, 63, texts.userAircraftTitle, statusDisplay.userModelKnown ? simColour : yellowColour);
    } else {
        gf_textOut(5, 35, "MSFS", greenColour);
    }

    const unsigned liveries = statusDisplay.liveryCount;
    gf_textOut(5, 91, lf_countText("# liveries: ", liveries), liveries > 0 ? greenColour : redColour);
    const unsigned simAddon = statusDisplay.simAddonAirportCount;
    gf_textOut(141, 91, lf_countText("# simaddon: ", simAddon), simAddon > 0 ? greenColour : yellowColour);
    const unsigned thirdParty = statusDisplay.thirdPartyAirportCount;
    gf_textOut(278, 91, lf_countText("# thirdp: ", thirdParty), thirdParty > 0 ? greenColour : yellowColour);

    const bool authenticated = statusDisplay.authenticated;
    const HBRUSH rtBrush = statusDisplay.rtLampPending ? mainWindow.blackBrush.get()
                           : authenticated             ? mainWindow.greenBrush.get()
                                                       : mainWindow.redBrush.get();
    gf_fillArea(rtLampRect, rtBrush);
    gf_textOut(430, 63, "RT", greenColour);

    if (authenticated) {
        gf_textOut(458, 35, texts.accountLine, greenColour);
        if (const int weather = statusDisplay.weatherLampState; weather != 3)
            gf_textOut(458, 63, "Weather", weather == 1 ? greenColour : yellowColour);
        if (const int traffic = statusDisplay.trafficLampState; traffic != 3)
            gf_textOut(458, 91, "Traffic", traffic == 1 ? greenColour : yellowColour);
    }

    SelectObject(mainWindow.paintDc, mainWindow.blackPen.get());
    gf_line({425, 29}, {425, 112});
}

} // namespace kvr
