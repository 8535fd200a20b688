// The symbolic polynomials written out, grouped by descending powers of s: for people
// ("s^2·(C1·C2·R1·R2) + s·(C2·R1 + C2·R2) + 1"), for SymPy's sympify
// ("s**2*(C1*C2*R1*R2) + ...") and for LaTeX.
#pragma once

#include <string>
#include <vector>

#include "exact_polynomial.h"
#include "symbolic_system.h"

namespace corvane::symbolic {

enum class Notation {
    Text,
    SymPy,
    LaTeX,
};

/// `p` written in `notation`; variable i + 1 is symbols[i], variable 0 is s.
std::string formatPolynomial(const ExactPolynomial& p, const std::vector<Symbol>& symbols,
                             Notation notation);

/// A symbol's name as SymPy reads it: the bare name, or Symbol('name') for names that
/// sympify would take for one of its own objects (E, I, E1, Li, ...) or that are not
/// identifiers.
std::string sympyName(const std::string& name);

}  // namespace corvane::symbolic
