// Covers the agreement of the numeric and the symbolic systems, which both read the table
// of element kinds: for one small circuit per kind, with values chosen so that every entry
// is an integer, the symbolic system with no element left symbolic holds exactly the
// numeric entries s0 + s1·s, excitation column included.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "mna.h"
#include "netlist_reader.h"
#include "symbolic_system.h"
#include "temp_dir.h"

namespace corvane::symbolic {
namespace {

struct KindCircuit {
    const char* name;
    const char* netlist;
};

class StampAgreementTest : public ::testing::TestWithParam<KindCircuit> {};

TEST_P(StampAgreementTest, SymbolicEntriesAreTheNumericOnes) {
    test::TempDir dir;
    RunState run;
    AnalysisLog log;
    ASSERT_TRUE(readNetlist(run, log, dir.write("circuito.net", GetParam().netlist)));
    SystemMatrix numeric;
    assembleSystem(run, numeric, log, false);
    // A name that matches nothing: every element enters with its value.
    const SymbolicSystem system = assembleSymbolicSystem(run, SymbolSelection{{"nenhum"}});
    ASSERT_EQ(system.ring->variableCount(), 1);
    const int n = run.variableCount;
    for (int row = 1; row <= n; ++row) {
        for (int column = 1; column <= n + 1; ++column) {
            const MnaEntry& entry = numeric.at(row, column);
            ASSERT_EQ(entry.s0, std::round(entry.s0)) << row << "," << column;
            ASSERT_EQ(entry.s1, std::round(entry.s1)) << row << "," << column;
            ExactPolynomial expected(*system.ring, static_cast<long>(entry.s0));
            expected += ExactPolynomial::variable(*system.ring, 0) *
                        ExactPolynomial(*system.ring, static_cast<long>(entry.s1));
            EXPECT_TRUE(system.at(row, column) == expected)
                << GetParam().name << ": entry " << row << "," << column;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    OneCircuitPerKind, StampAgreementTest,
    ::testing::Values(
        KindCircuit{"resistor", "t\nR1 1 2 0.5\nR2 2 0 0.25\nI1 0 1 3 IMPULSO\n"},
        KindCircuit{"charged_capacitor", "t\nC1 1 2 3 IC=2\nR1 2 0 1\nR2 1 0 1\n"},
        KindCircuit{"inductor_with_current", "t\nL1 1 0 5 IC=3\nR1 1 0 1\n"},
        KindCircuit{"coupled_inductors",
                    "t\nL1 1 0 4 IC=1\nL2 2 0 9 IC=2\nK1 L1 L2 0.5\nR1 2 0 1\n"},
        KindCircuit{"step_voltage", "t\nV1 1 0 3 DEGRAU\nR1 1 0 1\n"},
        KindCircuit{"impulse_current", "t\nI1 0 1 2 IMPULSO\nR1 1 0 1\n"},
        KindCircuit{"transconductance", "t\nV1 1 0 1 DEGRAU\nG1 2 0 1 0 7\nR1 2 0 1\n"},
        KindCircuit{"voltage_amplifier", "t\nV1 1 0 1 IMPULSO\nE1 2 0 1 0 4\nR1 2 0 1\n"},
        KindCircuit{"current_amplifier", "t\nI1 0 1 1 DEGRAU\nF1 2 0 1 0 6\nR1 2 0 1\n"},
        KindCircuit{"transresistance", "t\nI1 0 1 1 DEGRAU\nH1 2 0 1 0 8\nR1 2 0 1\n"},
        KindCircuit{"nullor", "t\nV1 1 0 1 DEGRAU\nR1 1 2 1\nR2 2 3 0.5\nO1 3 0 0 2\n"},
        KindCircuit{"finite_gain_op_amp",
                    "t\nV1 1 0 1 DEGRAU\nR1 1 2 1\nR2 2 3 0.5\nO1 3 0 0 2 A0=5\n"}),
    [](const ::testing::TestParamInfo<KindCircuit>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace corvane::symbolic
