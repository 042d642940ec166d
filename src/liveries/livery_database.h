#pragma once
// The livery data base: the in-memory index of every installed AI livery, built once per process from
// the livery catalogue. The titles are owned once, by airlineModelTitles; every other table, the
// registration-code map and the aircraft records hold title views into those strings, which stay valid
// until gf_clearLiveryDatabase. Built and read on the run thread; no lock.
#include "liveries/livery_data.h"

#include <array>
#include <atomic>
#include <functional>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kvr {

// A non-owning view of a title string owned by airlineModelTitles; empty for none.
using TitleView = std::string_view;

// Hash maps keyed by the exact bytes of their key; lookups take a string_view without copying it.
struct ExactStringHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view key) const noexcept { return std::hash<std::string_view>{}(key); }
};
template <typename Value>
using StringMap = std::unordered_map<std::string, Value, ExactStringHash, std::equal_to<>>;

struct TitleEntry {
    std::string title;
    bool cargo = false;
};

inline constexpr int paxIndex = 0;
inline constexpr int cargoIndex = 1;

// airline -> model -> (title, cargo): one entry per catalogue record; the owner of every title.
extern StringMap<StringMap<std::vector<TitleEntry>>> airlineModelTitles;
// [pax, cargo]: airline -> model -> title views. No empty vector or empty inner map is stored.
extern std::array<StringMap<StringMap<std::vector<TitleView>>>, 2> airlineModelLiveries;
// [pax, cargo]: model -> title views of every airline ("ZZZ" and "PVT" included).
extern std::array<StringMap<std::vector<TitleView>>, 2> modelLiveryPools;
// The distinct models of category light, buzjet and rotorcraft that have a livery, ascending.
extern std::vector<std::string> lightModels;
extern std::vector<std::string> buzjetModels;
extern std::vector<std::string> rotorcraftModels;
// The data base was built in this process. The main window's rescan and simulator switch clear it.
extern std::atomic<bool> liveriesProcessed;

// Builds the whole data base from the catalogue, once per process; throws the catalogue's user errors.
void gf_processScannedLiveries();
// A scan whose catalogue could not be saved hands its liveries (sorted as the catalogue would hold them)
// over: the next build uses them in place of the stale catalogue on disk.
void gf_useUnsavedScan(std::list<LiveryData> liveries);

// The stored copy of an equal title; empty when no livery has it.
TitleView gf_findLiveryTitle(std::string_view title);

// A random installed model of category light, buzjet or rotorcraft; empty when there is none.
std::string gf_randomLightAircraftLivery();
std::string gf_randomBuzjetLivery();
std::string gf_randomHelicopterLivery();

// True when the airline has a livery (pax or cargo) of the model.
bool gf_liveryExists(std::string_view airline, std::string_view model);
// The airlines of the data base, each cut to its first three characters.
std::vector<std::string> gf_airlineCodes();

// Empties every table, the registration-code map and the special liveries. On the thread that built
// the data base (the run thread) it happens at once; called from any other thread (the main window's
// commands) it is deferred to the start of the next gf_processScannedLiveries, so that the run thread
// never meets a dangling title view while it is still matching.
void gf_clearLiveryDatabase();

} // namespace kvr
