// Covers the whole analysis on real circuits: each netlist in tests/data is analysed, and
// the transfer functions in its result files are compared, as rational functions at
// several complex frequencies, with the formula derived by hand for that circuit.
#include <gtest/gtest.h>

#include <complex>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "recording_host.h"
#include "temp_dir.h"
#include "transfer_function.h"

namespace corvane {
namespace {

using test::Complex;

struct Expected {
    const char* variable;
    std::function<Complex(Complex)> response;
};

struct Circuit {
    const char* file;
    std::vector<Expected> expected;
};

// Each circuit is driven by a unit impulse unless said otherwise, so the transform of a
// variable is its transfer function.
std::vector<Circuit> circuits() {
    const Complex one = 1.0;
    return {
        {"rc_lowpass",
         {{"out", [=](Complex s) { return one / (1.0 + s * 2.0 * 0.5); }},
          // The source's current flows from its + terminal through it: minus the current
          // it delivers.
          {"jV1", [=](Complex s) { return -s * 0.5 / (1.0 + s * 2.0 * 0.5); }}}},
        {"rlc_series",
         {{"out", [=](Complex s) { return one / (2.0 * 0.25 * s * s + 1.5 * 0.25 * s + 1.0); }},
          {"jL1",
           [=](Complex s) { return 0.25 * s / (2.0 * 0.25 * s * s + 1.5 * 0.25 * s + 1.0); }}}},
        {"rlc_parallel",
         {{"1", [=](Complex s) { return one / (1.0 / 4.0 + 0.2 * s + 1.0 / (0.5 * s)); }}}},
        {"sallen_key",
         {{"out",
           [=](Complex s) {
               const double r1 = 1, r2 = 2, c1 = 0.5, c2 = 0.25;
               return one / (r1 * r2 * c1 * c2 * s * s + c2 * (r1 + r2) * s + 1.0);
           }}}},
        {"butterworth5",
         {{"out",
           [=](Complex s) {
               // Doubly terminated: half the source at dc, over the Butterworth polynomial.
               const double b[] = {1.0,
                                   3.2360679774997898,
                                   5.2360679774997898,
                                   5.2360679774997898,
                                   3.2360679774997898,
                                   1.0};
               Complex d = 0.0;
               for (int i = 5; i >= 0; --i)
                   d = d * s + b[i];
               return 0.5 / d;
           }}}},
        {"transformer",
         {{"s",
           [=](Complex s) {
               const double l1 = 1, l2 = 4, m = 0.9 * 2.0, r1 = 1, r2 = 3;
               return s * m * r2 / ((r2 + s * l2) * (r1 + s * l1) - s * s * m * m);
           }}}},
        {"gyrator",
         {{"1",
           [=](Complex s) {
               // R in parallel with the simulated inductor C/g².
               return one / (1.0 / 2.0 + 0.25 / (3.0 * s));
           }}}},
        {"vcvs", {{"out", [=](Complex s) { return 10.0 / (1.0 + s * 0.5); }}}},
        {"cccs", {{"out", [=](Complex s) { return -3.0 * 5.0 / (2.0 * (1.0 + s * 5.0 * 0.1)); }}}},
        {"ccvs", {{"out", [=](Complex s) { return 4.0 * s * 0.5 / (1.0 + s * 2.0 * 0.5); }}}},
        {"initial_conditions",
         {// A charged capacitor discharging into R: V0·RC / (1 + sRC).
          {"1", [=](Complex s) { return 3.0 * 2.0 * 0.5 / (1.0 + s * 2.0 * 0.5); }},
          // The inductor's initial current returns through R: −I0·R·L / (sL + R).
          {"2", [=](Complex s) { return -1.5 * 4.0 * 0.25 / (s * 0.25 + 4.0); }}}},
    };
}

const Complex Frequencies[] = {{0.3, 0.7}, {0.0, 1.5}, {2.0, 0.0}, {-0.2, 3.1}, {0.05, -0.4}};

int variableNumber(const RunState& run, const char* name) {
    for (int k = 1; k <= run.variableCount; ++k) {
        if (std::strcmp(run.variableName(k), name) == 0) return k;
    }
    return 0;
}

class PhysicsTest : public ::testing::TestWithParam<Circuit> {};

TEST_P(PhysicsTest, ResultFilesHoldTheCircuitsTransferFunctions) {
    for (const bool normalize : {true, false}) {
        SCOPED_TRACE(normalize ? "normalised" : "raw determinants");
        test::TempDir dir;
        const std::string name = GetParam().file;
        std::filesystem::copy_file(std::string(CORVANE_TEST_DATA_DIR) + "/" + name + ".net",
                                   dir.file(name + ".net"));
        test::AnalysisFixture fixture;
        fixture.host.normalization = normalize;
        fixture.run(dir.file(name + ".net"));
        ASSERT_EQ(fixture.outcome, RunOutcome::Succeeded) << fixture.lines.back();

        const RunState& run = fixture.analysis.runState();
        for (const Expected& expected : GetParam().expected) {
            const int k = variableNumber(run, expected.variable);
            ASSERT_GT(k, 0) << expected.variable;
            for (const Complex s : Frequencies) {
                const Complex want = expected.response(s);
                const Complex got = test::transferFunction(run.baseName, k, s);
                EXPECT_NEAR(std::abs(got - want), 0.0, 1e-9 * std::abs(want))
                    << expected.variable << " at s = " << s << ": " << got << " != " << want;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Circuits, PhysicsTest, ::testing::ValuesIn(circuits()),
                         [](const auto& info) { return std::string(info.param.file); });

}  // namespace
}  // namespace corvane
