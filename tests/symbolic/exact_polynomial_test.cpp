// The exact numbers and polynomials under the symbolic analysis, and the writing of names.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "exact_polynomial.h"
#include "symbolic_system.h"
#include "symbolic_text.h"

namespace corvane::symbolic {
namespace {

std::string fractionText(const Fraction& f) {
    char* text = fmpq_get_str(nullptr, 10, f.get());
    std::string out = text;
    flint_free(text);
    return out;
}

struct DecimalCase {
    double value;
    const char* fraction;
};

TEST(Fraction, TakesTheShortestDecimalThatReadsBackAsTheDouble) {
    const DecimalCase cases[] = {
        {0.5, "1/2"},
        {2.0, "2"},
        {-3.0, "-3"},
        {1e-9, "1/1000000000"},
        {2.2, "11/5"},
        {0.1, "1/10"},
        {1e20, "100000000000000000000"},
        {1.618033988749895, "323606797749979/200000000000000"},
        {-4.7e-12, "-47/10000000000000"},
        {std::numeric_limits<double>::denorm_min(), nullptr},
    };
    for (const DecimalCase& c : cases) {
        const Fraction f = Fraction::fromDouble(c.value);
        if (c.fraction) {
            EXPECT_EQ(fractionText(f), c.fraction) << c.value;
        } else {
            // The smallest subnormal, 4.9e-324: exact decimal, and back to the same double.
            EXPECT_EQ(fmpq_get_d(f.get()), c.value);
        }
    }
}

TEST(Fraction, InverseOfZeroIsRefused) {
    EXPECT_THROW(Fraction(0).inverse(), std::domain_error);
    EXPECT_EQ(fractionText(Fraction::fromDouble(0.25).inverse()), "4");
}

TEST(ExactPolynomial, GcdAndExactQuotientCancelACommonFactor) {
    const PolynomialRing ring(2);
    const ExactPolynomial s = ExactPolynomial::variable(ring, 0);
    const ExactPolynomial a = ExactPolynomial::variable(ring, 1);
    const ExactPolynomial b = ExactPolynomial::variable(ring, 2);
    ExactPolynomial factor = a;
    factor += b;
    ExactPolynomial first = s * factor;
    first += ExactPolynomial(ring, 0);
    ExactPolynomial second = a * factor;
    second -= factor;
    const ExactPolynomial common = first.gcd(second);
    EXPECT_EQ(common, factor);
    EXPECT_EQ(first.exactQuotient(common), s);
    EXPECT_THROW(s.exactQuotient(a), std::logic_error);
    // Copies and moves keep their own FLINT objects.
    ExactPolynomial copy = first;
    ExactPolynomial moved = std::move(copy);
    EXPECT_EQ(moved, first);
}

// x^e, built by FLINT's own products.
ExactPolynomial power(const PolynomialRing& ring, int variable, ulong e) {
    ExactPolynomial result(ring, 1);
    for (ulong i = 0; i < e; ++i)
        result = result * ExactPolynomial::variable(ring, variable);
    return result;
}

// Σ c·s^e0·x1^e1·x2^e2·x3^e3 over random terms, with variable `reflected` to the power
// highest − e instead of e when `mirror` is set.
ExactPolynomial randomPolynomial(const PolynomialRing& ring, std::uint32_t seed, int reflected,
                                 ulong highest, bool mirror) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> exponent(0, 3);
    std::uniform_int_distribution<long> coefficient(-9, 9);
    ExactPolynomial sum(ring);
    for (int t = 0; t < 300; ++t) {
        ExactPolynomial term(ring, coefficient(random));
        for (int v = 0; v < 4; ++v) {
            ulong e = static_cast<ulong>(exponent(random));
            if (mirror && v == reflected) e = highest - e;
            term = term * power(ring, v, e);
        }
        sum += term;
    }
    return sum;
}

struct ReflectionCase {
    const char* what;
    int reflected;
    ulong highest;
};

TEST(ExactPolynomial, ReflectedExponentsGiveThePolynomialBuiltWithThem) {
    const PolynomialRing ring(3);
    const ReflectionCase cases[] = {
        {"the last variable: only neighbouring terms move", 3, 3},
        {"the first symbol: most terms move", 1, 5},
        {"s itself: every term moves", 0, 3},
        {"past the fields the exponents had", 2, 1000},
    };
    for (const ReflectionCase& c : cases) {
        for (std::uint32_t seed = 1; seed <= 3; ++seed) {
            ExactPolynomial p = randomPolynomial(ring, seed, c.reflected, c.highest, false);
            std::vector<bool> reflected(4, false);
            reflected[static_cast<std::size_t>(c.reflected)] = true;
            Exponents highest(4, 0);
            highest[static_cast<std::size_t>(c.reflected)] = c.highest;
            p.reflectExponents(highest, reflected);
            EXPECT_TRUE(fmpz_mpoly_is_canonical(p.raw(), ring.integers())) << c.what;
            EXPECT_EQ(p, randomPolynomial(ring, seed, c.reflected, c.highest, true)) << c.what;
        }
    }
    ExactPolynomial zero(ring);
    zero.reflectExponents({0, 2, 0, 0}, {false, true, false, false});
    EXPECT_TRUE(zero.isZero());
}

TEST(ExactPolynomial, TextGroupsByDescendingPowersOfS) {
    const PolynomialRing ring(2);
    const std::vector<Symbol> symbols{{"A1", "A_{1}", 1.0, false, ""},
                                      {"B1", "B_{1}", 1.0, false, ""}};
    const ExactPolynomial s = ExactPolynomial::variable(ring, 0);
    const ExactPolynomial a = ExactPolynomial::variable(ring, 1);
    const ExactPolynomial b = ExactPolynomial::variable(ring, 2);
    ExactPolynomial p = s * s * a * a;
    p -= s * b * ExactPolynomial(ring, 3);
    p -= ExactPolynomial(ring, 7);
    p += b;
    EXPECT_EQ(formatPolynomial(p, symbols, Notation::Text), "s^2·(A1^2) + s·(-3·B1) + B1 - 7");
    EXPECT_EQ(formatPolynomial(p, symbols, Notation::SymPy), "s**2*(A1**2) + s*(-3*B1) + B1 - 7");
    EXPECT_EQ(formatPolynomial(p, symbols, Notation::LaTeX),
              "s^{2} \\left({A_{1}}^{2}\\right) + s \\left(-3 B_{1}\\right) + B_{1} - 7");
    EXPECT_EQ(formatPolynomial(-b, symbols, Notation::Text), "-B1");
    EXPECT_EQ(formatPolynomial(ExactPolynomial(ring), symbols, Notation::Text), "0");
}

TEST(SymbolNames, SymPyGetsSymbolsForNamesItWouldReadAsItsOwn) {
    EXPECT_EQ(sympyName("R1"), "R1");
    EXPECT_EQ(sympyName("M_K1"), "M_K1");
    EXPECT_EQ(sympyName("E1"), "Symbol('E1')");
    EXPECT_EQ(sympyName("I"), "Symbol('I')");
    EXPECT_EQ(sympyName("Li"), "Symbol('Li')");
    EXPECT_EQ(sympyName("R'1\\"), "Symbol('R\\'1\\\\')");
    EXPECT_EQ(sympyName("R-1"), "Symbol('R-1')");
}

TEST(SymbolNames, NaturalOrderAndListSplitting) {
    EXPECT_TRUE(naturalLess("R2", "R10"));
    EXPECT_FALSE(naturalLess("R10", "R2"));
    EXPECT_TRUE(naturalLess("C9", "R1"));
    EXPECT_TRUE(naturalLess("R1", "R1a"));
    EXPECT_FALSE(naturalLess("R1", "R1"));
    EXPECT_EQ(splitSymbolList(" R1,C1  L2,,\tK1 "),
              (std::vector<std::string>{"R1", "C1", "L2", "K1"}));
    EXPECT_TRUE(splitSymbolList(" , ").empty());
}

}  // namespace
}  // namespace corvane::symbolic
