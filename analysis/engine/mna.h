// The modified nodal analysis system of a circuit in the Laplace domain. Every entry is a
// polynomial of at most first degree in s; the right-hand side (the excitation) is one
// more column of the same matrix, stored multiplied by s.
#pragma once

#include <array>

#include "analysis_log.h"
#include "run_state.h"

namespace corvane {

/// One entry s0 + s1·s. `degree` is 1 when s1 ≠ 0; it is set by the final pass of the
/// assembly, not while stamping.
struct MnaEntry {
    double s0 = 0.0;
    double s1 = 0.0;
    int degree = 0;
};

/// An entry that makes no term: both coefficients zero.
inline bool isZero(const MnaEntry& e) {
    return e.s0 == 0.0 && e.s1 == 0.0;
}

inline constexpr int SystemRows = MaxVariables + 1;
inline constexpr int SystemColumns = MaxVariables + 2;

/// Row r and column c (1..n) belong to variable r and c; row and column 0 to ground
/// (written by the stamps, never read); column n+1 is the excitation.
struct SystemMatrix {
    std::array<std::array<MnaEntry, SystemColumns>, SystemRows> entries{};

    MnaEntry& at(int row, int column) { return entries[row][column]; }
    const MnaEntry& at(int row, int column) const { return entries[row][column]; }
};

/// Logs "Sistema após a estampa de <name>" and one line per row of the n × (n+1) system.
void listSystem(const SystemMatrix& m, int n, AnalysisLog& log, const char* name);

/// Builds the system of the circuit in `run`: "Calculando...", every element's stamp in
/// netlist order (listing the system after each one with `listStamps`), then
/// the degrees. A stamp that divides by zero or overflows throws FloatingPointFault.
void assembleSystem(const RunState& run, SystemMatrix& m, AnalysisLog& log, bool listStamps);

}  // namespace corvane
