// The table of the symbolic expansion's stored minors: what is stored is found again
// under its own key after the table has grown many times, and a minor a parent holds stays
// where it was while others are stored.
#include <gtest/gtest.h>

#include "symbolic_expansion.h"

namespace corvane::symbolic {
namespace {

TEST(MinorTable, FindsEveryMinorUnderItsKeyAfterGrowing) {
    const PolynomialRing ring(1);
    MinorTable table;
    EXPECT_EQ(table.find(7), nullptr);
    // Keys as the expansion makes them: row masks, with a list number above bit 32.
    const auto key = [](std::uint64_t i) { return (i * 2 + 1) | ((i % 5) << 32); };
    const int count = 5000;
    const ExactPolynomial& first = table.insert(key(0), ExactPolynomial(ring, 1));
    for (int i = 1; i < count; ++i)
        table.insert(key(static_cast<std::uint64_t>(i)), ExactPolynomial(ring, i + 1));
    EXPECT_EQ(table.size(), static_cast<std::size_t>(count));
    EXPECT_EQ(first, ExactPolynomial(ring, 1));
    EXPECT_EQ(table.find(key(0)), &first);
    for (int i = 0; i < count; ++i) {
        const ExactPolynomial* found = table.find(key(static_cast<std::uint64_t>(i)));
        ASSERT_NE(found, nullptr) << i;
        EXPECT_EQ(*found, ExactPolynomial(ring, i + 1)) << i;
    }
    EXPECT_EQ(table.find(key(count)), nullptr);
    EXPECT_EQ(table.find(2), nullptr);
}

}  // namespace
}  // namespace corvane::symbolic
