// The exact engine on circuits whose functions are known in closed form at sizes the
// cofactor expansion cannot reach, its limits, its cancellation, and the rounding of its
// results to doubles.
#include <gtest/gtest.h>

#include <flint/arith.h>
#include <flint/fmpz.h>

#include <cmath>
#include <limits>
#include <string>

#include "analysis_log.h"
#include "exact_engine.h"
#include "exact_rounding.h"
#include "netlist_reader.h"
#include "temp_dir.h"

namespace corvane::exact {
namespace {

// Stamps a two-terminal admittance g + c·s between nodes a and b (0 is ground).
void stampBranch(ExactSystem& system, int a, int b, const Fraction& value, int power) {
    system.add(a, a, +1, value, power);
    system.add(b, b, +1, value, power);
    system.add(a, b, -1, value, power);
    system.add(b, a, -1, value, power);
}

Fraction fraction(long numerator, long denominator) {
    Fraction f;
    fmpq_set_si(f.get(), numerator, static_cast<ulong>(denominator));
    return f;
}

// An RC ladder of `sections` series resistors R and shunt capacitors C driven by a voltage
// source at node 1: nodes 1..sections + 1, the source's current last.
ExactSystem rcLadder(int sections, const Fraction& conductance, const Fraction& capacitance) {
    const int n = sections + 2;
    ExactSystem system(n);
    for (int i = 1; i <= sections; ++i) {
        stampBranch(system, i, i + 1, conductance, 0);
        stampBranch(system, i + 1, 0, capacitance, 1);
    }
    system.add(1, n, +1, Fraction(1), 0);
    system.add(n, 1, +1, Fraction(1), 0);
    system.add(n, n + 1, +1, Fraction(1), 0);
    return system;
}

// The ladder's output over its input is 1 / b_N(sRC), b_N(x) = Σ C(N + k, N − k) x^k (the
// Morgan-Voyce polynomial): the denominator over the output's numerator has exactly those
// coefficients.
TEST(ExactClosedFormTest, HundredSectionRcLadderHasTheMorganVoyceDenominator) {
    const int sections = 100;
    const ExactFunctions f = computeExactFunctions(rcLadder(sections, fraction(1, 1000), fraction(1, 1000000)));
    const RationalPolynomial& output = f.numerators[static_cast<std::size_t>(sections) + 1];
    ASSERT_EQ(output.degree(), 0);
    ASSERT_EQ(f.denominator.degree(), sections);
    const Fraction outputConstant = output.coefficient(0);
    Fraction expected;
    Fraction ratio;
    Fraction rcPower(1);
    const Fraction rc = fraction(1, 1000);  // 1 kΩ · 1 µF
    for (long k = 0; k <= sections; ++k) {
        fmpz_bin_uiui(fmpq_numref(expected.get()), static_cast<ulong>(sections + k),
                      static_cast<ulong>(sections - k));
        fmpz_one(fmpq_denref(expected.get()));
        expected = expected * rcPower;
        fmpq_div(ratio.get(), f.denominator.coefficient(k).get(), outputConstant.get());
        EXPECT_TRUE(fmpq_equal(ratio.get(), expected.get())) << "s^" << k;
        rcPower = rcPower * rc;
    }
}

// Thirty unity-gain Sallen-Key stages of 1 / (s² + s + 1), read as a netlist with the
// limits lifted (122 variables): the denominator is the stage's to the 30th power, up to
// a constant, and the output's numerator that constant times s (an impulse drives the
// stored excitation times s).
TEST(ExactClosedFormTest, ThirtyIdenticalBiquadsHaveTheBiquadsDenominatorToTheThirtieth) {
    std::string text = "Cascata\nV1 s0 0 1 IMPULSO\n";
    for (int i = 1; i <= 30; ++i) {
        const std::string k = std::to_string(i);
        std::string in = "s";
        in += std::to_string(i - 1);
        text += "Ra" + k + " " + in + " a" + k + " 1k\n";
        text += "Rb" + k + " a" + k + " b" + k + " 1k\n";
        text += "Ca" + k + " a" + k + " s" + k + " 2u\n";
        text += "Cb" + k + " b" + k + " 0 0.5u\n";
        text += "O" + k + " s" + k + " 0 b" + k + " s" + k + "\n";
    }
    test::TempDir dir;
    RunState run;
    AnalysisLog log;
    ASSERT_TRUE(readNetlist(run, log, dir.write("cascata.net", text), LiftedRunLimits));
    ASSERT_EQ(run.variableCount, 122);
    const ExactFunctions f = computeExactFunctions(exactSystemOf(run));
    // R = 1 kΩ, Ca = 2 µF, Cb = 0.5 µF: each stage is 1 / (10^-6 s² + 10^-3 s + 1).
    RationalPolynomial stage;
    fmpq_poly_set_coeff_si(stage.get(), 0, 1);
    fmpq_poly_set_coeff_fmpq(stage.get(), 1, fraction(1, 1000).get());
    fmpq_poly_set_coeff_fmpq(stage.get(), 2, fraction(1, 1000000).get());
    RationalPolynomial expected;
    fmpq_poly_pow(expected.get(), stage.get(), 30);
    int output = 0;
    for (int k = 1; k <= run.variableCount; ++k) {
        if (run.VariableNames[static_cast<std::size_t>(k)] == "s30") output = k;
    }
    ASSERT_GT(output, 0);
    const RationalPolynomial& numerator = f.numerators[static_cast<std::size_t>(output)];
    ASSERT_EQ(numerator.degree(), 1);
    EXPECT_TRUE(numerator.coefficient(0).isZero());
    RationalPolynomial scaled;
    fmpq_poly_scalar_div_fmpq(scaled.get(), f.denominator.get(), numerator.coefficient(1).get());
    EXPECT_TRUE(scaled == expected);
    EXPECT_EQ(f.denominator.degree(), 60);
}

TEST(ExactClosedFormTest, SingularSystemHasZeroDenominatorAndItsCramerNumerators) {
    // Two voltage sources in parallel: det = 0, yet the numerators of a singular system
    // are the determinants with the excitation in place of each column.
    ExactSystem system(3);
    system.add(1, 1, +1, fraction(1, 2), 0);
    system.add(1, 2, +1, Fraction(1), 0);
    system.add(1, 3, +1, Fraction(1), 0);
    system.add(2, 1, +1, Fraction(1), 0);
    system.add(3, 1, +1, Fraction(1), 0);
    system.add(2, 4, +1, Fraction(1), 1);
    system.add(3, 4, +1, Fraction(2), 0);
    const ExactFunctions f = computeExactFunctions(system);
    EXPECT_TRUE(f.denominator.isZero());
    // Column 1 replaced by (0, s, 2): det [[0,1,1],[s,0,0],[2,0,0]] = 0; columns 2 and 3:
    // det [[1/2,0,1],[1,s,0],[1,2,0]] = 2 − s and det [[1/2,1,0],[1,0,s],[1,0,2]] = s − 2.
    EXPECT_TRUE(f.numerators[1].isZero());
    EXPECT_EQ(f.numerators[2].degree(), 1);
    EXPECT_TRUE(fmpq_equal(f.numerators[2].coefficient(0).get(), Fraction(2).get()));
    EXPECT_TRUE(fmpq_equal(f.numerators[2].coefficient(1).get(), Fraction(-1).get()));
    EXPECT_TRUE(fmpq_equal(f.numerators[3].coefficient(0).get(), Fraction(-2).get()));
    EXPECT_TRUE(fmpq_equal(f.numerators[3].coefficient(1).get(), Fraction(1).get()));
}

TEST(ExactLimitTest, TooLittleMemoryIsRefusedWithTheNumbersBeforeAnyWork) {
    const ExactSystem system = rcLadder(300, fraction(1, 1000), fraction(1, 1000000));
    const ExactForecast forecast = forecastExactFunctions(system);
    EXPECT_EQ(forecast.unknowns, 302);
    EXPECT_EQ(forecast.degreeBound, 300);
    ExactOptions options;
    options.memoryLimitBytes = std::size_t{1} << 20;
    bool called = false;
    options.keepGoing = [&](double) { return called = true; };
    try {
        computeExactFunctions(system, options);
        FAIL() << "sem recusa";
    } catch (const ExactLimitReached& limit) {
        const std::string expected =
            "o cálculo exato de 302 variáveis (grau até 300, coeficientes de até " +
            std::to_string(forecast.coefficientBits) + " bits) precisaria de até " +
            std::to_string((forecast.bytes + (1u << 20) - 1) >> 20) + " MiB de memória; o limite é 1 MiB";
        EXPECT_EQ(limit.what(), expected);
    }
    EXPECT_FALSE(called);
}

TEST(ExactLimitTest, CancelStopsAtTheNextPointAndProgressOnlyGrows) {
    const ExactSystem system = rcLadder(200, fraction(1, 1000), fraction(1, 1000000));
    ExactOptions options;
    double last = -1.0;
    int calls = 0;
    options.keepGoing = [&](double done) {
        EXPECT_GE(done, last);
        EXPECT_LE(done, 1.0);
        last = done;
        return ++calls < 3;
    };
    EXPECT_THROW(computeExactFunctions(system, options), ExactCancelled);
    EXPECT_EQ(calls, 3);
}

TEST(ExactRoundingTest, FractionsRoundToTheNearestDouble) {
    // Each double read back from its shortest decimal; halfway cases between neighbours.
    for (const double x : {0.1, 1e-9, 4.7e3, 1.0 / 3.0, 2.2e-12, 6.02214076e23, 1e300, -3.3,
                           std::numeric_limits<double>::min(), std::numeric_limits<double>::max()}) {
        EXPECT_EQ(nearestDouble(Fraction::fromDouble(x)), x) << x;
    }
    EXPECT_EQ(nearestDouble(fraction(1, 3)), 1.0 / 3.0);
    EXPECT_EQ(nearestDouble(fraction(-2, 7)), -2.0 / 7.0);
    // 2^53 + 1 lies halfway between 2^53 and 2^53 + 2: ties go to the even 2^53; 2^53 + 3 to
    // 2^53 + 4.
    Fraction tie;
    fmpz_set_ui(fmpq_numref(tie.get()), (1ul << 53) + 1);
    EXPECT_EQ(nearestDouble(tie), 9007199254740992.0);
    fmpz_set_ui(fmpq_numref(tie.get()), (1ul << 53) + 3);
    EXPECT_EQ(nearestDouble(tie), 9007199254740996.0);
    // Just above the tie, a remainder decides: (2^54 + 3)/2 rounds up.
    fmpz_set_ui(fmpq_numref(tie.get()), (1ul << 54) + 3);
    fmpz_set_ui(fmpq_denref(tie.get()), 2);
    EXPECT_EQ(nearestDouble(tie), 9007199254740994.0);
    Fraction huge;
    fmpz_one(fmpq_numref(huge.get()));
    fmpz_mul_2exp(fmpq_numref(huge.get()), fmpq_numref(huge.get()), 1100);
    EXPECT_EQ(nearestDouble(huge), std::numeric_limits<double>::infinity());
    EXPECT_EQ(nearestDouble(Fraction()), 0.0);
}

}  // namespace
}  // namespace corvane::exact
