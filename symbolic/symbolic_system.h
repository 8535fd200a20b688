// The modified nodal analysis system with element symbols: the same stamps, signs and
// excitation handling as the numeric system, each entry a polynomial in s whose
// coefficients are polynomials in the symbols. Elements left out of the symbols enter with
// their numeric values as exact fractions.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "exact_polynomial.h"
#include "run_state.h"
#include "symbol_list.h"

namespace corvane::symbolic {

/// One symbol of the analysis; symbol i is variable i + 1 of the ring (0 is s).
struct Symbol {
    /// Its name in the listing and in SymPy: the element's name, M_<K> for the mutual
    /// inductance of a coupling, V0_<C> and I0_<L> for initial conditions.
    std::string name;
    std::string latex;
    /// The numeric value it stands for (resistors: the resistance).
    double value = 0.0;
    /// Resistors are written in resistances; inside the system the variable is the
    /// conductance, until the results are rewritten.
    bool resistance = false;
    /// "M_K1 = K1·√(L1·L2)" and the like, for symbols that need saying what they are.
    std::string definition;
};

/// Which elements stay symbolic: every element when `names` is empty, otherwise those
/// named (an element's name also keeps its mutual inductance or initial condition
/// symbolic; these can also be named by their own symbol names).
struct SymbolSelection {
    std::vector<std::string> names;
};

struct SymbolicSystem {
    /// Holds the variables; declared first so that it outlives every polynomial.
    std::unique_ptr<PolynomialRing> ring;
    std::vector<Symbol> symbols;
    /// Names of the selection that no element or symbol has.
    std::vector<std::string> unknownNames;
    int n = 0;
    /// entries[r][c] for rows 1..n and columns 1..n+1 (n+1: the excitation, stored
    /// multiplied by s as in the numeric system). Each row has been multiplied by the
    /// least common multiple of its denominators: every determinant gains the same
    /// factor, so every ratio of them stays the same.
    std::vector<std::vector<ExactPolynomial>> entries;
    /// rowScale[r]: the multiple row r was taken by (1..n). A current injected into row r
    /// enters the stored system as that multiple of itself.
    std::vector<Integer> rowScale;

    const ExactPolynomial& at(int row, int column) const { return entries[row][column]; }
};

/// Assembles the system of the circuit read into `run`.
SymbolicSystem assembleSymbolicSystem(const RunState& run, const SymbolSelection& selection);

/// Sorts names as people do: digit runs by their numbers (R2 before R10).
bool naturalLess(const std::string& a, const std::string& b);

}  // namespace corvane::symbolic
