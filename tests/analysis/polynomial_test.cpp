// Covers the small operations of Polynomial: its coefficients as a view, the trimming of
// leading zeros, and equality of values, at the edges of the degree and with signed zeros,
// NaNs and leftovers above the degree.
#include "polynomial.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace corvane {
namespace {

Polynomial polynomial(std::vector<double> coefficients, double constant = 1.0) {
    Polynomial p;
    for (std::size_t i = 0; i < coefficients.size(); ++i)
        p.coef[i] = coefficients[i];
    p.degree = static_cast<int>(coefficients.size()) - 1;
    p.constant = constant;
    return p;
}

TEST(PolynomialTest, TrimsLeadingZerosOnly) {
    struct Case {
        const char* name;
        Polynomial p;
        int trimmed;
    };
    Polynomial pastTheLimit = polynomial({1.0});
    pastTheLimit.degree = MaxDegree + 5;
    pastTheLimit.coef[MaxDegree] = 2.0;
    Polynomial negative = polynomial({3.0});
    negative.degree = -1;
    const std::vector<Case> cases{
        {"already trimmed", polynomial({1.0, 0.0, 2.0}), 2},
        {"two leading zeros", polynomial({1.0, 2.0, 0.0, -0.0}), 1},
        {"zero inside kept", polynomial({0.0, 0.0, 5.0, 0.0}), 2},
        {"zero polynomial", polynomial({0.0, 0.0, 0.0}), 0},
        {"nonzero constant term", polynomial({7.0, 0.0}), 0},
        {"degree past what coef holds", pastTheLimit, MaxDegree},
        {"negative degree", negative, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.p.trimmedDegree(), c.trimmed) << c.name;
        Polynomial p = c.p;
        p.trimDegree();
        EXPECT_EQ(p.degree, c.trimmed) << c.name;
    }
}

TEST(PolynomialTest, ViewsTheCoefficientsOfTheValue) {
    const Polynomial p = polynomial({1.0, 2.0, 3.0});
    const std::span<const double> c = p.coefficients();
    ASSERT_EQ(c.size(), 3U);
    EXPECT_EQ(c[2], 3.0);
    Polynomial wide;
    wide.degree = MaxDegree + 1;
    EXPECT_EQ(wide.coefficients().size(), static_cast<std::size_t>(MaxDegree) + 1);
    EXPECT_EQ(Polynomial{}.coefficients().size(), 1U);
}

TEST(PolynomialTest, GrowsPastThirtyOneCoefficientsKeepingTheValue) {
    Polynomial p = polynomial({1.0, -2.0, 3.0});
    p.setDegree(300);
    ASSERT_EQ(p.coefficients().size(), 301U);
    EXPECT_EQ(p.coef[1], -2.0);
    EXPECT_EQ(p.coef[2], 3.0);
    for (std::size_t i = 3; i <= 300; ++i)
        ASSERT_EQ(p.coef[i], 0.0) << i;
    p.coef[300] = 5.0;
    Polynomial copy = p;
    p.coef[300] = 6.0;
    EXPECT_EQ(copy.coef[300], 5.0);
    EXPECT_EQ(copy.trimmedDegree(), 300);
    Polynomial moved = std::move(copy);
    EXPECT_EQ(moved.coef[300], 5.0);
    // Back to a small value: the slots above the list are zero, as for a new record.
    moved.coef = {4.0};
    EXPECT_EQ(moved.coef[0], 4.0);
    EXPECT_EQ(moved.coef[1], 0.0);
    EXPECT_EQ(moved.coef.size(), static_cast<std::size_t>(MaxDegree) + 1);
}

TEST(PolynomialTest, EqualValuesCompareEqual) {
    struct Case {
        const char* name;
        Polynomial a;
        Polynomial b;
        bool equal;
    };
    Polynomial leftover = polynomial({1.0, 2.0});
    leftover.coef[5] = 9.0;
    const std::vector<Case> cases{
        {"same", polynomial({1.0, 2.0}, 3.0), polynomial({1.0, 2.0}, 3.0), true},
        {"leftover above the degree", leftover, polynomial({1.0, 2.0}), true},
        {"signed zero", polynomial({0.0, 1.0}), polynomial({-0.0, 1.0}), true},
        {"other coefficient", polynomial({1.0, 2.0}), polynomial({1.0, 2.5}), false},
        {"other constant", polynomial({1.0, 2.0}, 1.0), polynomial({1.0, 2.0}, 2.0), false},
        {"other degree, same value", polynomial({1.0, 0.0}), polynomial({1.0}), false},
        {"NaN", polynomial({std::nan("")}), polynomial({std::nan("")}), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.a == c.b, c.equal) << c.name;
        EXPECT_EQ(c.b == c.a, c.equal) << c.name;
    }
}

}  // namespace
}  // namespace corvane
