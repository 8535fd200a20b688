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

// The boxes take the netlist's suffixes as they take commas, with the values a netlist
// gives them (M is milli, MEG mega); a plain number reads exactly as parseDecimalNumber
// reads it.
TEST(NumberTextTest, BoxNumbersTakeTheNetlistsSuffixes) {
    const std::vector<std::pair<std::string, double>> good{
        {"2m", 2e-3},       {"10k", 1e4},     {"2.2MEG", 2.2e6}, {"2,2meg", 2.2e6},
        {"4,7u", 4.7e-6},   {"-3n", -3e-9},   {"1p", 1e-12},     {"5G", 5e9},
        {" 100mV ", 0.1},   {"1T", 1e12},     {"2.5ms", 2.5e-3}, {"1e3k", 1e6},
        {"0.1", 0.1},       {"0,3", 0.3},     {"1E-3", 1e-3},    {"-.5", -0.5},
        {"1,2k", 1200},
    };
    for (const auto& [text, value] : good) {
        SCOPED_TRACE(text);
        ASSERT_TRUE(parseBoxNumber(text).has_value());
        EXPECT_EQ(*parseBoxNumber(text), value);
    }
    for (const std::string text :
         {"", "abc", "1k2", "2 m", "1e3x", "1,000.5", "1.2,k", "nan", "inf", "infm", "0x10",
          "-0X1p3", "1e999", "1e308k", "k", "m5", "1,5,k"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(parseBoxNumber(text).has_value());
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
