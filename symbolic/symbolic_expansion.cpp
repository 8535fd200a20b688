#include "symbolic_expansion.h"

namespace corvane::symbolic {

TermLimitExceeded largestCoefficient(const ExactPolynomial& p) {
    TermLimitExceeded largest;
    const long length = p.length();
    long i = 0;
    // The ring's order keeps the terms of one power of s together.
    while (i < length) {
        const ulong power = p.termExponent(i, 0);
        long end = i + 1;
        while (end < length && p.termExponent(end, 0) == power) ++end;
        if (end - i > largest.terms) largest = {static_cast<long>(power), end - i};
        i = end;
    }
    return largest;
}

SymbolicExpansion::SymbolicExpansion(const SymbolicSystem& system, long termLimit)
    : system_(system), termLimit_(termLimit), one_(*system.ring, 1) {}

ExactPolynomial SymbolicExpansion::determinant(int replacedPosition) {
    replacedPosition_ = replacedPosition;
    if (system_.n == 0) return ExactPolynomial(*system_.ring);
    Mask all = 0;
    for (int r = 1; r <= system_.n; ++r)
        all |= Mask{1} << r;
    return minor(0, all);
}

void SymbolicExpansion::checkTerms(const ExactPolynomial& p) {
    if (p.length() <= termLimit_) return;
    const TermLimitExceeded largest = largestCoefficient(p);
    if (largest.terms > termLimit_) throw largest;
}

// The determinant of rows `rows` and positions depth+1..n of the column list.
const ExactPolynomial& SymbolicExpansion::minor(int depth, Mask rows) {
    const int n = system_.n;
    if (depth == n) return one_;
    // Below the replaced position the list is the identity's, shared by every determinant.
    const std::uint64_t list = replacedPosition_ > depth ? replacedPosition_ : 0;
    const std::uint64_t key = (std::uint64_t{rows} >> 1) | (list << 32);
    if (const auto found = memo_.find(key); found != memo_.end()) return found->second;

    const int column = depth + 1 == replacedPosition_ ? n + 1 : depth + 1;
    ExactPolynomial result(*system_.ring);
    int sign = 1;
    for (int row = 1; row <= n; ++row) {
        if ((rows & (Mask{1} << row)) == 0) continue;
        const ExactPolynomial& entry = system_.at(row, column);
        if (!entry.isZero()) {
            const ExactPolynomial& child = minor(depth + 1, rows & ~(Mask{1} << row));
            if (!child.isZero()) result.addProduct(sign, entry, child);
        }
        sign = -sign;
    }
    checkTerms(result);
    storedTerms_ += result.length();
    if (storedTerms_ > StoredTermsPerLimit * termLimit_) throw TermLimitExceeded{-1, storedTerms_};
    return memo_.emplace(key, std::move(result)).first->second;
}

}  // namespace corvane::symbolic
