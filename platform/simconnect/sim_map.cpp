// The simulated world as a picture, so that a person can see what the program did with the traffic.
#include "platform/simconnect/sim_geo.h"
#include "platform/simconnect/simulated_simulator.h"

#include <cairo.h>
#include <fmt/format.h>

#include <cmath>
#include <memory>

namespace kvr::simsim {

namespace {

constexpr int imageSize = 1000;
constexpr double drawRadiusPx = 470.0;

struct Colour {
    double r, g, b;
};

constexpr Colour background{0.08, 0.10, 0.14};
constexpr Colour ringColour{0.22, 0.25, 0.30};
constexpr Colour standColour{0.50, 0.52, 0.56};
constexpr Colour userColour{1.00, 0.85, 0.10};
constexpr Colour liveColour{0.20, 0.80, 1.00};
constexpr Colour staticColour{1.00, 0.55, 0.20};
constexpr Colour textColour{0.90, 0.92, 0.95};
constexpr Colour lightsColour{0.30, 1.00, 0.30};

struct Projection {
    TrailPoint centre;
    double pxPerNm;

    double x(double longitude) const {
        return imageSize / 2.0 +
               (longitude - centre.longitude) * 60.0 * std::cos(toRadians(centre.latitude)) * pxPerNm;
    }
    double y(double latitude) const {
        return imageSize / 2.0 - (latitude - centre.latitude) * 60.0 * pxPerNm;
    }
};

void lf_setColour(cairo_t* cr, Colour colour, double alpha = 1.0) {
    cairo_set_source_rgba(cr, colour.r, colour.g, colour.b, alpha);
}

void lf_text(cairo_t* cr, double x, double y, const std::string& text, Colour colour, double size = 11) {
    cairo_set_font_size(cr, size);
    lf_setColour(cr, colour);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, text.c_str());
}

void lf_trail(cairo_t* cr, const Projection& p, const std::vector<TrailPoint>& trail, Colour colour) {
    if (trail.size() < 2)
        return;
    lf_setColour(cr, colour, 0.55);
    cairo_set_line_width(cr, 1.5);
    cairo_new_path(cr);
    cairo_move_to(cr, p.x(trail.front().longitude), p.y(trail.front().latitude));
    for (const TrailPoint& point : trail)
        cairo_line_to(cr, p.x(point.longitude), p.y(point.latitude));
    cairo_stroke(cr);
}

// A triangle pointing along the heading.
void lf_aircraft(cairo_t* cr, double x, double y, double headingDeg, double size, Colour colour) {
    const double h = toRadians(headingDeg), c = std::cos(h), s = std::sin(h);
    const double shape[3][2] = {{0, -size}, {-0.6 * size, 0.7 * size}, {0.6 * size, 0.7 * size}};
    lf_setColour(cr, colour);
    for (int i = 0; i < 3; ++i) {
        const double px = x + shape[i][0] * c - shape[i][1] * s;
        const double py = y + shape[i][0] * s + shape[i][1] * c;
        if (i == 0)
            cairo_move_to(cr, px, py);
        else
            cairo_line_to(cr, px, py);
    }
    cairo_close_path(cr);
    cairo_fill(cr);
}

void lf_legend(cairo_t* cr, const std::string& heading, int liveCount, int staticCount) {
    lf_setColour(cr, background, 0.85);
    cairo_rectangle(cr, 8, 8, 330, 92);
    cairo_fill(cr);
    lf_text(cr, 16, 26, heading, textColour, 12);
    const std::pair<Colour, std::string> rows[] = {
        {userColour, "user aircraft"},
        {liveColour, fmt::format("live AI aircraft ({})", liveCount)},
        {staticColour, fmt::format("static AI aircraft ({})", staticCount)}};
    double y = 46;
    for (const auto& [colour, label] : rows) {
        lf_aircraft(cr, 24, y - 4, 90, 6, colour);
        lf_text(cr, 36, y, label, textColour);
        y += 18;
    }
}

void lf_scaleBar(cairo_t* cr, double pxPerNm, double radiusNm) {
    double length = 1;
    for (double candidate : {0.05, 0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0, 20.0, 50.0, 100.0})
        if (candidate <= radiusNm / 2)
            length = candidate;
    lf_setColour(cr, textColour);
    cairo_set_line_width(cr, 2);
    cairo_move_to(cr, 20, imageSize - 20);
    cairo_line_to(cr, 20 + length * pxPerNm, imageSize - 20);
    cairo_stroke(cr);
    lf_text(cr, 20, imageSize - 28,
            length < 1 ? fmt::format("{:.0f} m", length * metresPerNm) : fmt::format("{:g} nm", length),
            textColour);
}

} // namespace

bool SimulatedSimulator::renderMapPng(const std::filesystem::path& file, TrailPoint centre, double radiusNm,
                                      const std::vector<MapStand>& stands) const {
    if (!(radiusNm > 0))
        return false;
    const SimObjectState user = userAircraft();
    const std::vector<SimObjectState> aircraft = objects();
    const double utc = utcEpochSeconds();

    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, imageSize, imageSize), cairo_surface_destroy);
    std::unique_ptr<cairo_t, decltype(&cairo_destroy)> context(cairo_create(surface.get()), cairo_destroy);
    cairo_t* cr = context.get();
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    const Projection p{centre, drawRadiusPx / radiusNm};

    lf_setColour(cr, background);
    cairo_paint(cr);
    lf_setColour(cr, ringColour);
    cairo_set_line_width(cr, 1);
    for (double fraction : {0.5, 1.0}) {
        cairo_new_path(cr);
        cairo_arc(cr, imageSize / 2.0, imageSize / 2.0, drawRadiusPx * fraction, 0, 2 * M_PI);
        cairo_stroke(cr);
    }

    for (const MapStand& stand : stands) {
        const double x = p.x(stand.longitude), y = p.y(stand.latitude);
        lf_setColour(cr, standColour, 0.8);
        cairo_set_line_width(cr, 1);
        cairo_new_path(cr);
        cairo_arc(cr, x, y, std::max(3.0, stand.radiusM / metresPerNm * p.pxPerNm), 0, 2 * M_PI);
        cairo_stroke(cr);
        lf_text(cr, x + 4, y + 12, stand.name, standColour, 9);
    }

    int liveCount = 0, staticCount = 0;
    for (const SimObjectState& object : aircraft) {
        const bool live = object.positionUpdates > 0;
        (live ? liveCount : staticCount)++;
        if (live)
            lf_trail(cr, p, object.trail, liveColour);
    }
    lf_trail(cr, p, user.trail, userColour);

    for (const SimObjectState& object : aircraft) {
        const double x = p.x(object.longitude), y = p.y(object.latitude);
        lf_aircraft(cr, x, y, object.headingDeg, 7, object.positionUpdates > 0 ? liveColour : staticColour);
        if (object.navLights) {
            lf_setColour(cr, lightsColour);
            cairo_new_path(cr);
            cairo_arc(cr, x, y, 1.5, 0, 2 * M_PI);
            cairo_fill(cr);
        }
        lf_text(cr, x + 8, y - 4, object.atcId, textColour, 10);
    }
    lf_aircraft(cr, p.x(user.longitude), p.y(user.latitude), user.headingDeg, 11, userColour);
    lf_text(cr, p.x(user.longitude) + 12, p.y(user.latitude) + 4, "user", userColour, 11);

    const auto whole = static_cast<long long>(utc);
    const long long secondOfDay = ((whole % 86400) + 86400) % 86400;
    lf_legend(cr,
              fmt::format("{}  {:02}:{:02}:{:02} UTC  r {:g} nm", scenario_.kind, secondOfDay / 3600,
                          secondOfDay / 60 % 60, secondOfDay % 60, radiusNm),
              liveCount, staticCount);
    lf_scaleBar(cr, p.pxPerNm, radiusNm);

    cairo_surface_flush(surface.get());
    return cairo_surface_write_to_png(surface.get(), file.string().c_str()) == CAIRO_STATUS_SUCCESS;
}

} // namespace kvr::simsim
