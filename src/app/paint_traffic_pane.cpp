// The traffic pane: the park airport, its stand file and the static parking figures.
#include "app/paint_internal.h"
#include "app/parking_display.h"
#include "core/status_display.h"
#include "core/text_util.h"
#include "settings/parameter_table.h"

#include <fmt/format.h>

#include <cmath>

namespace kvr {

void lf_paintTrafficPane() {
    const StatusTexts texts = statusDisplay.texts();
    if (texts.parkAirportText.empty())
        return;
    const int y1 = statusDisplay.trafficPaneFirstLineY;
    const int y2 = y1 + 28;
    const bool loaded = statusDisplay.standFileLoaded;
    gf_textOut(5, y1, texts.parkAirportText, loaded ? greenColour : yellowColour);
    if (!loaded)
        return;

    gf_textOut(85, y1,
               fmt::format(" {}, {}{}, wk={}", texts.standFileName, texts.publisherText,
                           statusDisplay.handmadeStandFile ? " (h)" : "", gf_rtTrafficWeekShown()),
               greenColour);
    const bool soft = statusDisplay.softFit;
    const bool week = statusDisplay.weekFit;
    if (soft || week)
        gf_textOut(370, y1, soft && week ? "*WS*" : soft ? "*S*" : "*W*", greenColour);
    const bool parkTrafficOnly = RT_PARKTRAFFIC_ONLY.value();
    if (!parkTrafficOnly)
        gf_textOut(430, y1, fmt::format("qf: {}", texts.qualityFactorText), greenColour);
    if (const std::string reserved = gf_reservedStandNameShown(); !reserved.empty())
        gf_textOut(571, y1, fmt::format("reserved stand: {}", reserved),
                   statusDisplay.reservedStandFound ? greenColour : redColour);
    gf_textOut(748, y1, fmt::format("# updates: {:4}", statusDisplay.numberOfUpdates.load()), greenColour);

    gf_textOut(5, y2, fmt::format("# stands: {:3}", statusDisplay.standCount.load()), greenColour);
    gf_textOut(111, y2, fmt::format("parked live: {:3}", statusDisplay.parkedLiveCount.load()), greenColour);
    if (const float fit = statusDisplay.parkedTrafficFitAverage; fit > 0)
        gf_textOut(249, y2, fmt::format("average fit: {}", gf_formatHours(fit)), greenColour);
    const int maxParkCount = statusDisplay.wantedMaxParkCount;
    if (maxParkCount > 0) {
        gf_textOut(430, y2, fmt::format("static: {:3}", statusDisplay.staticAircraftCount.load()),
                   greenColour);
        if (const int inBrackets = statusDisplay.staticInBrackets; inBrackets != 0)
            gf_textOut(500, y2, fmt::format(" ({})", inBrackets), yellowColour);
        if (const float fit = statusDisplay.learnedFitAverage; !week && fit > 0)
            gf_textOut(571, y2, fmt::format("average fit: {}", gf_formatHours(fit)), greenColour);
    }
    if (parkTrafficOnly)
        return;
    const std::string maxPark = maxParkCount != 0 ? fmt::format("max park: {:3} (={} %)", maxParkCount,
                                                                statusDisplay.wantedMaxParkPercentage.load())
                                                  : std::string("no max park live");
    gf_textOut(708, y2, maxPark, greenColour);
}

} // namespace kvr
