// Covers analysis/measurements.cpp: the gains, the maximum, the -3 dB bands, Q and the
// delay at s = 0 of functions with closed forms (Butterworth of every order, band-pass,
// notch, peaked low-pass, Bessel, high-pass), the infinite and degenerate cases, the
// step's s removed from the denominator, and the exact lines of the listing.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "test_polynomial.h"
#include "measurements.h"

namespace corvane {
namespace {

using Complex = std::complex<double>;
using Lines = std::vector<std::string>;
constexpr double Pi = std::numbers::pi;
constexpr double Inf = std::numeric_limits<double>::infinity();

using test::polynomial;

// ∏(s − p) over the poles of a Butterworth low-pass of order n at ωc, multiplied out.
std::vector<double> butterworthDenominator(int n, double omegaC) {
    std::vector<Complex> product{1.0};
    for (int k = 1; k <= n; ++k) {
        const Complex pole = std::polar(omegaC, Pi * (2.0 * k + n - 1) / (2.0 * n));
        std::vector<Complex> next(product.size() + 1, 0.0);
        for (std::size_t i = 0; i < product.size(); ++i) {
            next[i + 1] += product[i];
            next[i] -= pole * product[i];
        }
        product = next;
    }
    std::vector<double> real;
    for (const Complex& c : product)
        real.push_back(c.real());
    return real;
}

// Where the maximum is: AtFrequency with its ω, or the other two places.
struct ExpectedMaximum {
    double gain;
    MaximumPlace place;
    double omega;
};

struct ClosedForm {
    const char* name;
    Polynomial numerator;
    Polynomial denominator;
    double dcGain;
    double highFrequencyGain;
    ExpectedMaximum maximum;
    std::vector<PassBand> bands;
    double q;
    double delay;
    double tolerance;
};

std::vector<ClosedForm> closedForms() {
    std::vector<ClosedForm> rows;
    // Butterworth of order n: |H|² = 1/(1 + (ω/ωc)^2n), so -3 dB at ωc whatever n, and a
    // delay at s = 0 of Σ 1/|Re p| = 1/(ωc·sin(π/2n)).
    const double omegaC = 2.0 * Pi * 1e4;
    for (int n = 1; n <= 7; ++n) {
        const std::vector<double> d = butterworthDenominator(n, omegaC);
        rows.push_back({"butterworth", polynomial({d[0]}), polynomial(d), 1.0, 0.0,
                        {1.0, MaximumPlace::AtFrequency, 0.0},
                        {{0.0, omegaC}}, 0.0, 1.0 / (omegaC * std::sin(Pi / (2.0 * n))),
                        1e-11});
    }
    // Band-pass of the second order: peak 1 at ω0, edges ω0(√(1 + 1/4Q²) ∓ 1/2Q).
    {
        const double w0 = 2.0 * Pi * 1000.0;
        const double q = 5.0;
        const double half = 1.0 / (2.0 * q);
        const double root = std::sqrt(1.0 + half * half);
        rows.push_back({"band-pass", polynomial({0.0, w0 / q}), polynomial({w0 * w0, w0 / q, 1.0}),
                        0.0, 0.0, {1.0, MaximumPlace::AtFrequency, w0},
                        {{w0 * (root - half), w0 * (root + half)}}, q, 1.0 / (q * w0), 1e-11});
        // The notch with the same poles: the complement of the band-pass's band.
        rows.push_back({"notch", polynomial({w0 * w0, 0.0, 1.0}),
                        polynomial({w0 * w0, w0 / q, 1.0}), 1.0, 1.0,
                        {1.0, MaximumPlace::AtFrequency, 0.0},
                        {{0.0, w0 * (root - half)}, {w0 * (root + half), Inf}}, 0.0,
                        1.0 / (q * w0), 1e-11});
    }
    // Low-pass with Q = 2: peak Q/√(1 − 1/4Q²) at ω0·√(1 − 1/2Q²), so high above the
    // gain at s = 0 that the band is the peak's, between the roots of
    // (1 − u)² + u/Q² = 2/peak², u = (ω/ω0)².
    {
        const double w0 = 1e6;
        const double q = 2.0;
        const double peak = q / std::sqrt(1.0 - 1.0 / (4.0 * q * q));
        const double at = w0 * std::sqrt(1.0 - 1.0 / (2.0 * q * q));
        const double b = 1.0 / (q * q) - 2.0;
        const double c = 1.0 - 2.0 / (peak * peak);
        const double lower = w0 * std::sqrt((-b - std::sqrt(b * b - 4.0 * c)) / 2.0);
        const double upper = w0 * std::sqrt((-b + std::sqrt(b * b - 4.0 * c)) / 2.0);
        rows.push_back({"peaked low-pass", polynomial({w0 * w0}),
                        polynomial({w0 * w0, w0 / q, 1.0}), 1.0, 0.0,
                        {peak, MaximumPlace::AtFrequency, at}, {{lower, upper}},
                        at / (upper - lower), 1.0 / (q * w0), 1e-10});
    }
    // Bessel of the third order scaled to a delay of 1 ms: the tables give its -3 dB
    // frequency as 1.75567 times 1/delay.
    {
        const double w0 = 1000.0;
        rows.push_back({"bessel", polynomial({15.0 * w0 * w0 * w0}),
                        polynomial({15.0 * w0 * w0 * w0, 15.0 * w0 * w0, 6.0 * w0, 1.0}), 1.0,
                        0.0, {1.0, MaximumPlace::AtFrequency, 0.0}, {{0.0, 1.75567 * w0}}, 0.0,
                        1.0 / w0, 1e-5});
    }
    // A double real pole, 1/(s + 1)²: 1/(1 + x)² = 1/2 at x = √2 − 1.
    rows.push_back({"double pole", polynomial({1.0}), polynomial({1.0, 2.0, 1.0}), 1.0, 0.0,
                    {1.0, MaximumPlace::AtFrequency, 0.0},
                    {{0.0, std::sqrt(std::sqrt(2.0) - 1.0)}}, 0.0, 2.0, 1e-12});
    // Five equal sections, 1/(s² + s + 1)^5: |H|² = 1/(1 − x + x²)^5, largest at x = 1/2,
    // half of that where 1 − x + x² = (3/4)·2^(1/5).
    {
        std::vector<double> d{1.0};
        for (int i = 0; i < 5; ++i) {
            std::vector<double> next(d.size() + 2, 0.0);
            for (std::size_t j = 0; j < d.size(); ++j) {
                next[j] += d[j];
                next[j + 1] += d[j];
                next[j + 2] += d[j];
            }
            d = next;
        }
        const double c = 1.0 - 0.75 * std::pow(2.0, 0.2);
        const double lower = std::sqrt((1.0 - std::sqrt(1.0 - 4.0 * c)) / 2.0);
        const double upper = std::sqrt((1.0 + std::sqrt(1.0 - 4.0 * c)) / 2.0);
        const double at = std::sqrt(0.5);
        rows.push_back({"five equal sections", polynomial({1.0}), polynomial(d), 1.0, 0.0,
                        {std::pow(4.0 / 3.0, 2.5), MaximumPlace::AtFrequency, at},
                        {{lower, upper}}, at / (upper - lower), 5.0, 1e-10});
    }
    // RC high-pass, 1 kΩ and 100 nF, read as an inverting output: the sign stays in the
    // gains, not in the band.
    rows.push_back({"inverting high-pass", polynomial({0.0, 1.0}, -1.0),
                    polynomial({1e4, 1.0}), 0.0, -1.0, {1.0, MaximumPlace::HighFrequency, Inf},
                    {{1e4, Inf}}, 0.0, 1e-4, 1e-12});
    // A divider and an all-pass: flat gains.
    rows.push_back({"divider", polynomial({3.0}, -0.5), polynomial({1.0, 0.0}), -1.5, -1.5,
                    {1.5, MaximumPlace::Everywhere, 0.0}, {{0.0, Inf}}, 0.0, 0.0, 1e-15});
    rows.push_back({"all-pass", polynomial({-2.0, 1.0}), polynomial({2.0, 1.0}), -1.0, 1.0,
                    {1.0, MaximumPlace::Everywhere, 0.0}, {{0.0, Inf}}, 0.0, 1.0, 1e-15});
    return rows;
}

void expectNear(double expected, double actual, double tolerance, const std::string& what) {
    if (std::isinf(expected)) {
        EXPECT_EQ(expected, actual) << what;
        return;
    }
    EXPECT_NEAR(expected, actual, tolerance * std::max(1.0, std::fabs(expected))) << what;
}

TEST(MeasurementsTest, ClosedForms) {
    for (const ClosedForm& row : closedForms()) {
        const std::string name = std::string(row.name) + " of degree " +
                                 std::to_string(row.denominator.degree);
        const FrequencyMeasures m = measureFrequencyResponse(row.numerator, row.denominator);
        ASSERT_EQ(m.status, MeasuresStatus::Measured) << name;
        EXPECT_FALSE(m.dcGain.infinite || m.highFrequencyGain.infinite || m.maximumGain.infinite)
            << name;
        expectNear(row.dcGain, m.dcGain.value, row.tolerance, name + ": gain at s = 0");
        expectNear(row.highFrequencyGain, m.highFrequencyGain.value, row.tolerance,
                   name + ": gain at high frequency");
        expectNear(row.maximum.gain, m.maximumGain.value, row.tolerance, name + ": maximum");
        EXPECT_EQ(row.maximum.place, m.maximumPlace) << name;
        // A maximum at the top of a resonance is flat: its ω is known to √ε only.
        expectNear(row.maximum.omega, m.maximumOmega, std::max(row.tolerance, 1e-7),
                   name + ": ω of the maximum");
        ASSERT_EQ(row.bands.size(), m.bands.size()) << name;
        for (std::size_t i = 0; i < row.bands.size(); ++i) {
            expectNear(row.bands[i].lower, m.bands[i].lower, row.tolerance, name + ": lower edge");
            expectNear(row.bands[i].upper, m.bands[i].upper, row.tolerance, name + ": upper edge");
        }
        expectNear(row.q, qualityFactor(m), std::max(row.tolerance, 1e-7), name + ": Q");
        expectNear(row.delay, m.dcGroupDelay, row.tolerance, name + ": delay");
    }
}

// Where the gain is unbounded or there is nothing to measure.
TEST(MeasurementsTest, InfiniteAndDegenerateFunctions) {
    // 1/(RC·s): infinite at s = 0, no band.
    FrequencyMeasures m = measureFrequencyResponse(polynomial({1e3}), polynomial({0.0, 1.0}));
    EXPECT_TRUE(m.dcGain.infinite);
    EXPECT_TRUE(m.highFrequencyGain.isZero());
    EXPECT_TRUE(m.maximumGain.infinite);
    EXPECT_EQ(m.maximumOmega, 0.0);
    EXPECT_TRUE(m.bands.empty());

    // A lossless LC: a pole on the axis at ω0 = 3000 rad/s.
    m = measureFrequencyResponse(polynomial({9e6}), polynomial({9e6, 0.0, 1.0}));
    EXPECT_TRUE(m.maximumGain.infinite);
    EXPECT_NEAR(m.maximumOmega, 3000.0, 1e-9);
    // The same pole cancelled by a zero: a flat gain of 1.
    m = measureFrequencyResponse(polynomial({9e6, 0.0, 1.0}), polynomial({9e6, 0.0, 1.0}));
    EXPECT_FALSE(m.maximumGain.infinite);
    EXPECT_EQ(m.maximumPlace, MaximumPlace::Everywhere);

    // Improper: s + 1.
    m = measureFrequencyResponse(polynomial({1.0, 1.0}), polynomial({1.0}));
    EXPECT_TRUE(m.highFrequencyGain.infinite);
    EXPECT_EQ(m.maximumPlace, MaximumPlace::HighFrequency);

    // A factor s common to both changes nothing: s/(s² + s) = 1/(s + 1).
    m = measureFrequencyResponse(polynomial({0.0, 1.0}), polynomial({0.0, 1.0, 1.0}));
    EXPECT_EQ(m.dcGain.value, 1.0);
    ASSERT_EQ(m.bands.size(), 1u);
    EXPECT_NEAR(m.bands[0].upper, 1.0, 1e-15);

    EXPECT_EQ(measureFrequencyResponse(polynomial({0.0, 0.0}), polynomial({1.0, 1.0})).status,
              MeasuresStatus::ZeroFunction);
    EXPECT_EQ(measureFrequencyResponse(polynomial({1.0}), polynomial({0.0})).status,
              MeasuresStatus::NotComputable);
    EXPECT_EQ(measureFrequencyResponse(polynomial({1.0}), polynomial({1.0, Inf})).status,
              MeasuresStatus::NotComputable);
    // A gain beyond the range of a double is not listed as "inf".
    EXPECT_EQ(measureFrequencyResponse(polynomial({1e300}, 1e300), polynomial({1.0, 1.0})).status,
              MeasuresStatus::NotComputable);
}

NetworkFunctions rcLowPass(bool stepDriven) {
    NetworkFunctions f;
    // 1 kΩ and 1 µF: ωc = 1000 rad/s.
    f.denominator = stepDriven ? polynomial({0.0, 1e3, 1.0}) : polynomial({1e3, 1.0});
    f.denominatorRaised = stepDriven;
    f.numerator[1] = polynomial({1.0}, 1e3);
    f.numerator[2] = polynomial({0.0});
    return f;
}

Lines listing(const NetworkFunctions& functions, int k) {
    Lines lines;
    AnalysisLog log([&](std::string_view line) { lines.emplace_back(line); });
    listMeasures(log, functions, k);
    return lines;
}

TEST(MeasurementsTest, ListingLines) {
    const Lines expected{"Medidas:",
                         "Ganho em s = 0: 1 (0 dB)",
                         "Ganho em alta frequência: 0 (zero)",
                         "Ganho máximo: 1 (0 dB) em ω = 0",
                         "Banda de -3 dB: de 0 a 1000 rad/s (0 a 159.155 Hz)",
                         "Atraso de grupo em s = 0: 0.001 s"};
    EXPECT_EQ(listing(rcLowPass(false), 1), expected);

    // The step's s is the excitation's: the network's own function is measured.
    Lines step = expected;
    step[0] = "Medidas (com D(s)/s: o polo em 0 vem do degrau):";
    EXPECT_EQ(listing(rcLowPass(true), 1), step);

    EXPECT_EQ(listing(rcLowPass(false), 2), Lines{"Medidas: nenhuma (função nula)"});

    NetworkFunctions bandPass;
    bandPass.denominator = polynomial({1e6, 100.0, 1.0});
    bandPass.numerator[1] = polynomial({0.0, -100.0}, 0.5);
    EXPECT_EQ(listing(bandPass, 1),
              (Lines{"Medidas:", "Ganho em s = 0: 0 (zero)", "Ganho em alta frequência: 0 (zero)",
                     "Ganho máximo: 0.5 (-6.0206 dB) em ω = 1000 rad/s (159.155 Hz)",
                     "Banda de -3 dB: de 951.249 a 1051.25 rad/s (151.396 a 167.312 Hz)",
                     "Largura de banda: 100 rad/s (15.9155 Hz), Q = 10",
                     "Atraso de grupo em s = 0: 0.0001 s"}));

    NetworkFunctions integrator;
    integrator.denominator = polynomial({0.0, 1.0});
    integrator.numerator[1] = polynomial({-1.0}, 1e3);
    EXPECT_EQ(listing(integrator, 1),
              (Lines{"Medidas:", "Ganho em s = 0: infinito",
                     "Ganho em alta frequência: 0 (zero)", "Ganho máximo: infinito em ω = 0",
                     "Banda de -3 dB: não se aplica (ganho máximo infinito)",
                     "Atraso de grupo em s = 0: 0 s"}));
}

}  // namespace
}  // namespace corvane
