// Covers analysis/time_response.cpp: x(t) of the analysed circuits against the closed
// forms of circuit theory (RC step and impulse, series RLC step under-, critically and
// over-damped, LC tank with an initial charge, integrator ramp, direct terms, the fifth-
// order Butterworth overshoot), and the fixed Talbot inversion against the same forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "recording_host.h"
#include "temp_dir.h"
#include "time_response.h"

namespace corvane {
namespace {

// x(t) of variable k of the circuit.
struct Response {
    test::TempDir dir;
    test::AnalysisFixture fixture;
    Polynomial numerator;
    Polynomial denominator;
    TimeResponse x;

    Response(const std::string& netlist, int k) {
        fixture.run(dir.write("c.net", netlist));
        EXPECT_EQ(fixture.outcome, RunOutcome::Succeeded);
        numerator = fixture.analysis.networkFunctions().numerator[k];
        denominator = fixture.analysis.networkFunctions().denominator;
        x = inverseLaplace(numerator, denominator);
        EXPECT_EQ(x.status, TimeResponseStatus::Ready);
    }
};

struct PhysicsCase {
    const char* name;
    std::string netlist;
    int variable;
    std::function<double(double)> closedForm;
    double tEnd;
};

class ClosedFormResponse : public ::testing::TestWithParam<PhysicsCase> {};

TEST_P(ClosedFormResponse, MatchesAtManyTimes) {
    const PhysicsCase& c = GetParam();
    Response r(c.netlist, c.variable);
    EXPECT_TRUE(r.x.impulses.empty() ||
                std::all_of(r.x.impulses.begin(), r.x.impulses.end(),
                            [](double a) { return a == 0.0; }));
    double peak = 0.0;
    for (int i = 0; i <= 200; ++i)
        peak = std::max(peak, std::fabs(c.closedForm(c.tEnd * i / 200)));
    for (int i = 0; i <= 200; ++i) {
        const double t = c.tEnd * i / 200;
        EXPECT_NEAR(r.x.valueAt(t), c.closedForm(t), 1e-9 * peak) << "t = " << t;
    }
    // The independent evaluation agrees while its contour stays small.
    for (const double t : {c.tEnd / 40, c.tEnd / 10, c.tEnd / 4}) {
        EXPECT_NEAR(talbotValueAt(r.numerator, r.denominator, r.x, t), c.closedForm(t),
                    1e-6 * peak)
            << "Talbot at t = " << t;
    }
}

std::string seriesRlc(double r, double l, double c) {
    return "RLC\nV1 in 0 1 DEGRAU\nR1 in a " + std::to_string(r) + "\nL1 a out " +
           std::to_string(l) + "\nC1 out 0 " + std::to_string(c) + "\n";
}

INSTANTIATE_TEST_SUITE_P(
    Circuits, ClosedFormResponse,
    ::testing::Values(
        // A 1 V step into 1 kΩ and 1 µF: 1 − e^(−t/RC).
        PhysicsCase{"rc_step", "RC\nV1 in 0 1 DEGRAU\nR1 in out 1000\nC1 out 0 1e-6\n", 2,
                    [](double t) { return 1 - std::exp(-t / 1e-3); }, 5e-3},
        // An impulse into 2 Ω and 0.5 F: e^(−t/RC)/RC.
        PhysicsCase{"rc_impulse", "RC\nV1 in 0 1 IMPULSO\nR1 in out 2\nC1 out 0 0.5\n", 2,
                    [](double t) { return std::exp(-t); }, 5},
        // Series RLC, L = C = 1: ζ = R/2.
        PhysicsCase{"rlc_underdamped", seriesRlc(1, 1, 1), 3,
                    [](double t) {
                        const double wd = std::sqrt(0.75);
                        return 1 - std::exp(-0.5 * t) *
                                       (std::cos(wd * t) + 0.5 / wd * std::sin(wd * t));
                    },
                    20},
        PhysicsCase{"rlc_critical", seriesRlc(2, 1, 1), 3,
                    [](double t) { return 1 - (1 + t) * std::exp(-t); }, 15},
        PhysicsCase{"rlc_overdamped", seriesRlc(3, 1, 1), 3,
                    [](double t) {
                        const double s1 = (-3 + std::sqrt(5.0)) / 2;
                        const double s2 = (-3 - std::sqrt(5.0)) / 2;
                        return 1 + (s2 * std::exp(s1 * t) - s1 * std::exp(s2 * t)) / (s1 - s2);
                    },
                    20},
        // A capacitor charged to 2 V across 1 H: 2·cos t, for ever.
        PhysicsCase{"lc_tank", "LC\nC1 a 0 1 IC=2\nL1 a 0 1\n", 1,
                    [](double t) { return 2 * std::cos(t); }, 30},
        // A 1 V step into an ideal inverting integrator, RC = 1 ms: −1000·t.
        PhysicsCase{"integrator",
                    "Integrador\nV1 in 0 1 DEGRAU\nR1 in m 1000\nC1 m out 1e-6\nO1 out 0 0 m\n",
                    3, [](double t) { return -1000 * t; }, 1e-2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TimeResponseTest, ImpulsesOfImproperFunctionsAreReported) {
    // A divider driven by an impulse: 0.5·δ(t) and nothing else.
    Response divider("Divisor\nV1 in 0 1 IMPULSO\nR1 in out 1\nR2 out 0 1\n", 2);
    ASSERT_EQ(divider.x.impulses.size(), 1u);
    EXPECT_DOUBLE_EQ(divider.x.impulses[0], 0.5);
    EXPECT_TRUE(divider.x.terms.empty());

    // A high-pass RC: s/(s + 1) = 1 − 1/(s + 1): δ(t) − e^(−t).
    Response highPass("CR\nV1 in 0 1 IMPULSO\nC1 in out 1\nR1 out 0 1\n", 2);
    ASSERT_EQ(highPass.x.impulses.size(), 1u);
    EXPECT_NEAR(highPass.x.impulses[0], 1.0, 1e-15);
    for (const double t : {0.0, 0.5, 1.0, 3.0}) {
        EXPECT_NEAR(highPass.x.valueAt(t), -std::exp(-t), 1e-12);
        if (t > 0) {
            EXPECT_NEAR(talbotValueAt(highPass.numerator, highPass.denominator,
                                      highPass.x, t),
                        -std::exp(-t), 1e-8);
        }
    }

    // The derivative of an impulse: s² + 3s + 2 over s + 1 is s + 2: δ' + 2δ.
    Polynomial n;
    n.degree = 2;
    n.coef = {2, 3, 1};
    n.constant = 1;
    Polynomial d;
    d.degree = 1;
    d.coef = {1, 1};
    d.constant = 1;
    const TimeResponse x = inverseLaplace(n, d);
    ASSERT_EQ(x.impulses.size(), 2u);
    EXPECT_NEAR(x.impulses[0], 2.0, 1e-15);
    EXPECT_NEAR(x.impulses[1], 1.0, 1e-15);
    EXPECT_NEAR(x.valueAt(1.0), 0.0, 1e-15);
}

TEST(TimeResponseTest, ButterworthFiveStepOvershootsByTheTextbookAmount) {
    // The step response of a fifth-order Butterworth filter overshoots its final value by
    // 12.8 %; the ladder's final value is 1/2 (equal terminations).
    std::string netlist = test::readFile(std::string(CORVANE_TEST_DATA_DIR) + "/butterworth5.net");
    netlist.replace(netlist.find("IMPULSO"), 7, "DEGRAU");
    Response r(netlist, 4);
    double peak = 0.0;
    double peakTime = 0.0;
    for (int i = 0; i <= 20000; ++i) {
        const double t = 20.0 * i / 20000;
        if (r.x.valueAt(t) > peak) {
            peak = r.x.valueAt(t);
            peakTime = t;
        }
    }
    EXPECT_NEAR(r.x.valueAt(200.0), 0.5, 1e-12);
    EXPECT_NEAR(100 * (peak / 0.5 - 1), 12.8, 0.05);
    EXPECT_NEAR(talbotValueAt(r.numerator, r.denominator, r.x, peakTime), peak, 1e-7);
}

TEST(TimeResponseTest, UnstableAndDegenerateFunctions) {
    // Positive feedback: 1/(s − 1) grows as e^t; Talbot shifts past the pole.
    Response r(test::readFile(std::string(CORVANE_TEST_DATA_DIR) + "/positive_feedback.net"), 2);
    for (const double t : {0.0, 1.0, 4.0})
        EXPECT_NEAR(r.x.valueAt(t), std::exp(t), 1e-12 * std::exp(t));
    EXPECT_NEAR(talbotValueAt(r.numerator, r.denominator, r.x, 2.0), std::exp(2.0),
                1e-7 * std::exp(2.0));

    Polynomial zero;
    zero.constant = 1;
    EXPECT_EQ(inverseLaplace(zero, zero).status, TimeResponseStatus::ZeroDenominator);
    Polynomial broken = zero;
    broken.coef[0] = NAN;
    EXPECT_EQ(inverseLaplace(zero, broken).status, TimeResponseStatus::PolesNotFound);
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

// Multiple poles: s^j / (s − p)^m for every order m from 2 to 5 and every numerator degree
// j from 0 to m, against the closed form from s^j = Σ C(j, i)·p^(j−i)·(s − p)^i, term by term
// t^(m−i−1)/(m−i−1)!·e^(pt), and δ(t) when j = m.

Polynomial powerOfBinomial(double p, int m) {
    Polynomial d;
    d.degree = m;
    d.constant = 1;
    d.coef[0] = 1;
    for (int times = 0; times < m; ++times) {  // multiply by (s − p)
        for (int i = times + 1; i >= 0; --i)
            d.coef[i] = (i > 0 ? d.coef[i - 1] : 0.0) - p * d.coef[i];
    }
    return d;
}

Polynomial monomial(int j) {
    Polynomial n;
    n.degree = j;
    n.constant = 1;
    n.coef[j] = 1;
    return n;
}

double binomial(int n, int k) {
    double c = 1;
    for (int i = 1; i <= k; ++i) c = c * (n - k + i) / i;
    return c;
}

// The closed form, and the sum of its terms' sizes that its rounding is measured against.
struct ClosedForm {
    double value = 0;
    double size = 0;
};

ClosedForm monomialOverPower(int j, double p, int m, double t) {
    ClosedForm x;
    for (int i = 0; i <= std::min(j, m - 1); ++i) {
        const double term =
            binomial(j, i) * std::pow(p, j - i) * std::pow(t, m - i - 1) / std::tgamma(m - i);
        x.value += term;
        x.size += std::fabs(term) + binomial(j, i) * std::pow(std::fabs(p), j - i) *
                                        std::pow(std::fabs(1 / p), m - i - 1);
    }
    x.value *= std::exp(p * t);
    x.size *= std::exp(p * t);
    return x;
}

struct MultiplePole {
    double p;
    int m;
    friend void PrintTo(const MultiplePole& c, std::ostream* os) {
        *os << "(s − " << c.p << ")^" << c.m;
    }
};

class MultiplePoleResponse : public ::testing::TestWithParam<MultiplePole> {};

TEST_P(MultiplePoleResponse, EveryNumeratorDegreeMatchesTheClosedForm) {
    const auto [p, m] = GetParam();
    const Polynomial d = powerOfBinomial(p, m);
    const double tau = 1.0 / std::fabs(p);
    for (int j = 0; j <= m; ++j) {
        const TimeResponse x = inverseLaplace(monomial(j), d);
        ASSERT_EQ(x.status, TimeResponseStatus::Ready);
        if (j == m) {
            ASSERT_EQ(x.impulses.size(), 1u) << j;
            EXPECT_NEAR(x.impulses[0], 1.0, 1e-9);
        } else {
            EXPECT_TRUE(x.impulses.empty()) << j;
        }
        for (const double t : {0.0, 0.3 * tau, tau, 2.5 * tau, 6 * tau}) {
            const ClosedForm expected = monomialOverPower(j, p, m, t);
            EXPECT_NEAR(x.valueAt(t), expected.value, 1e-7 * expected.size)
                << "j = " << j << ", t = " << t;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(OrdersTwoToFive, MultiplePoleResponse,
                         ::testing::Values(MultiplePole{-1, 2}, MultiplePole{1, 2},
                                           MultiplePole{-1, 3}, MultiplePole{-2, 4},
                                           MultiplePole{-1, 5}, MultiplePole{-1e4, 2},
                                           MultiplePole{-1e4, 3}, MultiplePole{3e5, 2}),
                         [](const auto& info) {
                             return "order" + std::to_string(info.param.m) + "_case" +
                                    std::to_string(info.index);
                         });

struct MixedCase {
    const char* name;
    std::vector<double> numerator;    // from s^0 up
    std::vector<double> denominator;  // from s^0 up
    std::function<double(double)> x;
};

class MixedMultiplePoles : public ::testing::TestWithParam<MixedCase> {};

TEST_P(MixedMultiplePoles, MatchTheirClosedForms) {
    const MixedCase& c = GetParam();
    Polynomial n;
    n.constant = 1;
    n.degree = static_cast<int>(c.numerator.size()) - 1;
    std::copy(c.numerator.begin(), c.numerator.end(), n.coef.begin());
    Polynomial d;
    d.constant = 1;
    d.degree = static_cast<int>(c.denominator.size()) - 1;
    std::copy(c.denominator.begin(), c.denominator.end(), d.coef.begin());
    const TimeResponse x = inverseLaplace(n, d);
    ASSERT_EQ(x.status, TimeResponseStatus::Ready);
    for (const double t : {0.0, 0.4, 1.0, 2.0, 5.0, 9.0})
        EXPECT_NEAR(x.valueAt(t), c.x(t), 1e-8) << t;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MixedMultiplePoles,
    ::testing::Values(
        // (s + 1)²(s + 2)² = s⁴ + 6s³ + 13s² + 12s + 4.
        MixedCase{"two_double_poles", {1}, {4, 12, 13, 6, 1},
                  [](double t) {
                      return (t - 2) * std::exp(-t) + (t + 2) * std::exp(-2 * t);
                  }},
        MixedCase{"two_double_poles_over_s", {0, 1}, {4, 12, 13, 6, 1},
                  [](double t) {
                      return (3 - t) * std::exp(-t) - (3 + 2 * t) * std::exp(-2 * t);
                  }},
        // A double pair on the axis, (s² + 1)² = s⁴ + 2s² + 1, with numerators 1, s, s², s³.
        MixedCase{"double_pair_one", {1}, {1, 0, 2, 0, 1},
                  [](double t) { return (std::sin(t) - t * std::cos(t)) / 2; }},
        MixedCase{"double_pair_s", {0, 1}, {1, 0, 2, 0, 1},
                  [](double t) { return t * std::sin(t) / 2; }},
        MixedCase{"double_pair_s2", {0, 0, 1}, {1, 0, 2, 0, 1},
                  [](double t) { return (std::sin(t) + t * std::cos(t)) / 2; }},
        MixedCase{"double_pair_s3", {0, 0, 0, 1}, {1, 0, 2, 0, 1},
                  [](double t) { return std::cos(t) - t * std::sin(t) / 2; }}),
    [](const auto& info) { return std::string(info.param.name); });

// The function the tester saw written wrongly with status 0: s/(s − 1)² is (1 + t)·eᵗ.
TEST(TimeResponseTest, DoublePoleWithAZeroGrowsAsOnePlusTTimesET) {
    Polynomial n = monomial(1);
    const TimeResponse x = inverseLaplace(n, powerOfBinomial(1, 2));
    for (const double t : {30.0, 30.5, 31.0})
        EXPECT_NEAR(x.valueAt(t), (1 + t) * std::exp(t), 1e-9 * (1 + t) * std::exp(t)) << t;
}

// A term whose envelope has decayed to zero adds exactly nothing, unless its coefficients or
// its phase are not finite: then 0·NaN spoils the sum as it always did.
TEST(TimeResponseTest, DecayedTermsAddNothingAndNonFiniteOnesStillShow) {
    struct Case {
        const char* what;
        TimeTerm fast;
        bool finite;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"a decayed pair", {-1e6, 3e3, 1, 5.0, -4.0}, true},
        {"a decayed real pole", {-1e6, 0.0, 0, 7.0, 0.0}, true},
        {"a decayed pair with a NaN coefficient", {-1e6, 3e3, 0, nan, 1.0}, false},
        {"a decayed pair with an infinite coefficient", {-1e6, 3e3, 0, 1.0, HUGE_VAL}, false},
        {"a decayed pair whose phase overflows", {-1e6, 1e308, 0, 1.0, 1.0}, false},
    };
    for (const Case& c : cases) {
        TimeResponse x;
        x.terms = {{-1.0, 0.0, 0, 2.0, 0.0}, c.fast};
        const double t = 10.0;
        if (c.finite) {
            EXPECT_EQ(x.valueAt(t), 2.0 * std::exp(-t)) << c.what;
        } else {
            EXPECT_TRUE(std::isnan(x.valueAt(t))) << c.what;
        }
    }
}

// N a multiple of D: the impulse and a proper part that is exactly zero, not rounding.
TEST(TimeResponseTest, AFunctionThatIsOnlyAnImpulseHasNoRegularPart) {
    const Polynomial d = powerOfBinomial(-1e4, 2);
    Polynomial n = d;
    n.constant = 3;
    const TimeResponse x = inverseLaplace(n, d);
    ASSERT_EQ(x.impulses.size(), 1u);
    EXPECT_DOUBLE_EQ(x.impulses[0], 3.0);
    EXPECT_FALSE(x.hasRegularPart());
    EXPECT_EQ(x.valueAt(1e-4), 0.0);

    // A proper part one part in 1e12 of N is real and stays.
    Polynomial near = d;
    near.coef[0] *= 1 + 1e-12;
    EXPECT_TRUE(inverseLaplace(near, d).hasRegularPart());
}

}  // namespace
}  // namespace corvane
