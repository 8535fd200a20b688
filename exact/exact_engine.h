// The network functions of a large circuit, exact: the determinant of its modified nodal
// system and every Cramer numerator as polynomials in s with rational coefficients.
//
// s is scaled by a power of ten and the rows to integers, then the integer functions are
// found modulo as many 61-bit primes as a bound on their coefficients asks for: at each
// prime, by sparse elimination at enough points (a coset of roots of unity, or any points)
// and interpolation; across the primes, by the Chinese remainder theorem. A last prime and
// point, not used before, checks the result. bench/README.md says why each step is so.
#pragma once

#include <flint/fmpq_poly.h>

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "exact_system.h"

namespace corvane::exact {

/// A polynomial in s with rational coefficients.
class RationalPolynomial {
public:
    RationalPolynomial() { fmpq_poly_init(poly_); }
    RationalPolynomial(const RationalPolynomial& other);
    RationalPolynomial(RationalPolynomial&& other) noexcept;
    RationalPolynomial& operator=(const RationalPolynomial& other);
    RationalPolynomial& operator=(RationalPolynomial&& other) noexcept;
    ~RationalPolynomial() { fmpq_poly_clear(poly_); }

    /// −1 for the zero polynomial.
    long degree() const { return fmpq_poly_degree(poly_); }
    bool isZero() const { return fmpq_poly_is_zero(poly_) != 0; }
    Fraction coefficient(long power) const;
    bool operator==(const RationalPolynomial& other) const {
        return fmpq_poly_equal(poly_, other.poly_) != 0;
    }

    fmpq_poly_struct* get() { return poly_; }
    const fmpq_poly_struct* get() const { return poly_; }

private:
    fmpq_poly_t poly_;
};

/// How the functions were found, for the benchmarks and the details of a run.
struct ExactWork {
    int primes = 0;
    std::size_t pointsPerPrime = 0;
    bool rootsOfUnity = false;
    std::size_t productsPerPoint = 0;
    std::size_t filledEntries = 0;
    /// The power of ten s was scaled by (s = 10^k · t) to balance the entries.
    int frequencyExponent = 0;
};

struct ExactFunctions {
    RationalPolynomial denominator;
    /// Indexed by variable 1..n; entry 0 (ground) stays zero.
    std::vector<RationalPolynomial> numerators;
    ExactWork work;
};

/// What the computation will take, known before it starts.
struct ExactForecast {
    int unknowns = 0;
    /// The degree no function can pass: the rows (or columns) that hold s.
    int degreeBound = 0;
    /// The bits no integer coefficient can pass, and the primes that cover them.
    long coefficientBits = 0;
    int primes = 0;
    /// The memory the results and the work space take, at most.
    std::size_t bytes = 0;
};

struct ExactOptions {
    /// The memory the computation may take; past it, ExactLimitReached before any work.
    std::size_t memoryLimitBytes = std::size_t{2} << 30;
    /// Called often with the fraction done (0..1); false stops the computation with
    /// ExactCancelled.
    std::function<bool(double)> keepGoing;
    /// A function of a higher degree stops the computation with ExactDegreeReached as soon
    /// as the first prime shows it (a residue that is not zero is a coefficient that is
    /// not); negative for no limit.
    long degreeLimit = -1;
};

/// The computation was asked to stop.
class ExactCancelled : public std::runtime_error {
public:
    ExactCancelled() : std::runtime_error("cancelado") {}
};

/// The computation would take more memory than allowed; `what()` says how much, in
/// Portuguese.
class ExactLimitReached : public std::runtime_error {
public:
    ExactLimitReached(const ExactForecast& forecast, std::size_t limitBytes);
    ExactForecast forecast;
    std::size_t limitBytes;
};

/// Function `function` (0: the denominator, k: the numerator of variable k) has at least
/// degree `degree`, past ExactOptions::degreeLimit.
class ExactDegreeReached : public std::runtime_error {
public:
    ExactDegreeReached(int function, long degree)
        : std::runtime_error("grau acima do limite"), function(function), degree(degree) {}
    int function;
    long degree;
};

ExactForecast forecastExactFunctions(const ExactSystem& system);

/// The determinant and the numerators of `system`. Throws ExactLimitReached, ExactCancelled,
/// std::bad_alloc (FLINT's failed allocations included) and, should the final check ever
/// fail, std::logic_error.
ExactFunctions computeExactFunctions(const ExactSystem& system, const ExactOptions& options = {});

}  // namespace corvane::exact
