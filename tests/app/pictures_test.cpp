// Pictures of the window in four states, painted by the real painting code and compared with committed
// references. A difference beyond anti-aliasing noise fails and leaves a diff picture beside the test.
#include "app/combo_fill.h"
#include "app/control_state.h"
#include "app/parking_display.h"
#include "app_fixture.h"
#include "core/utf.h"

#include <cairo.h>

#include <cstring>

namespace kvr::test {
namespace {

constexpr int channelTolerance = 48;
constexpr int pixelTolerance = 40;

struct Image {
    explicit Image(const std::filesystem::path& path)
        : surface(cairo_image_surface_create_from_png(path.c_str())) {}
    ~Image() { cairo_surface_destroy(surface); }
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
    bool valid() const { return cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS; }
    int width() const { return cairo_image_surface_get_width(surface); }
    int height() const { return cairo_image_surface_get_height(surface); }
    std::uint32_t at(int x, int y) const {
        std::uint32_t p;
        std::memcpy(
            &p, cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface) + x * 4,
            4);
        return p;
    }
    cairo_surface_t* surface;
};

bool differs(std::uint32_t a, std::uint32_t b) {
    for (int shift : {0, 8, 16}) {
        const int ca = static_cast<int>((a >> shift) & 0xFF);
        const int cb = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(ca - cb) > channelTolerance)
            return true;
    }
    return false;
}

// Differing pixels in red over a faded copy of the expected picture.
void writeDiff(const Image& expected, const Image& actual, const std::filesystem::path& path) {
    cairo_surface_t* diff =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, expected.width(), expected.height());
    cairo_surface_flush(diff);
    auto* data = cairo_image_surface_get_data(diff);
    const int stride = cairo_image_surface_get_stride(diff);
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x) {
            const std::uint32_t e = expected.at(x, y);
            std::uint32_t out = ((e >> 2) & 0x3F3F3F) + 0x808080;
            if (differs(e, actual.at(x, y)))
                out = 0xFF0000;
            std::memcpy(data + y * stride + x * 4, &out, 4);
        }
    cairo_surface_mark_dirty(diff);
    cairo_surface_write_to_png(diff, path.c_str());
    cairo_surface_destroy(diff);
}

class Pictures : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(openWindow());
        showSettings();
    }
    void TearDown() override {
        gf_installParkingDisplaySource({});
        MainWindowTest::TearDown();
    }

    // The controls as the run thread leaves them after reading the settings.
    static void showSettings() {
        for (WindowControl* control : gf_allControls()) {
            if (auto* numbers = dynamic_cast<NumComboParameter*>(control))
                lf_fillNumberCombo(*numbers);
            else if (auto* hours = dynamic_cast<FloatComboParameter*>(control))
                lf_fillNumberCombo(*hours);
            else if (auto* texts = dynamic_cast<StringComboParameter*>(control))
                lf_fillStringCombo(*texts);
        }
        gf_syncMaxFitCombo();
        for (WindowControl* enabled :
             std::initializer_list<WindowControl*>{&ALL_INSTALL_PATH, &BLOCK_CALLSIGN})
            gf_enableControl(*enabled);
        gf_disableControl(RANGE);
        gf_disableControl(CALLSIGN_2_OBJECTID);
        ALL_INSTALL_PATH.setValue(
            "C:\\Users\\pilot\\AppData\\Local\\Packages\\Microsoft.FlightSimulator\\LocalCache\\Packages");
        gf_showControlText(ALL_INSTALL_PATH);
        gf_updateParkControls();
    }

    void connected() {
        statusDisplay.simConnected = true;
        statusDisplay.flightRunning = true;
        statusDisplay.rtLampPending = false;
        statusDisplay.authenticated = true;
        statusDisplay.weatherLampState = 1;
        statusDisplay.trafficLampState = 1;
        statusDisplay.shownQnh = 1013;
        statusDisplay.liveAircraftCount = 23;
        statusDisplay.liveryCount = 4120;
        statusDisplay.simAddonAirportCount = 37;
        statusDisplay.thirdPartyAirportCount = 12;
        statusDisplay.changeTexts([](StatusTexts& t) {
            t.simNameAndVersion = "MSFS 2020 1.37.19.0";
            t.userStandName = "E7";
            t.userAircraftTitle = "Airbus A320neo Asobo";
            t.accountLine = "DezeDerezuv: pilot@example.org, valid until 2027-01-31";
        });
        gf_enableControl(reReadButton);
    }

    void compareWithReference(const std::string& name) {
        repaint();
        const std::filesystem::path output = VANTREL_PICTURE_OUTPUT_DIR;
        std::filesystem::create_directories(output);
        const std::filesystem::path actualPath = output / (name + ".png");
        ASSERT_TRUE(standin::renderWindowPng(window(), actualPath));
        const std::filesystem::path referencePath =
            std::filesystem::path(VANTREL_REFERENCE_DIR) / (name + ".png");
        if (const char* update = std::getenv("VANTREL_UPDATE_REFERENCES");
            update && std::string(update) == "1") {
            std::filesystem::create_directories(referencePath.parent_path());
            std::filesystem::copy_file(actualPath, referencePath,
                                       std::filesystem::copy_options::overwrite_existing);
        }
        const Image expected(referencePath);
        const Image actual(actualPath);
        ASSERT_TRUE(expected.valid()) << "no reference " << referencePath
                                      << "; write it with VANTREL_UPDATE_REFERENCES=1 and look at it";
        ASSERT_TRUE(actual.valid());
        ASSERT_EQ(actual.width(), expected.width());
        ASSERT_EQ(actual.height(), expected.height());
        int different = 0;
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x)
                different += differs(expected.at(x, y), actual.at(x, y));
        if (different > pixelTolerance) {
            const auto diffPath = output / (name + "-diff.png");
            writeDiff(expected, actual, diffPath);
            ADD_FAILURE() << different << " pixels differ from " << referencePath << "; see " << actualPath
                          << " and " << diffPath;
        }
    }
};

TEST_F(Pictures, JustStarted) {
    // An older build may have left its picture in the current folder: it must stay as it was.
    const auto stray = std::filesystem::current_path() / "just-started.png";
    std::error_code none;
    const auto before = std::filesystem::last_write_time(stray, none);
    compareWithReference("just-started");
    std::error_code error;
    EXPECT_EQ(std::filesystem::last_write_time(stray, error), before)
        << "pictures go into the build folder, whatever folder the test runs in";
}

TEST_F(Pictures, SimulatorConnectedAndServiceLoggedIn) {
    connected();
    gf_showMessage("Live traffic: 23 aircraft within 40 nm");
    compareWithReference("connected");
}

TEST_F(Pictures, ErrorInTheMessageLine) {
    gf_showError(
        "150: No install path detected. Type the full path to your Community folder above, then press "
        "Enter");
    ALL_INSTALL_PATH.setValue("");
    gf_showControlText(ALL_INSTALL_PATH);
    compareWithReference("error");
}

TEST_F(Pictures, ParkAirportLoaded) {
    connected();
    gf_installParkingDisplaySource(
        {[] { return std::string("E7"); }, [] { return 2; }, [] { return false; }});
    statusDisplay.reservedStandFound = true;
    statusDisplay.standFileLoaded = true;
    statusDisplay.standCount = 214;
    statusDisplay.parkedLiveCount = 18;
    statusDisplay.parkedTrafficFitAverage = 2.5f;
    statusDisplay.wantedMaxParkCount = 64;
    statusDisplay.wantedMaxParkPercentage = 30;
    statusDisplay.staticAircraftCount = 41;
    statusDisplay.learnedFitAverage = 6.0f;
    statusDisplay.numberOfUpdates = 3;
    statusDisplay.minutesToStaticUpdate = 12;
    statusDisplay.changeTexts([](StatusTexts& t) {
        t.parkAirportText = "EHAM (Amsterdam Airport Schiphol)";
        t.standFileName = "airports/my_thirdparty/FlyTampa-Amsterdam-Schiphol/EHAM.xml";
        t.publisherText = "FlyTampa";
        t.qualityFactorText = "0.87 / 0.91";
    });
    for (WindowControl* control : std::initializer_list<WindowControl*>{&nowButton, &flushStaticButton})
        gf_enableControl(*control);
    compareWithReference("park-airport");
}

} // namespace
} // namespace kvr::test
