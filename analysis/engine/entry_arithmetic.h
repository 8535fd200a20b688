// The arithmetic of the expansions on system entries (s0 + s1·s) and polynomials, written
// once so that the plain and the memoised expansions form the same bits.
#pragma once

#include <array>

#include "mna.h"
#include "polynomial.h"

namespace corvane {

/// out = e as a polynomial: s0 + s1·s, of the entry's own degree (the base case of the
/// expansion, never counted).
void copyEntry(const MnaEntry& e, Polynomial& out);

/// out = e × p.
void multiplyEntry(const MnaEntry& e, const Polynomial& p, Polynomial& out);

/// acc = acc + sign × p; the result's degree is the larger of the two, untrimmed.
void addScaled(int sign, const Polynomial& p, Polynomial& acc);

/// acc = acc + sign × (e × p): addScaled of multiplyEntry's product, in one pass, with the
/// same operations in the same order, so the same bits.
void addProduct(int sign, const MnaEntry& e, const Polynomial& p, Polynomial& acc);
/// The same, for a polynomial given by its coefficients 0..degree.
void addProduct(int sign, const MnaEntry& e, const double* coef, int degree, Polynomial& acc);

/// Lists of matrix rows or columns, used from index 1.
using IndexList = std::array<int, SystemColumns>;

}  // namespace corvane
