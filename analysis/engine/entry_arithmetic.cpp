#include "entry_arithmetic.h"

#include <algorithm>

namespace corvane {

void copyEntry(const MnaEntry& e, Polynomial& out) {
    out.coef[0] = e.s0;
    out.coef[1] = e.s1;
    out.degree = e.degree;
}

void multiplyEntry(const MnaEntry& e, const Polynomial& p, Polynomial& out) {
    // The products are summed into zeroed coefficients, s0 terms first, then s1 terms:
    // written out here for the two degrees an entry can have, with the same operations in
    // the same order (0.0 + x is kept: it turns a product of -0.0 into +0.0).
    const int n = p.degree;
    out.degree = e.degree + n;
    for (int j = 0; j <= n; ++j)
        out.coef[j] = 0.0 + e.s0 * p.coef[j];
    if (e.degree == 0) return;
    out.coef[n + 1] = 0.0 + e.s1 * p.coef[n];
    for (int j = 0; j < n; ++j)
        out.coef[j + 1] += e.s1 * p.coef[j];
}

void addScaled(int sign, const Polynomial& p, Polynomial& acc) {
    if (acc.degree < p.degree) {
        for (int i = acc.degree + 1; i <= p.degree; ++i)
            acc.coef[i] = sign * p.coef[i];
        for (int i = 0; i <= acc.degree; ++i)
            acc.coef[i] += sign * p.coef[i];
        acc.degree = p.degree;
    } else {
        for (int i = 0; i <= p.degree; ++i)
            acc.coef[i] += sign * p.coef[i];
    }
}

void addProduct(int sign, const MnaEntry& e, const Polynomial& p, Polynomial& acc) {
    addProduct(sign, e, p.coef.data(), p.degree, acc);
}

}  // namespace corvane
