#include "refdata/version_data.h"

#include <gtest/gtest.h>

namespace kvr {
namespace {

TEST(VersionDataTest, ParsesTheFirstTripleWithLiteralDots) {
    EXPECT_EQ(VersionData::fromText("12.0.3"), VersionData(12, 0, 3));
    EXPECT_EQ(VersionData::fromText("version v11.10.0-beta"), VersionData(11, 10, 0));
    EXPECT_EQ(VersionData::fromText("1.2.3.4"), VersionData(1, 2, 3));
    EXPECT_EQ(VersionData::fromText("99999999999.1.2.3"), VersionData(1, 2, 3))
        << "a number too big is skipped";
    EXPECT_FALSE(VersionData::fromText("12345")) << "dots are not any character";
    EXPECT_FALSE(VersionData::fromText("1-2-3"));
    EXPECT_FALSE(VersionData::fromText("1.2"));
    EXPECT_FALSE(VersionData::fromText("1..2.3"));
    EXPECT_FALSE(VersionData::fromText(""));
}

TEST(VersionDataTest, ComparesFieldByFieldAndPrints) {
    EXPECT_LT(VersionData(11, 9, 9), VersionData(11, 10, 0));
    EXPECT_LT(VersionData(11, 10, 0), VersionData(11, 10, 1));
    EXPECT_GT(VersionData(12, 0, 0), VersionData(11, 99, 99));
    EXPECT_EQ(gf_versionText(VersionData(11, 10, 0)), "11.10.0");
    EXPECT_EQ(gf_versionText(*VersionData::fromText(programVersionText)), programVersionText);
}

} // namespace
} // namespace kvr
