#include "core/shared_state.h"
#include "core/text_util.h"

#include <gsl/narrow>
#include <gtest/gtest.h>

#include <limits>

namespace kvr {
namespace {

using Pieces = std::vector<std::string>;

TEST(TextUtil, TrimRemovesOnlyBlanksTabsCrLfAtTheEnds) {
    EXPECT_EQ(gf_trim("\t a \t b \r\n"), "a \t b");
    EXPECT_EQ(gf_trim(" \t\r\n"), "");
    EXPECT_EQ(gf_trim(""), "");
    EXPECT_EQ(gf_trim("\va\v"), "\va\v"); // vertical tab is not trimmed
}

TEST(TextUtil, SplittersKeepEmptyPiecesButAnEmptyTextHasNone) {
    EXPECT_EQ(gf_splitString("", ','), Pieces{});
    EXPECT_EQ(gf_splitString(" a , b ,", ','), (Pieces{"a", "b", ""}));
    EXPECT_EQ(gf_splitString(" ", ';'), Pieces{""});
    EXPECT_EQ(gf_splitString("x;;y", ';'), (Pieces{"x", "", "y"}));

    EXPECT_EQ(gf_splitCsvLine(""), Pieces{});
    EXPECT_EQ(gf_splitCsvLine("a, b,"), (Pieces{"a", " b", ""}));
    EXPECT_EQ(gf_splitCsvLine(","), (Pieces{"", ""}));
    EXPECT_EQ(gf_splitCsvLine("one"), Pieces{"one"});
}

TEST(TextUtil, TrimAndSplitOnlyTouchesTextsWithWhiteSpace) {
    std::string spaced = " KLM, MP ,\tTRA\r\n";
    gf_trimAndSplit(spaced);
    EXPECT_EQ(spaced, "KLM,MP,TRA");

    std::string gap = "A, ,B";
    gf_trimAndSplit(gap);
    EXPECT_EQ(gap, "A,,B");

    std::string compact = "KLM,,MP,";
    gf_trimAndSplit(compact);
    EXPECT_EQ(compact, "KLM,,MP,");
}

TEST(TextUtil, PluralSuffixesOfEachCountType) {
    EXPECT_EQ(gf_pluralSuffix(0) + gf_pluralSuffix(1) + gf_pluralSuffix(2), "ss");
    EXPECT_EQ(gf_pluralSuffixInt(-2) + gf_pluralSuffixInt(0) + gf_pluralSuffixInt(1), "s");
    EXPECT_EQ(gf_pluralSuffixSigned(std::numeric_limits<std::int64_t>::min()) + gf_pluralSuffixSigned(1) +
                  gf_pluralSuffixSigned(5'000'000'000),
              "s");
}

TEST(TextUtil, StarBannerFiguresOfTheLiverySummary) {
    const std::string title = "live traffic livery matching summary";
    EXPECT_EQ(gf_starBanner(64, 0, true, false, title),
              "\n" + std::string(31, '*') + " " + title + " " + std::string(31, '*'));
    EXPECT_EQ(gf_starBanner(64, 36, false, true, ""), std::string(100, '*') + "\n");
}

TEST(TextUtil, StarBannerRoundsOddWidthsUpAndNeverDropsTheText) {
    EXPECT_EQ(gf_starBanner(3, 0, false, false, ""), "****");
    EXPECT_EQ(gf_starBanner(7, 0, false, false, "ab"), "*** ab ***"); // width 8 > 2 + 2
    EXPECT_EQ(gf_starBanner(4, 0, false, false, "ab"), "* ab *");     // width 4 is not > 4
}

TEST(TextUtil, PercentageRoundsAndGuardsSmallDivisors) {
    EXPECT_EQ(gf_percentage(1, 3), 33);
    EXPECT_EQ(gf_percentage(2, 3), 67);
    EXPECT_EQ(gf_percentage(1, 8), 13); // 12.5 rounds away from zero
    EXPECT_EQ(gf_percentage(-1, 8), -13);
    EXPECT_EQ(gf_percentage(5, 0), 0);
    EXPECT_EQ(gf_percentage(5, 0.999), 0);
    EXPECT_THROW(gf_percentage(1e9, 1), gsl::narrowing_error);
    EXPECT_THROW(gf_percentage(std::numeric_limits<double>::quiet_NaN(), 2), gsl::narrowing_error);
}

TEST(TextUtil, EqualsWithStarNeedsExactlyOneTrailingStar) {
    EXPECT_TRUE(gf_equalsWithStar("KLM123", "KLM123*"));
    EXPECT_TRUE(gf_equalsWithStar("", "*"));
    EXPECT_FALSE(gf_equalsWithStar("KLM123", "KLM123"));
    EXPECT_FALSE(gf_equalsWithStar("KLM12", "KLM123*"));
    EXPECT_FALSE(gf_equalsWithStar("KLM123*", "KLM123"));
}

TEST(TextUtil, CaseChangesTouchOnlyAsciiLetters) {
    EXPECT_EQ(gf_toUpper("Aircraft.cfg \xC3\xA9"), "AIRCRAFT.CFG \xC3\xA9");
    EXPECT_EQ(gf_toLower("PLANE LATITUDE 7-\xC3\x89"), "plane latitude 7-\xC3\x89");
    EXPECT_EQ(gf_toLower(""), "");
}

TEST(TextUtil, ObjectIdsFollowTheChosenSimulator) {
    const bool saved = msfs2020Selected.load();
    msfs2020Selected = true;
    EXPECT_EQ(gf_idToString(255), "255");
    msfs2020Selected = false;
    EXPECT_EQ(gf_idToString(255), "ff");
    EXPECT_EQ(gf_idToString(0xFFFFFFFFu), "ffffffff");
    msfs2020Selected = saved;
}

} // namespace
} // namespace kvr
