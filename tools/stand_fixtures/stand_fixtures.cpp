#include "tools/stand_fixtures/stand_fixtures.h"

#include <fmt/format.h>
#include <pugixml.hpp>

#include <cmath>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace kvr::fixtures {

namespace {

void lf_setAttributes(pugi::xml_node node, const Attributes& attributes) {
    for (const auto& [name, value] : attributes)
        node.append_attribute(name.c_str()).set_value(value.c_str());
}

std::string lf_boolText(bool value) {
    return value ? "true" : "false";
}

} // namespace

ParkposSpec gf_standSpec(const StandPlace& place) {
    ParkposSpec spec;
    spec.attributes = {{"id", place.id},
                       {"latitude", fmt::format("{:.6f}", place.latitude)},
                       {"longitude", fmt::format("{:.6f}", place.longitude)},
                       {"heading", fmt::format("{:.1f}", place.heading)},
                       {"radius", fmt::format("{:.1f}", place.radius)}};
    if (place.heli)
        spec.attributes.emplace_back("heli", "true");
    else
        spec.attributes.emplace_back("cargo", lf_boolText(place.cargo));
    spec.attributes.emplace_back("ramp", lf_boolText(place.ramp));
    return spec;
}

Attributes gf_optSpec(const std::string& registration, int day, const std::string& hours,
                      const std::string& callsigns, const std::string& airline, const std::string& type,
                      bool soft) {
    Attributes opt{{"reg", registration}};
    if (!airline.empty())
        opt.emplace_back("airl", airline);
    if (!type.empty())
        opt.emplace_back("type", type);
    if (soft)
        opt.emplace_back("soft", "true");
    opt.emplace_back("day", std::to_string(day));
    opt.emplace_back("hh", hours);
    if (!callsigns.empty())
        opt.emplace_back("cs", callsigns);
    return opt;
}

std::string gf_standFileXml(const StandFileSpec& spec) {
    pugi::xml_document doc;
    pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
    declaration.append_attribute("version").set_value("1.0");
    declaration.append_attribute("encoding").set_value("UTF-8");
    pugi::xml_node top = spec.withRoot ? doc.append_child("root") : pugi::xml_node(doc);
    if (spec.withMeta && spec.withRoot) {
        pugi::xml_node meta = top.append_child("meta");
        for (const auto& [name, value] : Attributes{{"author", spec.author},
                                                    {"version", spec.version},
                                                    {"date", "2026-01-01"},
                                                    {"copyright", "Vantrel test fixture"},
                                                    {"sim", spec.sim}})
            lf_setAttributes(meta.append_child("info"), {{"name", name}, {"value", value}});
    }
    if (spec.withRoot) {
        pugi::xml_node parameters = top.append_child("parameters");
        for (const auto& [name, value] : spec.parameters)
            lf_setAttributes(parameters.append_child("parameter"), {{"name", name}, {"value", value}});
    }
    pugi::xml_node parkpositions = top.append_child("parkpositions");
    for (const ParkposSpec& stand : spec.stands) {
        pugi::xml_node parkpos = parkpositions.append_child("parkpos");
        lf_setAttributes(parkpos, stand.attributes);
        for (const Attributes& opt : stand.opts)
            lf_setAttributes(parkpos.append_child("opt"), opt);
    }
    std::ostringstream text;
    doc.save(text, "  ", pugi::format_indent, pugi::encoding_utf8);
    return text.str();
}

void gf_writeStandFile(const std::filesystem::path& path, const StandFileSpec& spec) {
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << gf_standFileXml(spec);
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

StandFileSpec gf_syntheticAirport(const std::string& name, double latitude, double longitude, int standCount,
                                  std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> radius(15.0, 40.0);
    std::uniform_real_distribution<double> heading(0.0, 359.9);
    StandFileSpec spec;
    spec.parameters = {{"airport_name", name},
                       {"publisher", "stock"},
                       {"altitude", "10"},
                       {"num_parkpos", std::to_string(standCount)}};
    // Stands on a square grid 90 m apart, so that neighbours overlap only when both radii are large.
    const int perRow = static_cast<int>(std::ceil(std::sqrt(standCount)));
    const double metresPerDegreeLat = 111120.0;
    const double metresPerDegreeLon = metresPerDegreeLat * std::cos(latitude * 0.017453292519943295);
    for (int i = 0; i < standCount; ++i) {
        StandPlace place;
        place.id = fmt::format("{}{}", static_cast<char>('A' + i % 26), i / 26 + 1);
        place.latitude = latitude + (i / perRow - perRow / 2) * 90.0 / metresPerDegreeLat;
        place.longitude = longitude + (i % perRow - perRow / 2) * 90.0 / metresPerDegreeLon;
        place.heading = heading(random);
        place.radius = radius(random);
        place.cargo = i % 17 == 0;
        place.ramp = i % 5 == 0;
        spec.stands.push_back(gf_standSpec(place));
    }
    return spec;
}

StandFileSpec gf_syntheticLearned(const StandFileSpec& airport, int optionCount, std::uint32_t seed) {
    static const char* const airlines[] = {"KLM", "TRA", "EZY", "DLH", "BAW", "AFR", "RYR", "UAE"};
    static const char* const types[] = {"B738", "A320", "E190", "B77W", "A332", "B789", "A21N", "E295"};
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> standIndex(0, static_cast<int>(airport.stands.size()) - 1);
    std::uniform_int_distribution<int> pick(0, 7);
    std::uniform_int_distribution<int> day(1, 7);
    std::uniform_int_distribution<int> firstSlot(0, 40);
    std::uniform_int_distribution<int> length(0, 7);
    std::uniform_int_distribution<int> number(100, 9999);

    StandFileSpec learned;
    learned.parameters = {{"airport_name", airport.parameters.empty() ? "" : airport.parameters[0].second},
                          {"publisher", "stock"}};
    learned.stands.resize(airport.stands.size());
    for (std::size_t i = 0; i < airport.stands.size(); ++i)
        learned.stands[i].attributes = {{"id", airport.stands[i].attributes.front().second}};
    for (int n = 0; n < optionCount; ++n) {
        const int a = pick(random);
        const int first = firstSlot(random);
        const int last = first + length(random);
        const std::string hours = first == last ? std::to_string(first) : fmt::format("{}:{}", first, last);
        learned.stands[static_cast<std::size_t>(standIndex(random))].opts.push_back(gf_optSpec(
            fmt::format("PH-{}{}{}", static_cast<char>('A' + n % 26), static_cast<char>('A' + n / 26 % 26),
                        static_cast<char>('A' + n / 676 % 26)),
            day(random), hours, fmt::format("{}{}", airlines[a], number(random)), airlines[a], types[a]));
    }
    return learned;
}

} // namespace kvr::fixtures
