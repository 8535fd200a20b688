// The arithmetic of the expansions on system entries (s0 + s1·s) and polynomials, written
// once so that the plain and the memoised expansions form the same bits.
#pragma once

#include <algorithm>
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

/// The same, for a polynomial given by its coefficients 0..n. (Inlined, in straight loops
/// without a test per coefficient: it is the innermost work of the dense expansions, a
/// few coefficients at a time, where a call and a branch per coefficient cost as much as
/// the arithmetic.)
[[gnu::always_inline]] inline void addProduct(int sign, const MnaEntry& e, const double* coef,
                                              int n, Polynomial& acc) {
    const double factor = sign;
    double* const sum = acc.coef.data();
    const int old = acc.degree;
    // Coefficient j of e × p is formed as multiplyEntry forms it: 0.0 + s0·p[j], plus
    // s1·p[j − 1] for an entry of degree 1; below `old` it is added to the sum, above
    // it the sum starts from it.
    const double s0 = e.s0;
    if (e.degree == 0) {
        const int common = std::min(old, n);
        for (int j = 0; j <= common; ++j)
            sum[j] += factor * (0.0 + s0 * coef[j]);
        for (int j = common + 1; j <= n; ++j)
            sum[j] = factor * (0.0 + s0 * coef[j]);
        acc.degree = std::max(old, n);
        return;
    }
    const double s1 = e.s1;
    sum[0] += factor * (0.0 + s0 * coef[0]);  // old ≥ 0: always below it
    const int common = std::min(old, n);
    for (int j = 1; j <= common; ++j)
        sum[j] += factor * ((0.0 + s0 * coef[j]) + s1 * coef[j - 1]);
    for (int j = std::max(common + 1, 1); j <= n; ++j)
        sum[j] = factor * ((0.0 + s0 * coef[j]) + s1 * coef[j - 1]);
    const double top = factor * (0.0 + s1 * coef[n]);
    if (n + 1 <= old) {
        sum[n + 1] += top;
    } else {
        sum[n + 1] = top;
    }
    acc.degree = std::max(old, n + 1);
}

/// Lists of matrix rows or columns, used from index 1.
using IndexList = std::array<int, SystemColumns>;

}  // namespace corvane
