// The plain recursive cofactor expansion: the reference the memoised engine must match
// bit for bit, and its count of products.
#pragma once

#include "entry_arithmetic.h"
#include "expansion_counts.h"
#include "expansion_watch.h"
#include "mna.h"
#include "polynomial.h"

namespace corvane {

/// The plain recursive expansion along the first column of the list, with its two
/// prunings: a zero entry skips its whole subtree, a zero minor skips its product.
class PlainExpansion {
public:
    explicit PlainExpansion(const SystemMatrix& matrix) : matrix_(matrix) {}

    /// result = the determinant of the m × m matrix whose element (i, j) is the system
    /// entry in row rows[i] and column columns[j]; zero for m = 0. Adds the products it
    /// performs to multiplicationCount.
    void expandDeterminant(int m, Polynomial& result, const IndexList& columns,
                           const IndexList& rows);

    ProductCount multiplicationCount = 0;

    /// Looked at on the way down the recursion; nothing when null.
    void setWatch(ExpansionWatch* watch) { watch_ = watch; }

private:
    const SystemMatrix& matrix_;
    ExpansionWatch* watch_ = nullptr;
};

/// E(n) = n·(E(n−1) + 1), E(1) = 0: the products of the plain expansion of a matrix
/// without zero entries, in extended precision.
long double expectedMultiplications(int n);

}  // namespace corvane
