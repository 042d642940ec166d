#include "parking/quality_factors.h"

#include "parking/quality_factors_internal.h"
#include "parking/stand.h"

#include <fmt/format.h>
#include <gsl/narrow>

#include <algorithm>
#include <bit>
#include <cmath>

namespace kvr {

QualityFactorPair qualityFactors{0, 0};

namespace {

constexpr std::uint64_t slotMask = (std::uint64_t{1} << 48) - 1;

// One stand's share for one kind of option: a stand with any options of the kind scores at least
// 10122, so the factor mostly tells how many stands are known; option, day and slot counts only
// refine it.
double lf_standTerm(const Stand& stand, bool real) {
    std::int64_t n = 0;
    std::int64_t slots = 0;
    unsigned days = 0; // bit d for weekday d
    for (const StandOption& option : stand.options) {
        if (option.aircraftId == 0 || (option.real != 0) != real)
            continue;
        ++n;
        if (option.day >= 1 && option.day <= 7)
            days |= 1u << option.day;
        slots += std::popcount(option.halfHours & slotMask);
    }
    if (n == 0)
        return 0.0;
    return static_cast<double>(std::min<std::int64_t>(20 * n, 4000) + 10000 + 100 * std::popcount(days) +
                               2 * std::min<std::int64_t>(slots, 600));
}

std::int32_t lf_factor(double sum, std::size_t standCount) {
    const double scaled = std::round(sum / static_cast<double>(standCount) * 0.00625);
    return std::clamp(gsl::narrow<std::int32_t>(scaled), 0, 100);
}

} // namespace

QualityFactorPair gf_computeQualityFactors() {
    const bool anyOptions =
        std::any_of(standList.begin(), standList.end(), [](const Stand& s) { return !s.options.empty(); });
    if (!anyOptions)
        return {-1, -1};
    double sumReal = 0.0;
    double sumSoft = 0.0;
    for (const Stand& stand : standList) {
        sumReal += lf_standTerm(stand, true);
        sumSoft += lf_standTerm(stand, false);
    }
    return {lf_factor(sumReal, standList.size()), lf_factor(sumSoft, standList.size())};
}

std::string lf_formatQualityFactors() {
    const auto [real, soft] = qualityFactors;
    if (real < 0 && soft < 0)
        return "  ";
    if (real < 45)
        return fmt::format("{:2}/{:2}", real, soft);
    return fmt::format("{:2}", real);
}

} // namespace kvr
