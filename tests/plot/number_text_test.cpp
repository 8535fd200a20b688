// Covers the reading of the numbers typed into the plot list window's boxes and given on
// the command line: either decimal separator, blanks around, and everything else refused.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "number_text.h"

namespace corvane {
namespace {

TEST(NumberTextTest, DecimalNumbersWithEitherSeparator) {
    const std::vector<std::pair<std::string, double>> good{
        {"0.1", 0.1},    {"0,1", 0.1},     {"2,5e6", 2.5e6}, {" -60 ", -60.0},
        {"+7,5", 7.5},   {".5", 0.5},      {"-,5", -0.5},    {"5.", 5.0},
        {"1E-3", 1e-3},  {"\t40\t", 40.0}, {"0", 0.0},       {"1.7e308", 1.7e308},
    };
    for (const auto& [text, value] : good) {
        SCOPED_TRACE(text);
        ASSERT_TRUE(parseDecimalNumber(text).has_value());
        EXPECT_EQ(*parseDecimalNumber(text), value);
    }
}

TEST(NumberTextTest, AnythingElseIsNotADecimalNumber) {
    for (const std::string text :
         {"", " ", "abc", "1e3x", "1,000.5", "1.000,5", "1,2,3", "nan", "inf", "-inf", "0x10",
          "1e999", "--1", "+-1", "1 2", "2.5.1", "e5", "1e", "5 dB"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(parseDecimalNumber(text).has_value());
    }
}

TEST(NumberTextTest, WholeNumbers) {
    EXPECT_EQ(parseWholeNumber("300"), 300);
    EXPECT_EQ(parseWholeNumber(" +42 "), 42);
    EXPECT_EQ(parseWholeNumber("-5"), -5);
    EXPECT_EQ(parseWholeNumber("99999999999"), 99999999999LL);
    for (const std::string text : {"", "12.7", "42x", "1e3", "abc", "99999999999999999999", "+"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(parseWholeNumber(text).has_value());
    }
}

}  // namespace
}  // namespace corvane
