#include "exact_rounding.h"

#include <cmath>
#include <limits>

namespace corvane::exact {

double nearestDouble(const Fraction& value) {
    const fmpz* numerator = fmpq_numref(value.get());
    const fmpz* denominator = fmpq_denref(value.get());
    if (fmpz_is_zero(numerator)) return 0.0;
    // q = ⌊|num| · 2^shift / den⌋ with 55 or 56 bits; a non-zero remainder sets the lowest
    // bit, so that converting q to a double (53 bits, to nearest) rounds as the exact
    // quotient would: a tie in q is a tie of the fraction.
    const long shift = 55 - (static_cast<long>(fmpz_bits(numerator)) -
                             static_cast<long>(fmpz_bits(denominator)));
    symbolic::Integer scaled;
    symbolic::Integer divisor;
    fmpz_abs(scaled.get(), numerator);
    fmpz_set(divisor.get(), denominator);
    if (shift >= 0) {
        fmpz_mul_2exp(scaled.get(), scaled.get(), static_cast<ulong>(shift));
    } else {
        fmpz_mul_2exp(divisor.get(), divisor.get(), static_cast<ulong>(-shift));
    }
    symbolic::Integer quotient;
    symbolic::Integer remainder;
    fmpz_fdiv_qr(quotient.get(), remainder.get(), scaled.get(), divisor.get());
    ulong q = fmpz_get_ui(quotient.get());
    if (!fmpz_is_zero(remainder.get())) q |= 1;
    const double magnitude = std::ldexp(static_cast<double>(q), static_cast<int>(std::clamp<long>(
                                                                    -shift, -100000, 100000)));
    return fmpz_sgn(numerator) < 0 ? -magnitude : magnitude;
}

std::vector<double> nearestCoefficients(const RationalPolynomial& p) {
    if (p.isZero()) return {0.0};
    std::vector<double> out;
    out.reserve(static_cast<std::size_t>(p.degree()) + 1);
    for (long d = 0; d <= p.degree(); ++d)
        out.push_back(nearestDouble(p.coefficient(d)));
    return out;
}

}  // namespace corvane::exact
