// The traffic pane: the park airport, its stand file and the static parking figures.
#include "app/paint_internal.h"
#include "app/parking_display.h"
#include "core/status_display.h"
#include "core/text_util.h"
#include "settings/parameter_table.h"

#include <fmt/format.h>

#include <cmath>
#include <string>
#include <vector>

namespace kvr {

namespace {

// Room left between a text and the next one on its line.
constexpr int textGap = 6;

struct LineText {
    int x = 0;
    std::string text;
    COLORREF colour = 0;
    bool keepEnd = false;
};

// The first line's texts sit at fixed places; each is cut to the room before the next one drawn, so a long
// airport name or stand-file path never runs under its neighbour.
void lf_drawLine(int y, const std::vector<LineText>& line, int rightEdge) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        const int next = i + 1 < line.size() ? line[i + 1].x : rightEdge;
        gf_textOutWithin(line[i].x, y, line[i].text, next - line[i].x - textGap, line[i].colour,
                         line[i].keepEnd);
    }
}

} // namespace

void lf_paintTrafficPane() {
    const StatusTexts texts = statusDisplay.texts();
    if (texts.parkAirportText.empty())
        return;
    const int y1 = statusDisplay.trafficPaneFirstLineY;
    const int y2 = y1 + 28;
    const bool loaded = statusDisplay.standFileLoaded;
    if (!loaded) {
        gf_textOut(5, y1, texts.parkAirportText, yellowColour);
        return;
    }

    std::vector<LineText> first{
        {5, texts.parkAirportText, greenColour},
        {85,
         fmt::format(" {}, {}{}, wk={}", texts.standFileName, texts.publisherText,
                     statusDisplay.handmadeStandFile ? " (h)" : "", gf_rtTrafficWeekShown()),
         greenColour, true},
    };
    const bool soft = statusDisplay.softFit;
    const bool week = statusDisplay.weekFit;
    if (soft || week)
        first.push_back({370, soft && week ? "*WS*" : soft ? "*S*" : "*W*", greenColour});
    const bool parkTrafficOnly = RT_PARKTRAFFIC_ONLY.value();
    if (!parkTrafficOnly)
        first.push_back({430, fmt::format("qf: {}", texts.qualityFactorText), greenColour});
    if (const std::string reserved = gf_reservedStandNameShown(); !reserved.empty())
        first.push_back({571, fmt::format("reserved stand: {}", reserved),
                         statusDisplay.reservedStandFound ? greenColour : redColour});
    first.push_back({748, fmt::format("# updates: {:4}", statusDisplay.numberOfUpdates.load()), greenColour});
    lf_drawLine(y1, first, mainWindowWidth);

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
