#include "platform/simconnect/sim_geo.h"
#include "sim_test_client.h"
#include "support/temp_folder.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace kvr::simsim::test {
namespace {

// Cairo and fontconfig keep font caches for the life of the process; give them back so that the leak
// checker sees only what the map itself might leak.
class FontCacheRelease : public ::testing::Environment {
public:
    void TearDown() override {
        cairo_debug_reset_static_data();
        FcFini();
    }
};
const auto* const fontCacheRelease = ::testing::AddGlobalTestEnvironment(new FontCacheRelease);

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;

Surface loadPng(const std::filesystem::path& file) {
    return Surface(cairo_image_surface_create_from_png(file.string().c_str()), cairo_surface_destroy);
}

struct Pixel {
    int r, g, b;
};

Pixel pixelAt(cairo_surface_t* surface, int x, int y) {
    const unsigned char* row =
        cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
    const unsigned char* p = row + x * 4; // little-endian xRGB
    return {p[2], p[1], p[0]};
}

struct Apron {
    std::shared_ptr<SimulatedSimulator> sim;
    std::unique_ptr<TestClient> client; // the aircraft stay while their client is connected
};

// A small EHAM apron: the user at stand D7, two live aircraft taxiing (trails), two static ones at stands.
Apron buildApron(const std::vector<MapStand>& stands) {
    Scenario scenario = ehamScenario();
    scenario.utcStartEpoch = 1749893400; // 09:30:00 UTC
    scenario.user.latitude = stands[0].latitude;
    scenario.user.longitude = stands[0].longitude;
    auto sim = std::make_shared<SimulatedSimulator>(scenario);
    installSimulator(sim);
    auto owner = std::make_unique<TestClient>();
    TestClient& client = *owner;
    EXPECT_TRUE(client.open());
    for (const char* name : {"PLANE LATITUDE", "PLANE LONGITUDE"})
        SimConnect_AddToDataDefinition(client.handle, 1, name, "degrees");
    SimConnect_AddToDataDefinition(client.handle, 1, "PLANE HEADING DEGREES TRUE", "degrees");
    SimConnect_MapClientEventToSimEvent(client.handle, 2, "NAV_LIGHTS_SET");
    const struct {
        const char* title;
        const char* tail;
        double latitude, longitude, heading;
    } aircraft[] = {{"Boeing 737-800 KLM", "PH-BXB", 52.3062, 4.7590, 45},
                    {"Airbus A320 easyJet", "G-EZAA", 52.3110, 4.7680, 200},
                    {"Embraer 175 KLM Cityhopper", "PH-EXA", stands[1].latitude, stands[1].longitude, 135},
                    {"Boeing 737-800 KLM", "PH-BXC", stands[2].latitude, stands[2].longitude, 135}};
    for (const auto& a : aircraft) {
        SIMCONNECT_DATA_INITPOSITION position{};
        position.Latitude = a.latitude;
        position.Longitude = a.longitude;
        position.Heading = a.heading;
        position.OnGround = 1;
        SimConnect_AICreateNonATCAircraft(client.handle, a.title, a.tail, position, 1);
    }
    sim->advanceSeconds(1);
    std::vector<DWORD> ids;
    for (const SimObjectState& object : sim->objects())
        ids.push_back(object.objectId);
    // The first two taxi: one along a curve north-east, one south-west.
    for (int step = 1; step <= 40; ++step) {
        for (int i = 0; i < 2; ++i) {
            const SimObjectState now = *sim->object(ids[i]);
            const double heading = now.headingDeg + (i == 0 ? 1.5 : -1.0);
            const LatLon next = destinationPoint(now.latitude, now.longitude, heading, 0.003);
            double block[3] = {next.latitude, next.longitude, heading};
            SimConnect_SetDataOnSimObject(client.handle, 1, ids[i], 0, 1, sizeof block, block);
        }
        sim->advanceSeconds(1);
    }
    SimConnect_TransmitClientEvent(client.handle, ids[2], 2, 1, SIMCONNECT_GROUP_PRIORITY_HIGHEST, 0);
    return {sim, std::move(owner)};
}

TEST(SimulatorMap, PictureOfTheApronMatchesTheReference) {
    const std::vector<MapStand> stands = {{"D7", 52.30860, 4.76390, 25},
                                          {"D8", 52.30820, 4.76470, 25},
                                          {"D9", 52.30780, 4.76550, 25},
                                          {"D10", 52.30740, 4.76630, 25}};
    const Apron apron = buildApron(stands);
    const auto& sim = apron.sim;
    kvr::test::TempFolder folder;
    const auto file = folder.path() / "traffic.png";
    const TrailPoint centre{52.3082, 4.7640};
    ASSERT_EQ(sim->objects().size(), 4u);
    ASSERT_TRUE(sim->renderMapPng(file, centre, 0.3, stands));
    EXPECT_FALSE(sim->renderMapPng(folder.path() / "missing" / "x.png", centre, 0.3, stands));
    EXPECT_FALSE(sim->renderMapPng(folder.path() / "y.png", centre, 0, stands));

    const Surface picture = loadPng(file);
    ASSERT_EQ(cairo_surface_status(picture.get()), CAIRO_STATUS_SUCCESS);
    ASSERT_EQ(cairo_image_surface_get_width(picture.get()), 1000);
    // Where the map puts the user (yellow), a live aircraft (blue) and a static one (orange).
    const double pxPerNm = 470.0 / 0.3;
    auto toPixel = [&](double latitude, double longitude) {
        return std::pair<int, int>{static_cast<int>(500 + (longitude - centre.longitude) * 60 *
                                                              std::cos(toRadians(centre.latitude)) * pxPerNm),
                                   static_cast<int>(500 - (latitude - centre.latitude) * 60 * pxPerNm)};
    };
    const auto [ux, uy] = toPixel(stands[0].latitude, stands[0].longitude);
    const Pixel user = pixelAt(picture.get(), ux, uy);
    EXPECT_GT(user.r, 200);
    EXPECT_GT(user.g, 150);
    EXPECT_LT(user.b, 80);
    const SimObjectState live = sim->objects()[0];
    const auto [lx, ly] = toPixel(live.latitude, live.longitude);
    const Pixel livePixel = pixelAt(picture.get(), lx, ly);
    EXPECT_GT(livePixel.b, 200);
    EXPECT_LT(livePixel.r, 100);
    const auto [sx, sy] = toPixel(stands[2].latitude, stands[2].longitude);
    const Pixel staticPixel = pixelAt(picture.get(), sx, sy + 2);
    EXPECT_GT(staticPixel.r, 200);
    EXPECT_LT(staticPixel.b, 100);

    const std::filesystem::path reference =
        std::filesystem::path(VANTREL_SIMCONNECT_REFERENCE_DIR) / "traffic_map.png";
    if (const char* update = std::getenv("VANTREL_UPDATE_REFERENCE"); update && std::string(update) == "1")
        std::filesystem::copy_file(file, reference, std::filesystem::copy_options::overwrite_existing);
    const Surface expected = loadPng(reference);
    ASSERT_EQ(cairo_surface_status(expected.get()), CAIRO_STATUS_SUCCESS) << reference;
    ASSERT_EQ(cairo_image_surface_get_width(expected.get()), 1000);
    ASSERT_EQ(cairo_image_surface_get_height(expected.get()), 1000);
    // Font rendering may differ slightly between machines; the drawing itself may not.
    int differing = 0;
    for (int y = 0; y < 1000; ++y)
        for (int x = 0; x < 1000; ++x) {
            const Pixel a = pixelAt(picture.get(), x, y), b = pixelAt(expected.get(), x, y);
            if (std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 60)
                ++differing;
        }
    EXPECT_LT(differing, 5000) << "the picture changed; look at " << file
                               << " and refresh the reference with VANTREL_UPDATE_REFERENCE=1";
    installSimulator(nullptr);
    if (differing >= 5000)
        std::filesystem::copy_file(file, std::filesystem::current_path() / "traffic_map_actual.png",
                                   std::filesystem::copy_options::overwrite_existing);
}

} // namespace
} // namespace kvr::simsim::test
