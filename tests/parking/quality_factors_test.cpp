#include "parking/quality_factors.h"
#include "parking/quality_factors_internal.h"
#include "parking_test_support.h"

namespace kvr {
namespace {

class QualityFactorsTest : public test::ParkingTest {
protected:
    void addStands(int count) {
        for (int i = 0; i < count; ++i)
            standList.emplace_back("S" + std::to_string(i), std::vector<StandOption>{},
                                   StandPlacement{52.0, 4.0, 0.0}, 30.0, false, false, false);
    }
    static StandOption option(std::uint32_t day, std::uint64_t halfHours, bool real, std::uint32_t id = 1) {
        StandOption o;
        o.day = day;
        o.halfHours = halfHours;
        o.real = real ? 1 : 0;
        o.aircraftId = id;
        return o;
    }
};

TEST_F(QualityFactorsTest, NoOptionsAnywhereGivesMinusOneAndBlankText) {
    EXPECT_EQ(gf_computeQualityFactors(), QualityFactorPair(-1, -1));
    addStands(3);
    qualityFactors = gf_computeQualityFactors();
    EXPECT_EQ(qualityFactors, QualityFactorPair(-1, -1));
    EXPECT_EQ(lf_formatQualityFactors(), "  ");
}

TEST_F(QualityFactorsTest, OneKnownStandOfTenScoresSix) {
    addStands(10);
    standList[4].options.push_back(option(3, 1ull << 20, true));
    qualityFactors = gf_computeQualityFactors();
    EXPECT_EQ(qualityFactors, QualityFactorPair(6, 0));
    EXPECT_EQ(lf_formatQualityFactors(), " 6/ 0");
}

TEST_F(QualityFactorsTest, UnusedOptionsCountNothingButTheirStandsStillCount) {
    addStands(2);
    standList[0].options.push_back(option(3, 1, true, 0));
    EXPECT_EQ(gf_computeQualityFactors(), QualityFactorPair(0, 0));
    standList[1].options.push_back(option(3, 1, false));
    // One soft stand of two: (20 + 10000 + 100 + 2) / 2 x 0.00625 = 31.63
    EXPECT_EQ(gf_computeQualityFactors(), QualityFactorPair(0, 32));
}

TEST_F(QualityFactorsTest, DaysOutsideTheWeekCountInOptionsAndSlotsButNotInDays) {
    addStands(1);
    standList[0].options.push_back(option(9, 0b11, true));
    // 20 + 10000 + 0 + 4 = 10024 -> 62.65
    EXPECT_EQ(gf_computeQualityFactors().first, 63);
    standList[0].options.push_back(option(2, 0b1, true, 2));
    standList[0].options.push_back(option(2, 0b1, true, 3));
    // 60 + 10000 + 100 + 8 = 10168 -> 63.55
    EXPECT_EQ(gf_computeQualityFactors().first, 64);
}

TEST_F(QualityFactorsTest, OptionAndSlotTermsAreCapped) {
    addStands(1);
    for (std::uint32_t i = 0; i < 300; ++i)
        standList[0].options.push_back(option(1 + i % 7, (1ull << 48) - 1, true, i + 1));
    // min(6000, 4000) + 10000 + 700 + 2 x min(14400, 600) = 15900 -> 99.375
    EXPECT_EQ(gf_computeQualityFactors(), QualityFactorPair(99, 0));
}

TEST_F(QualityFactorsTest, FactorsFrom45OnShowTheRealFactorAlone) {
    qualityFactors = {45, 7};
    EXPECT_EQ(lf_formatQualityFactors(), "45");
    qualityFactors = {44, 7};
    EXPECT_EQ(lf_formatQualityFactors(), "44/ 7");
    qualityFactors = {100, 0};
    EXPECT_EQ(lf_formatQualityFactors(), "100");
}

} // namespace
} // namespace kvr
