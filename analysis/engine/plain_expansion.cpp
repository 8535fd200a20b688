#include "plain_expansion.h"

namespace corvane {

void PlainExpansion::expandDeterminant(int m, Polynomial& result, const IndexList& columns,
                                       const IndexList& rows) {
    if (m == 1) {
        copyEntry(matrix_.at(rows[1], columns[1]), result);
        return;
    }
    for (int i = 0; i <= m; ++i)
        result.coef[i] = 0.0;
    result.degree = 0;
    if (m == 0) return;
    if (watch_ && m >= 3) watch_->step();

    IndexList subColumns;
    IndexList subRows;
    Polynomial minor;
    Polynomial product;
    for (int i = 2; i <= m; ++i)
        subColumns[i - 1] = columns[i];
    int sign = 1;
    for (int j = 1; j <= m; ++j, sign = -sign) {
        const MnaEntry& e = matrix_.at(rows[j], columns[1]);
        if (isZero(e)) continue;
        for (int i = 1; i < j; ++i)
            subRows[i] = rows[i];
        for (int i = j + 1; i <= m; ++i)
            subRows[i - 1] = rows[i];
        expandDeterminant(m - 1, minor, subColumns, subRows);
        if (minor.degree > 0 || minor.coef[0] != 0.0) {
            multiplyEntry(e, minor, product);
            ++multiplicationCount;
            addScaled(sign, product, result);
        }
    }
}

long double expectedMultiplications(int n) {
    long double e = 0.0L;
    for (int i = 2; i <= n; ++i)
        e = e * i + i;
    return e;
}

}  // namespace corvane
