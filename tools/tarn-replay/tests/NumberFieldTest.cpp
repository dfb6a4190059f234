#include <gtest/gtest.h>

#include <cmath>

#include "NumberField.h"

TEST(NumberField, ReadsDecimalScientificSignedAndSpecialValues)
{
    EXPECT_EQ(parseNumberField("1.5"), 1.5);
    EXPECT_EQ(parseNumberField("+2"), 2.0);
    EXPECT_EQ(parseNumberField("-3e-4"), -3e-4);
    EXPECT_EQ(parseNumberField(".5E1"), 5.0);
    EXPECT_EQ(parseNumberField("0.1000000000000000055511151231257827"), 0.1);
    EXPECT_TRUE(std::isnan(*parseNumberField("nan")));
    EXPECT_TRUE(std::isnan(*parseNumberField("NaN")));
    EXPECT_EQ(parseNumberField("-inf"), -INFINITY);
    EXPECT_EQ(parseNumberField("Infinity"), INFINITY);
}

TEST(NumberField, RejectsEverythingThatIsNotExactlyOneNumber)
{
    for (const char* text : {"", "+", "-", "abc", "1.5abc", "1,5", "1 2", " 1", "++1", "+-1", "0x10", "1e400",
                             "1e", "--1"}) {
        EXPECT_FALSE(parseNumberField(text).has_value()) << '"' << text << '"';
    }
}
