#include "app/control_state.h"
#include "app/paint_internal.h"
#include "app/parking_display.h"
#include "app_fixture.h"
#include "platform/win32/gdi_font.h"

#include <cairo.h>

#include <algorithm>
#include <optional>

namespace kvr::test {
namespace {

class Painting : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(openWindow());
    }
    void TearDown() override {
        gf_installParkingDisplaySource({});
        MainWindowTest::TearDown();
    }
    COLORREF pixel(int x, int y) { return standin::clientPixel(window(), x, y); }
    std::optional<standin::DrawnText> drawn(const std::string& text) {
        for (const auto& t : standin::drawnTexts(window()))
            if (t.text == text)
                return t;
        return std::nullopt;
    }
    COLORREF colourOf(const std::string& text) {
        const auto t = drawn(text);
        EXPECT_TRUE(t) << "not drawn: " << text;
        return t ? t->colour : CLR_INVALID;
    }
    void connectSimulator(bool flight, const std::string& title) {
        statusDisplay.simConnected = true;
        statusDisplay.flightRunning = flight;
        statusDisplay.changeTexts([&](StatusTexts& t) {
            t.userAircraftTitle = title;
            t.simNameAndVersion = "MSFS 2020 1.37.19";
        });
    }
    void showParkAirport(const std::string& airport, const std::string& standFile,
                         const std::string& publisher, const std::string& qualityFactor) {
        statusDisplay.changeTexts([&](StatusTexts& t) {
            t.parkAirportText = airport;
            t.standFileName = standFile;
            t.publisherText = publisher;
            t.qualityFactorText = qualityFactor;
        });
    }
};

TEST_F(Painting, PanesAndSeparatorsHaveTheirColours) {
    repaint();
    EXPECT_EQ(pixel(100, 10), RGB(0, 0, 0)) << "header";
    EXPECT_EQ(pixel(100, 28), RGB(255, 255, 255)) << "white line under the header";
    EXPECT_EQ(pixel(100, 200), lightBlueColour) << "controls area";
    EXPECT_EQ(pixel(100, 224), RGB(0, 0, 0)) << "separator";
    EXPECT_EQ(pixel(642, 200), RGB(0, 0, 0)) << "vertical separator";
    EXPECT_EQ(pixel(700, 168), lightBlueColour) << "short separators end at 642";
    EXPECT_EQ(pixel(100, 420), RGB(0, 0, 0)) << "traffic pane";
    EXPECT_EQ(pixel(100, 392), RGB(255, 255, 255));
    EXPECT_EQ(pixel(860, 470), greenColour) << "message line";
    EXPECT_EQ(drawn("Version 12.0.0")->colour, greenColour);
    EXPECT_EQ(drawn("Vantrel")->x, 390);
}

TEST_F(Painting, SimulatorLampIsRedYellowOrGreen) {
    repaint();
    EXPECT_EQ(pixel(410, 40), redColour);
    EXPECT_EQ(colourOf("MSFS"), greenColour);
    connectSimulator(false, "Airbus A320neo");
    repaint();
    EXPECT_EQ(pixel(410, 40), yellowColour) << "connected, no flight";
    EXPECT_EQ(colourOf("MSFS 2020 1.37.19"), yellowColour);
    connectSimulator(true, "");
    repaint();
    EXPECT_EQ(pixel(410, 40), yellowColour) << "flight without an aircraft title";
    connectSimulator(true, "Airbus A320neo");
    statusDisplay.changeTexts([](StatusTexts& t) { t.userStandName = "E7"; });
    repaint();
    EXPECT_EQ(pixel(410, 40), greenColour);
    EXPECT_EQ(colourOf("MSFS 2020 1.37.19, user stand E7"), greenColour);
    statusDisplay.userModelKnown = false;
    repaint();
    EXPECT_EQ(colourOf("Airbus A320neo"), yellowColour) << "an unknown model shows its title in yellow";
}

TEST_F(Painting, LiveTrafficLampAndItsLines) {
    repaint();
    EXPECT_EQ(pixel(440, 40), RGB(0, 0, 0)) << "pending before the login";
    statusDisplay.rtLampPending = false;
    repaint();
    EXPECT_EQ(pixel(440, 40), redColour);
    EXPECT_FALSE(drawn("Weather"));

    statusDisplay.authenticated = true;
    statusDisplay.changeTexts([](StatusTexts& t) { t.accountLine = "account: test"; });
    statusDisplay.shownQnh = 1013;
    statusDisplay.liveAircraftCount = 7;
    repaint();
    EXPECT_EQ(pixel(440, 40), greenColour);
    EXPECT_EQ(colourOf("account: test"), greenColour);
    EXPECT_FALSE(drawn("Weather")) << "lamp state 3 is not shown";
    EXPECT_FALSE(drawn("Traffic"));
    EXPECT_FALSE(drawn("qnh: 1013"));
    EXPECT_FALSE(drawn("live:   7"));

    statusDisplay.weatherLampState = 1;
    statusDisplay.trafficLampState = 2;
    repaint();
    EXPECT_EQ(colourOf("Weather"), greenColour);
    EXPECT_EQ(colourOf("Traffic"), yellowColour);
    EXPECT_EQ(colourOf("qnh: 1013"), greenColour);
    EXPECT_EQ(colourOf("live:   7"), greenColour);
    statusDisplay.shownQnh = 0;
    repaint();
    EXPECT_FALSE(drawn("qnh:    0")) << "no QNH below 1";
}

TEST_F(Painting, CountsShowDotsWhileZero) {
    repaint();
    EXPECT_EQ(colourOf("# liveries: ..."), redColour);
    EXPECT_EQ(colourOf("# simaddon: ..."), yellowColour);
    statusDisplay.liveryCount = 1234;
    statusDisplay.thirdPartyAirportCount = 5;
    repaint();
    EXPECT_EQ(colourOf("# liveries: 1234"), greenColour);
    EXPECT_EQ(colourOf("# thirdp: 5"), greenColour);
}

TEST_F(Painting, LabelColoursFollowTheSettingsAndTheControls) {
    MAX_PARK_SEL.setValue(0);
    MAX_LIVE_SEL.setValue(0);
    TIME_SHIFT_DAYS.setValue(1);
    repaint();
    EXPECT_EQ(colourOf("Max park (static+live):"), redColour) << "both zero";
    EXPECT_EQ(colourOf("Max live (park incl):"), redColour);
    EXPECT_EQ(colourOf("Scan for liveries"), yellowColour);
    EXPECT_EQ(colourOf("GUID changes"), blackColour);
    EXPECT_EQ(colourOf("Light aircraft"), blackColour);
    EXPECT_TRUE(drawn("day"));
    EXPECT_TRUE(drawn("hours"));
    EXPECT_EQ(drawn("Max fit:")->y, 371);

    MAX_LIVE_SEL.setValue(10);
    SCAN_LIVERIES.setValue(false);
    GUID_CHANGES.setValue(false);
    RT_PARKTRAFFIC_ONLY.setValue(true);
    AUTO_RANGE.setValue(false);
    statusDisplay.timeControlsEnabled = false;
    EnableWindow(LIGHT_AIRCRAFT.windowHandle, FALSE);
    controlsBusy = true;
    repaint();
    controlsBusy = false;
    EXPECT_EQ(colourOf("Max park (static+live):"), yellowColour);
    EXPECT_EQ(colourOf("Max live (park incl):"), blackColour);
    EXPECT_EQ(colourOf("Scan for liveries"), blackColour);
    EXPECT_EQ(colourOf("GUID changes"), yellowColour);
    EXPECT_EQ(colourOf("Light aircraft"), greyColour);
    EXPECT_EQ(colourOf("Week"), greyColour);
    EXPECT_EQ(colourOf("hrs"), blackColour);
    EXPECT_EQ(colourOf("Ah:"), greyColour);
    EXPECT_EQ(colourOf("Time shift:"), greyColour);
    EXPECT_EQ(colourOf("Airport parking"), yellowColour);
}

TEST_F(Painting, NextUpdateMinutesOnlyWithALoadedAirportAndFreeControls) {
    statusDisplay.minutesToStaticUpdate = 12;
    repaint();
    EXPECT_FALSE(drawn("(next in 12 min)"));
    statusDisplay.standFileLoaded = true;
    repaint();
    EXPECT_TRUE(drawn("(next in 12 min)"));
    INITIAL_LOAD_ONLY.setValue(true);
    repaint();
    EXPECT_TRUE(drawn("(no next ... )"));
    statusDisplay.minutesToStaticUpdate = 20;
    repaint();
    EXPECT_FALSE(drawn("(no next ... )"));
}

TEST_F(Painting, WithoutAParkAirportTheTrafficPaneStaysBlackAndEmpty) {
    statusDisplay.standCount = 12;
    repaint();
    for (const auto& t : standin::drawnTexts(window()))
        EXPECT_FALSE(t.y >= 392 && t.y < 448) << t.text;
    for (int x = 0; x < 880; x += 7)
        EXPECT_EQ(pixel(x, 420), RGB(0, 0, 0));
}

TEST_F(Painting, TrafficPaneLinesOfALoadedParkAirport) {
    showParkAirport("EHAM", "EHAM.xml", "learned", "0.87");
    repaint();
    EXPECT_EQ(colourOf("EHAM"), yellowColour);
    EXPECT_FALSE(drawn("# stands:   0")) << "nothing more until the stand file is loaded";

    gf_installParkingDisplaySource(
        {[] { return std::string("E7"); }, [] { return 3; }, [] { return false; }});
    statusDisplay.standFileLoaded = true;
    statusDisplay.handmadeStandFile = true;
    statusDisplay.softFit = true;
    statusDisplay.weekFit = true;
    statusDisplay.standCount = 214;
    statusDisplay.wantedMaxParkCount = 64;
    statusDisplay.wantedMaxParkPercentage = 30;
    statusDisplay.staticAircraftCount = 41;
    statusDisplay.staticInBrackets = 3;
    statusDisplay.parkedTrafficFitAverage = 2.5f;
    statusDisplay.learnedFitAverage = 6.0f;
    repaint();
    EXPECT_EQ(colourOf("EHAM"), greenColour);
    EXPECT_TRUE(drawn(" EHAM.xml, learned (h), wk=3"));
    EXPECT_TRUE(drawn("*WS*"));
    EXPECT_TRUE(drawn("qf: 0.87"));
    EXPECT_EQ(colourOf("reserved stand: E7"), redColour);
    EXPECT_TRUE(drawn("# stands: 214"));
    EXPECT_TRUE(drawn("average fit: 2.5"));
    EXPECT_TRUE(drawn("static:  41"));
    EXPECT_EQ(colourOf(" (3)"), yellowColour);
    EXPECT_FALSE(drawn("average fit: 6")) << "a week fit hides the learned average";
    EXPECT_TRUE(drawn("max park:  64 (=30 %)"));

    statusDisplay.weekFit = false;
    RT_PARKTRAFFIC_ONLY.setValue(true);
    repaint();
    EXPECT_TRUE(drawn("*S*"));
    EXPECT_TRUE(drawn("average fit: 6"));
    EXPECT_FALSE(drawn("qf: 0.87"));
    EXPECT_FALSE(drawn("max park:  64 (=30 %)"));
}

// A long airport name and a stand file under a publisher's folder: each text of the first line ends before
// the next one begins, cut with an ellipsis; the stand-file text keeps its end.
TEST_F(Painting, LongTrafficPaneTextsAreCutBeforeTheirNeighbours) {
    statusDisplay.standFileLoaded = true;
    showParkAirport("EGLL (London Heathrow Airport)",
                    "airports/my_thirdparty/Just Flight Heathrow Professional/EGLL.xml",
                    "Just Flight Heathrow Professional", "0.91 / 0.88");
    repaint();
    std::vector<standin::DrawnText> line;
    for (const auto& t : standin::drawnTexts(window()))
        if (t.y == statusDisplay.trafficPaneFirstLineY)
            line.push_back(t);
    ASSERT_EQ(line.size(), 4u);
    std::sort(line.begin(), line.end(), [](const auto& a, const auto& b) { return a.x < b.x; });
    EXPECT_EQ(line[0].x, 5);
    EXPECT_TRUE(line[0].text.starts_with("EGLL")) << line[0].text;
    EXPECT_TRUE(line[0].text.ends_with("\u2026")) << line[0].text;
    EXPECT_EQ(line[1].x, 85);
    EXPECT_TRUE(line[1].text.starts_with("\u2026")) << line[1].text;
    EXPECT_TRUE(line[1].text.ends_with("Heathrow Professional, wk=0")) << line[1].text;
    EXPECT_EQ(line[2].text, "qf: 0.91 / 0.88");
    EXPECT_EQ(line[2].x, 430);
    EXPECT_EQ(line[3].x, 748);
    // Widths as the stand-in's font draws them, measured apart from the painting.
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    cairo_t* cr = cairo_create(surface);
    standin::gf_selectFont(cr);
    for (std::size_t i = 0; i + 1 < line.size(); ++i)
        EXPECT_LT(line[i].x + standin::gf_textWidth(cr, line[i].text), line[i + 1].x) << line[i].text;
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

TEST_F(Painting, MessageLineIsGreenWithYellowTextAndAnErrorMakesItRed) {
    gf_showMessage("Holding for 2 seconds");
    repaint();
    EXPECT_EQ(colourOf("Holding for 2 seconds"), yellowColour);
    EXPECT_EQ(drawn("Holding for 2 seconds")->y, 455);
    EXPECT_EQ(pixel(870, 470), greenColour);
    gf_showError("150: No install path detected");
    gf_showMessage("dropped while the error shows");
    repaint();
    EXPECT_EQ(pixel(870, 470), redColour);
    EXPECT_EQ(colourOf("150: No install path detected"), yellowColour);
    EXPECT_FALSE(drawn("dropped while the error shows"));
    EXPECT_FALSE(drawn("Holding for 2 seconds"));
    gf_clearMessageAndError(); // a session reset
    gf_showMessage("Prepare for a restart ...");
    repaint();
    EXPECT_EQ(pixel(870, 470), greenColour);
    EXPECT_EQ(colourOf("Prepare for a restart ..."), yellowColour);
}

// The notice of a downloaded version names its folder, however deep it lies.
TEST_F(Painting, AMessageWiderThanItsLineKeepsItsStartAndItsEnd) {
    const std::string start = "Vantrel 12.0.1 has been downloaded to /home/";
    const std::string end = "; close Vantrel and install it from there";
    gf_showMessage(start + std::string(150, 'x') + "/Vantrel/updates/Vantrel-12.0.1" + end);
    repaint();
    std::optional<standin::DrawnText> notice;
    for (const auto& t : standin::drawnTexts(window()))
        if (t.y == 455)
            notice = t;
    ASSERT_TRUE(notice);
    EXPECT_TRUE(notice->text.starts_with(start)) << notice->text;
    EXPECT_TRUE(notice->text.ends_with(end)) << notice->text;
    EXPECT_NE(notice->text.find("\u2026"), std::string::npos) << notice->text;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    cairo_t* cr = cairo_create(surface);
    standin::gf_selectFont(cr);
    EXPECT_LE(notice->x + standin::gf_textWidth(cr, notice->text), 880 - notice->x);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

TEST_F(Painting, TextThatDoesNotConvertIsLoggedAndSkipped) {
    statusDisplay.changeTexts([](StatusTexts& t) { t.parkAirportText = "EH\xc3"; });
    repaint();
    EXPECT_NE(logText().find("TextOut utf8  to wide failed for 'EH\xc3': utf8_to_wide: invalid UTF-8\n"),
              std::string::npos);
    EXPECT_TRUE(drawn("Version 12.0.0")) << "the rest of the paint goes on";
}

} // namespace
} // namespace kvr::test
