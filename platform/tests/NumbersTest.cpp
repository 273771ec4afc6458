#include <gtest/gtest.h>

#include "platform/Numbers.h"

namespace pcn {

TEST(Numbers, GroupsByThreesFromTheRight) {
    EXPECT_EQ(groupDigits(0), "0");
    EXPECT_EQ(groupDigits(999), "999");
    EXPECT_EQ(groupDigits(1000), "1,000");
    EXPECT_EQ(groupDigits(1440000), "1,440,000");
    EXPECT_EQ(groupDigits(20800000), "20,800,000");
    EXPECT_EQ(groupDigits(18446744073709551615ull), "18,446,744,073,709,551,615");
}

TEST(Numbers, TypedNumbersLoseCommasAndStopAtTheFirstOtherCharacter) {
    EXPECT_EQ(groupedNumberValue("3,000,000"), 3000000);
    EXPECT_EQ(groupedNumberValue("3000000"), 3000000);
    EXPECT_EQ(groupedNumberValue("1,2,3"), 123);
    EXPECT_EQ(groupedNumberValue("12 kb"), 12);
    EXPECT_EQ(groupedNumberValue("-5"), 0);
    EXPECT_EQ(groupedNumberValue(""), 0);
    EXPECT_EQ(groupedNumberValue("99,999,999,999"), 2147483647);
}

}  // namespace pcn
