#include "standins/service/faults.h"

#include "standins/service/option_items.h"

namespace kvr::standin {

namespace {

bool lf_share(const std::string& text, double& out) {
    return gf_readNumber(text, out) && out >= 0.0 && out <= 1.0;
}

ItemVerdict lf_takeFaultItem(FaultSpec& spec, const std::string& key, const std::string& value) {
    const auto fields = gf_splitText(value, ':');
    bool ok = false;
    if (key == "5xx") {
        ok = lf_share(value, spec.serverErrorShare);
    } else if (key == "malformed") {
        ok = lf_share(value, spec.malformedShare);
    } else if (key == "drop") {
        ok = lf_share(value, spec.dropShare);
    } else if (key == "slow") {
        ok = fields.size() == 2 && lf_share(fields[0], spec.slowShare) &&
             gf_readNumber(fields[1], spec.slowMilliseconds) && spec.slowMilliseconds >= 0;
    } else if (key == "status") {
        ok = fields.size() == 2 && gf_readNumber(fields[0], spec.statusCode) && spec.statusCode >= 100 &&
             spec.statusCode <= 599 && lf_share(fields[1], spec.statusShare);
    } else if (key == "stall") {
        ok = fields.size() == 2 && gf_readNumber(fields[0], spec.stallStartS) &&
             gf_readNumber(fields[1], spec.stallDurationS) && spec.stallStartS >= 0.0 &&
             spec.stallDurationS > 0.0;
    } else if (key == "ahead") {
        ok = fields.size() == 2 && lf_share(fields[0], spec.aheadShare) &&
             gf_readNumber(fields[1], spec.aheadSeconds) && spec.aheadSeconds > 0.0;
    } else if (key == "jump") {
        ok = fields.size() == 2 && lf_share(fields[0], spec.jumpShare) &&
             gf_readNumber(fields[1], spec.jumpDegrees) && spec.jumpDegrees > 0.0 && spec.jumpDegrees <= 90.0;
    } else if (key == "overflow") {
        ok = gf_readNumber(value, spec.overflowEveryS) && spec.overflowEveryS > 0.0;
    } else if (key == "only") {
        spec.only = value;
        ok = value == "traffic" || value == "parked" || value == "weather";
    } else if (key == "seed") {
        ok = gf_readNumber(value, spec.seed);
    } else if (key == "hang") {
        spec.hangAuth = spec.hangAuth || value == "auth";
        spec.hangDeauth = spec.hangDeauth || value == "deauth";
        ok = value == "auth" || value == "deauth";
    } else if (key == "after") {
        ok = gf_readNumber(value, spec.after) && spec.after >= 0;
    } else {
        return ItemVerdict::unknownKey;
    }
    return ok ? ItemVerdict::taken : ItemVerdict::badValue;
}

} // namespace

std::optional<std::string> gf_parseFaultSpec(const std::string& text, FaultSpec& spec) {
    if (auto error = gf_readItems(text, "fault", [&spec](const std::string& key, const std::string& value) {
            return lf_takeFaultItem(spec, key, value);
        }))
        return error;
    if (spec.serverErrorShare + spec.malformedShare + spec.dropShare + spec.statusShare > 1.0)
        return "the shares of 5xx, malformed, drop and status add up to more than 1";
    return std::nullopt;
}

FaultInjector::FaultInjector(FaultSpec spec)
    : spec_(std::move(spec)), random_(spec_.seed), glitchRandom_(spec_.seed + 1) {}

FaultDecision FaultInjector::decide(const std::string& endpoint) {
    FaultDecision decision;
    if (!spec_.only.empty() && spec_.only != endpoint)
        return decision;
    std::lock_guard lock(mutex_);
    if (requests_++ < spec_.after)
        return decision;
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    double draw = uniform(random_);
    const double slowDraw = uniform(random_);
    if (slowDraw < spec_.slowShare)
        decision.delayMilliseconds = spec_.slowMilliseconds;
    const std::pair<double, FaultKind> kinds[] = {{spec_.serverErrorShare, FaultKind::serverError},
                                                  {spec_.malformedShare, FaultKind::malformed},
                                                  {spec_.dropShare, FaultKind::drop},
                                                  {spec_.statusShare, FaultKind::status}};
    for (const auto& [share, kind] : kinds) {
        if (draw < share) {
            decision.kind = kind;
            break;
        }
        draw -= share;
    }
    return decision;
}

ReportGlitch FaultInjector::glitchReport() {
    ReportGlitch glitch;
    if (spec_.aheadShare == 0.0 && spec_.jumpShare == 0.0)
        return glitch;
    std::lock_guard lock(mutex_);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    if (uniform(glitchRandom_) < spec_.aheadShare)
        glitch.timestampShiftS = spec_.aheadSeconds;
    if (uniform(glitchRandom_) < spec_.jumpShare)
        glitch.latitudeShiftDeg = spec_.jumpDegrees;
    return glitch;
}

bool FaultInjector::overflowDue(double secondsSinceStart) {
    if (spec_.overflowEveryS <= 0.0)
        return false;
    const auto period = static_cast<std::int64_t>(secondsSinceStart / spec_.overflowEveryS);
    std::lock_guard lock(mutex_);
    if (period < overflowPeriodsServed_)
        return false;
    overflowPeriodsServed_ = period + 1;
    return true;
}

bool FaultInjector::stalled(double secondsSinceStart) const {
    return spec_.stallStartS >= 0.0 && secondsSinceStart >= spec_.stallStartS &&
           secondsSinceStart < spec_.stallStartS + spec_.stallDurationS;
}

} // namespace kvr::standin
