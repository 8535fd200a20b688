// Exact arithmetic for the symbolic analysis, on FLINT's multivariate polynomials: small
// value types that own their FLINT objects and clear them on every path.
//
// Variable 0 of every ring is s; variables 1.. are the element symbols. The terms are
// kept in lexicographic order with s first, so the terms of one power of s are adjacent
// and the powers come in descending order.
#pragma once

#include <flint/fmpq.h>
#include <flint/fmpq_mpoly.h>
#include <flint/fmpz.h>
#include <flint/fmpz_mpoly.h>

#include <string>
#include <vector>

namespace corvane::symbolic {

/// Makes FLINT's fatal errors (an allocation that failed, above all) throw
/// std::bad_alloc instead of aborting the process, so that a caller can stop the symbolic
/// analysis with a message and keep what it has. Safe to call any number of times.
void fenceFlintAborts();

/// A whole number of any size.
class Integer {
public:
    Integer() { fmpz_init(value_); }
    Integer(const Integer& other) { fmpz_init_set(value_, other.value_); }
    Integer& operator=(const Integer& other) {
        fmpz_set(value_, other.value_);
        return *this;
    }
    ~Integer() { fmpz_clear(value_); }

    fmpz* get() { return value_; }
    const fmpz* get() const { return value_; }

private:
    fmpz_t value_;
};

/// An exact fraction.
class Fraction {
public:
    Fraction() { fmpq_init(value_); }
    explicit Fraction(long whole);
    Fraction(const Fraction& other);
    Fraction& operator=(const Fraction& other);
    ~Fraction() { fmpq_clear(value_); }

    /// The number written by the shortest decimal text that reads back as `value`: for a
    /// value read from a netlist, the decimal the user wrote (1e-9 is 1/10^9, not the
    /// binary double nearest to it). `value` must be finite.
    static Fraction fromDouble(double value);

    Fraction inverse() const;
    Fraction operator*(const Fraction& other) const;
    Fraction operator-() const;
    bool isZero() const { return fmpq_is_zero(value_) != 0; }

    const fmpq* get() const { return value_; }
    fmpq* get() { return value_; }

private:
    fmpq_t value_;
};

/// The variables of one analysis: s and the symbols. Shared by reference by every
/// polynomial built in it, so it must outlive them.
class PolynomialRing {
public:
    explicit PolynomialRing(int symbolCount);
    ~PolynomialRing() { fmpq_mpoly_ctx_clear(context_); }
    PolynomialRing(const PolynomialRing&) = delete;
    PolynomialRing& operator=(const PolynomialRing&) = delete;

    int variableCount() const { return variables_; }
    const fmpz_mpoly_ctx_struct* integers() const { return context_->zctx; }
    const fmpq_mpoly_ctx_struct* rationals() const { return context_; }

private:
    int variables_;
    fmpq_mpoly_ctx_t context_;
};

/// Exponents of variables 0.. (s first) of one monomial.
using Exponents = std::vector<ulong>;

/// A polynomial with integer coefficients in s and the symbols.
class ExactPolynomial {
public:
    explicit ExactPolynomial(const PolynomialRing& ring);
    ExactPolynomial(const PolynomialRing& ring, long constant);
    ExactPolynomial(const ExactPolynomial& other);
    ExactPolynomial(ExactPolynomial&& other) noexcept;
    ExactPolynomial& operator=(const ExactPolynomial& other);
    ExactPolynomial& operator=(ExactPolynomial&& other) noexcept;
    ~ExactPolynomial() { fmpz_mpoly_clear(poly_, ring_->integers()); }

    /// The variable `index` (0 is s) to the first power.
    static ExactPolynomial variable(const PolynomialRing& ring, int index);

    bool isZero() const { return fmpz_mpoly_is_zero(poly_, ring_->integers()) != 0; }
    bool isOne() const { return fmpz_mpoly_is_one(poly_, ring_->integers()) != 0; }
    long length() const { return fmpz_mpoly_length(poly_, ring_->integers()); }
    /// The memory the polynomial holds: its terms as allocated, and the digits of its
    /// coefficients too large for a machine word.
    std::size_t bytes() const;
    /// The memory of one term of `terms` terms with exponents as wide as this
    /// polynomial's, without large coefficients: what a product will take per term.
    std::size_t bytesPerTerm() const;
    long degree(int variable) const;
    /// The degree in every variable (s first), in one pass over the terms; -1 each for zero.
    std::vector<long> degrees() const;
    bool operator==(const ExactPolynomial& other) const;

    ExactPolynomial& operator+=(const ExactPolynomial& other);
    ExactPolynomial& operator-=(const ExactPolynomial& other);
    ExactPolynomial operator*(const ExactPolynomial& other) const;
    ExactPolynomial operator-() const;
    /// this += sign · a · b.
    void addProduct(int sign, const ExactPolynomial& a, const ExactPolynomial& b);
    /// The quotient by a divisor known to divide exactly.
    ExactPolynomial exactQuotient(const ExactPolynomial& divisor) const;
    /// The greatest common divisor, with a positive leading coefficient.
    ExactPolynomial gcd(const ExactPolynomial& other) const;
    /// Divides this polynomial and `other` by their greatest common divisor, in one pass.
    void cancelCommonFactor(ExactPolynomial& other);
    /// The monomial of highest degree dividing every term, times the integer content.
    ExactPolynomial termContent() const;

    /// Term i (0 = the first in the ring's order): its coefficient and exponents.
    void termCoefficient(long i, fmpz_t coefficient) const;
    Exponents termExponents(long i) const;
    /// The same, into `exponents` (sized to the ring's variables), for loops over many
    /// terms that should not allocate once per term.
    void termExponents(long i, Exponents& exponents) const;
    ulong termExponent(long i, int variable) const;
    int termSign(long i) const;

    /// Replaces the exponent e of every variable v with `reflected[v]` by highest[v] − e,
    /// highest[v] being at least every exponent of v: the terms keep their coefficients
    /// and are rewritten where they lie, then put back in the ring's order.
    void reflectExponents(const Exponents& highest, const std::vector<bool>& reflected);

    /// Appends a term; `finish` must follow the last one.
    void pushTerm(const fmpz_t coefficient, const Exponents& exponents);
    void finish();

    const PolynomialRing& ring() const { return *ring_; }
    const fmpz_mpoly_struct* raw() const { return poly_; }

private:
    void putTermsInOrder(const std::vector<slong>& groupStarts);

    const PolynomialRing* ring_;
    fmpz_mpoly_t poly_;
};

/// A polynomial with rational coefficients, used while the system is assembled.
class RationalPolynomial {
public:
    explicit RationalPolynomial(const PolynomialRing& ring);
    RationalPolynomial(const RationalPolynomial& other);
    RationalPolynomial& operator=(const RationalPolynomial& other);
    ~RationalPolynomial() { fmpq_mpoly_clear(poly_, ring_->rationals()); }

    bool isZero() const { return fmpq_mpoly_is_zero(poly_, ring_->rationals()) != 0; }
    /// Adds coefficient × the monomial of `exponents`.
    void addTerm(const Fraction& coefficient, const Exponents& exponents);
    /// The least common multiple of the denominators of the coefficients, into `lcm`.
    void denominatorLcm(fmpz_t lcm) const;
    /// The polynomial times `factor`, which must clear every denominator.
    ExactPolynomial scaledToIntegers(const fmpz_t factor) const;

private:
    const PolynomialRing* ring_;
    fmpq_mpoly_t poly_;
};

}  // namespace corvane::symbolic
