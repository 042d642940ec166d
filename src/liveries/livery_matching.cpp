#include "liveries/livery_matching.h"

#include "core/log.h"
#include "core/random_engine.h"
#include "core/text_util.h"
#include "liveries/livery_matching_internal.h"
#include "liveries/regcode_map.h"
#include "refdata/similar_types.h"
#include "settings/parameter_table.h"

#include <fmt/format.h>

#include <algorithm>
#include <mutex>
#include <optional>
#include <utility>

namespace kvr {

std::array<std::int32_t, matchStepCount> matchStepCounters{};

namespace {

constexpr int pickTries = 5;
constexpr std::string_view genericAirline = "ZZZ";
constexpr std::string_view privateAirline = "PVT";

bool liveryListsReserved = false;
MatchHooks matchHooks;

std::string lf_defaultDescription(const MatchSubject& record) {
    return fmt::format("{} {:3} {:4}", record.registration, record.operatorCode, record.icaoType);
}

bool lf_isFailedTitle(TitleView title) {
    return matchHooks.isFailedLiveryTitle && matchHooks.isFailedLiveryTitle(title);
}

std::string lf_describeFlight(const MatchSubject& record) {
    return matchHooks.describeFlight ? matchHooks.describeFlight(record) : lf_defaultDescription(record);
}

std::string lf_describeFlightLong(const MatchSubject& record) {
    return matchHooks.describeFlightLong ? matchHooks.describeFlightLong(record)
                                         : lf_defaultDescription(record);
}

std::size_t lf_randomIndex(std::size_t size) {
    return size > 1 ? gf_randomEngine()() % size : 0;
}

bool lf_isCategoryWithPools(AircraftCategory category) {
    return category == AircraftCategory::light || category == AircraftCategory::buzjet ||
           category == AircraftCategory::rotorcraft;
}

// The registration's record in the aircraft data base, looked up only when a step needs it.
struct RegistrationOwner {
    explicit RegistrationOwner(const std::string& registration) : registration_(registration) {}
    const std::string& airline() {
        load();
        return airline_;
    }
    const std::string& operatorCode() {
        load();
        return operator_;
    }

private:
    void load() {
        if (loaded_)
            return;
        loaded_ = true;
        if (registration_.empty())
            return;
        if (std::optional<DbaseRecord> record = gf_lookupRegistration(registration_)) {
            airline_ = std::move(record->airline);
            operator_ = std::move(record->operatorCode);
        }
    }
    const std::string& registration_;
    bool loaded_ = false;
    std::string airline_;
    std::string operator_;
};

// The static matcher takes every title it finds unless the simulator failed to create it.
bool lf_keepUnlessFailed(MatchSubject& record) {
    if (record.liveryTitle.empty())
        return false;
    if (lf_isFailedTitle(record.liveryTitle)) {
        record.liveryTitle = {};
        return false;
    }
    return true;
}

// Alternatives of any category; a failed title moves on to the next alternative.
bool lf_matchStaticAlternatives(MatchSubject& record, std::string_view airline, std::string_view model) {
    for (const std::string& alternative : gf_lookupTwoLevelList(airline, model))
        if (lf_matchAirlineModelAnyLoad(record, airline, alternative) && lf_keepUnlessFailed(record))
            return true;
    return false;
}

void lf_logStaticMatch(const MatchSubject& record, int step) {
    gf_logIndented(fmt::format("{} ={}= {}", lf_describeFlight(record), step, record.liveryTitle));
}

} // namespace

void gf_installMatchHooks(MatchHooks hooks) {
    matchHooks = std::move(hooks);
}

void lf_pickLivery(MatchSubject& record, const std::vector<TitleView>& candidates) {
    if (candidates.empty())
        return;
    for (int tries = 0; tries < pickTries; ++tries) {
        record.liveryTitle = candidates[lf_randomIndex(candidates.size())];
        if (!gf_isSpecialLivery(record.liveryTitle))
            return;
    }
    std::vector<TitleView> ordinary;
    std::copy_if(candidates.begin(), candidates.end(), std::back_inserter(ordinary),
                 [](TitleView title) { return !gf_isSpecialLivery(title); });
    if (!ordinary.empty())
        record.liveryTitle = ordinary[lf_randomIndex(ordinary.size())];
}

bool lf_matchRegcode(MatchSubject& record) {
    if (record.registration.empty())
        return false;
    const auto found = regcodeLiveries.find(record.registration);
    record.liveryTitle = found == regcodeLiveries.end() ? TitleView{} : found->second;
    return !record.liveryTitle.empty();
}

bool lf_matchAirlineModel(MatchSubject& record, std::string_view airline, std::string_view model, int cargo) {
    const auto& airlines = airlineModelLiveries[cargo];
    const auto models = airlines.find(airline);
    if (models == airlines.end())
        return false;
    const auto titles = models->second.find(model);
    if (titles == models->second.end())
        return false;
    lf_pickLivery(record, titles->second);
    return !record.liveryTitle.empty();
}

bool lf_matchAirlineModelAnyLoad(MatchSubject& record, std::string_view airline, std::string_view model) {
    if (lf_matchAirlineModel(record, airline, model, record.cargo ? cargoIndex : paxIndex))
        return true;
    // A freighter may fly in a passenger livery; a passenger aircraft never in a cargo one.
    return record.cargo && lf_matchAirlineModel(record, airline, model, paxIndex);
}

bool lf_matchGenericModel(MatchSubject& record, std::string_view model) {
    const auto& pool = modelLiveryPools[record.cargo ? cargoIndex : paxIndex];
    const auto titles = pool.find(model);
    if (titles == pool.end())
        return false;
    lf_pickLivery(record, titles->second);
    return !record.liveryTitle.empty();
}

bool lf_matchAlternativeModels(MatchSubject& record, std::string_view airline, std::string_view model) {
    for (const std::string& alternative : gf_lookupTwoLevelList(airline, model))
        if (gf_getAircraftCategory(alternative) == record.category &&
            lf_matchAirlineModelAnyLoad(record, airline, alternative))
            return true;
    return false;
}

bool lf_acceptLiveryMatch(MatchSubject& record, int step) {
    if (lf_isFailedTitle(record.liveryTitle)) {
        record.liveryTitle = {};
        return false;
    }
    ++matchStepCounters[step];
    gf_logIndented(fmt::format("{} ={}= {}", lf_describeFlight(record), step, record.liveryTitle));
    record.fsltl = record.liveryTitle.find("FSLTL_") != TitleView::npos;
    return true;
}

void lf_matchLastResort(MatchSubject& record, int& step) {
    const int depth = MATCHING_DEPTH.value();
    if (depth >= 4 && lf_matchAirlineModelAnyLoad(record, genericAirline, record.icaoType)) {
        step = 4;
        return;
    }
    // Only light aircraft, business jets and helicopters may fly in another airline's livery.
    if (!lf_isCategoryWithPools(record.category))
        return;
    if (depth >= 3 && record.operatorCode != privateAirline &&
        lf_matchAirlineModelAnyLoad(record, genericAirline, record.icaoType)) {
        step = 4;
        return;
    }
    if (lf_matchGenericModel(record, record.icaoType)) {
        step = 5;
        return;
    }
    for (const std::string& similar : gf_getSimilarTypes(record.icaoType))
        if (lf_matchGenericModel(record, similar)) {
            step = 6;
            return;
        }
}

void gf_matchLiveAircraftLivery(MatchSubject& record) {
    record.liveryTitle = {};
    const int depth = MATCHING_DEPTH.value();
    const std::string& op = record.operatorCode;
    const std::string& model = record.icaoType;
    RegistrationOwner owner(record.registration);

    if (lf_matchRegcode(record) &&
        lf_acceptLiveryMatch(record, specialRegcodes.count(record.registration) > 0 ? 0 : 1))
        return;
    if (depth < 2)
        return;
    if (op == privateAirline && lf_matchAirlineModelAnyLoad(record, genericAirline, model) &&
        lf_acceptLiveryMatch(record, 4))
        return;
    if (!op.empty()) {
        if (lf_matchAirlineModelAnyLoad(record, op, model) && lf_acceptLiveryMatch(record, 2))
            return;
        if (!owner.operatorCode().empty() && lf_matchAirlineModelAnyLoad(record, owner.airline(), model) &&
            lf_acceptLiveryMatch(record, 2))
            return;
    }
    if (depth < 3)
        return;
    if (!op.empty()) {
        if (lf_matchAlternativeModels(record, op, model) && lf_acceptLiveryMatch(record, 3))
            return;
        if (!owner.operatorCode().empty() && lf_matchAlternativeModels(record, owner.airline(), model) &&
            lf_acceptLiveryMatch(record, 3))
            return;
    }
    int step = -1;
    lf_matchLastResort(record, step);
    if (step >= 0)
        lf_acceptLiveryMatch(record, step);
}

bool gf_matchStaticAircraftLivery(MatchSubject& record, const MatchStand& stand) {
    if (!record.liveryTitle.empty()) {
        gf_logIndented(fmt::format("{} =s= {}", lf_describeFlight(record), record.liveryTitle));
        return true;
    }
    record.cargo = stand.cargo;
    const int depth = MATCHING_DEPTH.value();
    const std::string& op = record.operatorCode;
    const std::string& model = record.icaoType;
    RegistrationOwner owner(record.registration);

    if (lf_matchRegcode(record) && lf_keepUnlessFailed(record)) {
        lf_logStaticMatch(record, specialRegcodes.count(record.registration) > 0 ? 0 : 1);
        return true;
    }
    if (depth >= 2) {
        const auto matched = [&](int step) {
            if (!lf_keepUnlessFailed(record))
                return false;
            lf_logStaticMatch(record, step);
            return true;
        };
        if (op == privateAirline && lf_matchAirlineModelAnyLoad(record, genericAirline, model) && matched(4))
            return true;
        // Unlike live aircraft, a static one without an operator still tries the airline steps.
        if (lf_matchAirlineModelAnyLoad(record, op, model) && matched(2))
            return true;
        if (!owner.operatorCode().empty() && lf_matchAirlineModelAnyLoad(record, owner.airline(), model) &&
            matched(2))
            return true;
        if (depth >= 3) {
            if (lf_matchStaticAlternatives(record, op, model) ||
                (!owner.operatorCode().empty() &&
                 lf_matchStaticAlternatives(record, owner.airline(), model))) {
                lf_logStaticMatch(record, 3);
                return true;
            }
            int step = -1;
            lf_matchLastResort(record, step);
            if (step >= 0 && matched(step))
                return true;
        }
    }
    gf_logLine(fmt::format("{:8}: {} no livery match ...", stand.name, lf_describeFlightLong(record)));
    return false;
}

void gf_logLiveryMatchingSummary() {
    if (std::all_of(matchStepCounters.begin(), matchStepCounters.end(),
                    [](std::int32_t n) { return n == 0; }))
        return;
    const std::vector<std::string> failedTexts =
        matchHooks.failedAircraftTexts ? matchHooks.failedAircraftTexts() : std::vector<std::string>{};
    // One block in the log, not interleaved with lines of other threads.
    std::lock_guard lock(logMutex);
    gf_logLineLocked(gf_starBanner(64, 0, true, false, "live traffic livery matching summary"));
    gf_logLineLocked("Matches at step: ");
    for (int step = 0; step < matchStepCount; ++step)
        gf_logLineLocked(fmt::format("  {}: {}", step, matchStepCounters[step]));
    if (!failedTexts.empty()) {
        gf_logLineLocked("\nCould not be created by MSFS:");
        for (const std::string& text : failedTexts)
            gf_logLineLocked("  " + text);
    }
    gf_logLineLocked(gf_starBanner(64, 36, false, true, ""));
}

void gf_reserveLiveryLists() {
    if (liveryListsReserved)
        return;
    liveryListsReserved = true;
    specialLiveries.reserve(4096);
    lightModels.reserve(64);
    buzjetModels.reserve(128);
    rotorcraftModels.reserve(32);
}

} // namespace kvr
