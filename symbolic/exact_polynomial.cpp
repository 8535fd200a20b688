#include "exact_polynomial.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>

#include "gmp_fence.h"

namespace corvane::symbolic {

namespace {

// 10^k as a whole number.
void powerOfTen(fmpz_t out, ulong k) {
    fmpz_set_ui(out, 10);
    fmpz_pow_ui(out, out, k);
}

// FLINT ends the process when an allocation fails, after printing to standard output, in
// the middle of the log. Its allocations come here instead (GMP's: gmp_fence.h) and a
// failure throws: the exception unwinds through its frames, which leaves the objects it
// was building unreleased, while the caller's own objects are released as usual.
void* allocateOrThrow(std::size_t size) {
    void* block = std::malloc(size);
    if (block == nullptr && size != 0) throw std::bad_alloc();
    return block;
}

void* allocateZeroedOrThrow(std::size_t count, std::size_t size) {
    void* block = std::calloc(count, size);
    if (block == nullptr && count != 0 && size != 0) throw std::bad_alloc();
    return block;
}

void* reallocateOrThrow(void* block, std::size_t size) {
    void* moved = std::realloc(block, size);
    if (moved == nullptr && size != 0) throw std::bad_alloc();
    return moved;
}

void release(void* block) {
    std::free(block);
}

// FLINT's other fatal errors end here instead of in abort(). FLINT takes the handler as a
// pointer to a function whose type says it does not return, which [[noreturn]] alone does
// not give the type under clang.
FLINT_NORETURN void throwFlintFailure() {
    throw std::bad_alloc();
}

}  // namespace

void fenceFlintAborts() {
    static const bool fenced = [] {
        __flint_set_memory_functions(allocateOrThrow, allocateZeroedOrThrow, reallocateOrThrow,
                                     release);
        fenceGmpAborts();
        flint_set_abort(throwFlintFailure);
        return true;
    }();
    (void)fenced;
}

Fraction::Fraction(long whole) {
    fmpq_init(value_);
    fmpq_set_si(value_, whole, 1);
}

Fraction::Fraction(const Fraction& other) {
    fmpq_init(value_);
    fmpq_set(value_, other.value_);
}

Fraction& Fraction::operator=(const Fraction& other) {
    fmpq_set(value_, other.value_);
    return *this;
}

Fraction Fraction::fromDouble(double value) {
    char text[64];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, value);
    if (written.ec != std::errc()) throw std::invalid_argument("número sem forma decimal");
    const std::string decimal(text, written.ptr);

    // The shortest form is [-]digits[.digits][e[+-]digits]: all digits make the numerator,
    // and the point and the exponent together give the power of ten.
    std::string digits;
    long exponent = 0;
    bool negative = false;
    bool afterPoint = false;
    for (std::size_t i = 0; i < decimal.size(); ++i) {
        const char c = decimal[i];
        if (c == '-') {
            negative = true;
        } else if (c == '.') {
            afterPoint = true;
        } else if (c == 'e') {
            exponent += std::stol(decimal.substr(i + 1));
            break;
        } else if (c >= '0' && c <= '9') {
            digits += c;
            if (afterPoint) --exponent;
        } else {
            throw std::invalid_argument("número sem forma decimal: " + decimal);
        }
    }
    Fraction result;
    Integer numerator;
    Integer scale;
    fmpz_set_str(numerator.get(), digits.c_str(), 10);
    if (negative) fmpz_neg(numerator.get(), numerator.get());
    powerOfTen(scale.get(), static_cast<ulong>(exponent < 0 ? -exponent : exponent));
    if (exponent >= 0) {
        fmpz_mul(numerator.get(), numerator.get(), scale.get());
        fmpz_one(scale.get());
    }
    fmpq_set_fmpz_frac(result.value_, numerator.get(), scale.get());
    return result;
}

Fraction Fraction::inverse() const {
    if (isZero()) throw std::domain_error("inverso de zero");
    Fraction result;
    fmpq_inv(result.value_, value_);
    return result;
}

Fraction Fraction::operator*(const Fraction& other) const {
    Fraction result;
    fmpq_mul(result.value_, value_, other.value_);
    return result;
}

Fraction Fraction::operator-() const {
    Fraction result;
    fmpq_neg(result.value_, value_);
    return result;
}

PolynomialRing::PolynomialRing(int symbolCount) : variables_(symbolCount + 1) {
    fmpq_mpoly_ctx_init(context_, variables_, ORD_LEX);
}

ExactPolynomial::ExactPolynomial(const PolynomialRing& ring) : ring_(&ring) {
    fmpz_mpoly_init(poly_, ring_->integers());
}

ExactPolynomial::ExactPolynomial(const PolynomialRing& ring, long constant) : ring_(&ring) {
    fmpz_mpoly_init(poly_, ring_->integers());
    fmpz_mpoly_set_si(poly_, constant, ring_->integers());
}

ExactPolynomial::ExactPolynomial(const ExactPolynomial& other) : ring_(other.ring_) {
    fmpz_mpoly_init(poly_, ring_->integers());
    fmpz_mpoly_set(poly_, other.poly_, ring_->integers());
}

ExactPolynomial::ExactPolynomial(ExactPolynomial&& other) noexcept : ring_(other.ring_) {
    fmpz_mpoly_init(poly_, ring_->integers());
    fmpz_mpoly_swap(poly_, other.poly_, ring_->integers());
}

std::size_t ExactPolynomial::bytesPerTerm() const {
    const auto words = mpoly_words_per_exp(poly_->bits, ring_->integers()->minfo);
    return sizeof(fmpz) + sizeof(ulong) * static_cast<std::size_t>(words);
}

std::size_t ExactPolynomial::bytes() const {
    std::size_t total = static_cast<std::size_t>(poly_->alloc) * bytesPerTerm();
    for (slong i = 0; i < poly_->length; ++i) {
        const fmpz& c = poly_->coeffs[i];
        if (COEFF_IS_MPZ(c)) {
            total += sizeof(__mpz_struct) +
                     sizeof(mp_limb_t) * static_cast<std::size_t>(COEFF_TO_PTR(c)->_mp_alloc);
        }
    }
    return total;
}

ExactPolynomial& ExactPolynomial::operator=(const ExactPolynomial& other) {
    if (this != &other) fmpz_mpoly_set(poly_, other.poly_, ring_->integers());
    return *this;
}

ExactPolynomial& ExactPolynomial::operator=(ExactPolynomial&& other) noexcept {
    fmpz_mpoly_swap(poly_, other.poly_, ring_->integers());
    return *this;
}

ExactPolynomial ExactPolynomial::variable(const PolynomialRing& ring, int index) {
    ExactPolynomial result(ring);
    fmpz_mpoly_gen(result.poly_, index, ring.integers());
    return result;
}

long ExactPolynomial::degree(int variable) const {
    return fmpz_mpoly_degree_si(poly_, variable, ring_->integers());
}

std::vector<long> ExactPolynomial::degrees() const {
    std::vector<long> result(static_cast<std::size_t>(ring_->variableCount()), -1);
    fmpz_mpoly_degrees_si(result.data(), poly_, ring_->integers());
    return result;
}

bool ExactPolynomial::operator==(const ExactPolynomial& other) const {
    return fmpz_mpoly_equal(poly_, other.poly_, ring_->integers()) != 0;
}

ExactPolynomial& ExactPolynomial::operator+=(const ExactPolynomial& other) {
    fmpz_mpoly_add(poly_, poly_, other.poly_, ring_->integers());
    return *this;
}

ExactPolynomial& ExactPolynomial::operator-=(const ExactPolynomial& other) {
    fmpz_mpoly_sub(poly_, poly_, other.poly_, ring_->integers());
    return *this;
}

ExactPolynomial ExactPolynomial::operator*(const ExactPolynomial& other) const {
    ExactPolynomial result(*ring_);
    fmpz_mpoly_mul(result.poly_, poly_, other.poly_, ring_->integers());
    return result;
}

ExactPolynomial ExactPolynomial::operator-() const {
    ExactPolynomial result(*ring_);
    fmpz_mpoly_neg(result.poly_, poly_, ring_->integers());
    return result;
}

void ExactPolynomial::addProduct(int sign, const ExactPolynomial& a, const ExactPolynomial& b) {
    const ExactPolynomial product = a * b;
    if (sign > 0) {
        *this += product;
    } else {
        *this -= product;
    }
}

ExactPolynomial ExactPolynomial::exactQuotient(const ExactPolynomial& divisor) const {
    ExactPolynomial result(*ring_);
    if (!fmpz_mpoly_divides(result.poly_, poly_, divisor.poly_, ring_->integers()))
        throw std::logic_error("divisão não exata de polinômios");
    return result;
}

ExactPolynomial ExactPolynomial::gcd(const ExactPolynomial& other) const {
    ExactPolynomial result(*ring_);
    if (!fmpz_mpoly_gcd(result.poly_, poly_, other.poly_, ring_->integers()))
        throw std::runtime_error("o máximo divisor comum não pôde ser calculado");
    return result;
}

void ExactPolynomial::cancelCommonFactor(ExactPolynomial& other) {
    ExactPolynomial common(*ring_);
    ExactPolynomial mine(*ring_);
    ExactPolynomial theirs(*ring_);
    if (!fmpz_mpoly_gcd_cofactors(common.poly_, mine.poly_, theirs.poly_, poly_, other.poly_,
                                  ring_->integers()))
        throw std::runtime_error("o máximo divisor comum não pôde ser calculado");
    *this = std::move(mine);
    other = std::move(theirs);
}

ExactPolynomial ExactPolynomial::termContent() const {
    ExactPolynomial result(*ring_);
    fmpz_mpoly_term_content(result.poly_, poly_, ring_->integers());
    return result;
}

void ExactPolynomial::termCoefficient(long i, fmpz_t coefficient) const {
    fmpz_mpoly_get_term_coeff_fmpz(coefficient, poly_, i, ring_->integers());
}

Exponents ExactPolynomial::termExponents(long i) const {
    Exponents exponents(static_cast<std::size_t>(ring_->variableCount()));
    fmpz_mpoly_get_term_exp_ui(exponents.data(), poly_, i, ring_->integers());
    return exponents;
}

void ExactPolynomial::termExponents(long i, Exponents& exponents) const {
    exponents.resize(static_cast<std::size_t>(ring_->variableCount()));
    fmpz_mpoly_get_term_exp_ui(exponents.data(), poly_, i, ring_->integers());
}

ulong ExactPolynomial::termExponent(long i, int variable) const {
    return fmpz_mpoly_get_term_var_exp_ui(poly_, i, variable, ring_->integers());
}

int ExactPolynomial::termSign(long i) const {
    return fmpz_sgn(poly_->coeffs + i);
}

// A hundred thousand terms pushed one by one into a new polynomial cost their coefficients
// copies and a check of every exponent, and sorting them all again costs more than that;
// here each term's exponents are rewritten where they lie (when they fit the fields the old
// ones had), and only the terms that agree in every variable before the first reflected
// one can change places: the old order already holds for those variables.
void ExactPolynomial::reflectExponents(const Exponents& highest,
                                       const std::vector<bool>& reflected) {
    const mpoly_ctx_struct* monomials = ring_->integers()->minfo;
    const flint_bitcnt_t bits = poly_->bits;
    const bool fits = bits <= FLINT_BITS &&
                      mpoly_exp_bits_required_ui(highest.data(), monomials) <= bits;
    const std::size_t variables = static_cast<std::size_t>(ring_->variableCount());
    if (!fits) {
        ExactPolynomial rewritten(*ring_);
        Integer coefficient;
        Exponents exponents;
        for (long i = 0; i < length(); ++i) {
            termExponents(i, exponents);
            for (std::size_t v = 0; v < variables; ++v) {
                if (reflected[v]) exponents[v] = highest[v] - exponents[v];
            }
            termCoefficient(i, coefficient.get());
            rewritten.pushTerm(coefficient.get(), exponents);
        }
        rewritten.finish();
        *this = std::move(rewritten);
        return;
    }
    const auto firstReflected = static_cast<std::size_t>(
        std::find(reflected.begin(), reflected.end(), true) - reflected.begin());
    const slong words = mpoly_words_per_exp(bits, monomials);
    const slong terms = poly_->length;
    Exponents exponents(variables);
    Exponents previous(variables);
    std::vector<slong> groupStarts;
    for (slong i = 0; i < terms; ++i) {
        ulong* packed = poly_->exps + words * i;
        mpoly_get_monomial_ui(exponents.data(), packed, bits, monomials);
        const auto prefixEnd = exponents.begin() + static_cast<std::ptrdiff_t>(firstReflected);
        if (i == 0 || !std::equal(exponents.begin(), prefixEnd, previous.begin()))
            groupStarts.push_back(i);
        std::copy(exponents.begin(), prefixEnd, previous.begin());
        for (std::size_t v = firstReflected; v < variables; ++v) {
            if (reflected[v]) exponents[v] = highest[v] - exponents[v];
        }
        mpoly_set_monomial_ui(packed, exponents.data(), bits, monomials);
    }
    groupStarts.push_back(terms);
    putTermsInOrder(groupStarts);
}

// Sorts each group of terms (from groupStarts[g] to groupStarts[g + 1]) into the ring's
// order, moving the coefficients with their exponents.
void ExactPolynomial::putTermsInOrder(const std::vector<slong>& groupStarts) {
    const mpoly_ctx_struct* monomials = ring_->integers()->minfo;
    const flint_bitcnt_t bits = poly_->bits;
    const slong words = mpoly_words_per_exp(bits, monomials);
    std::vector<ulong> comparison(static_cast<std::size_t>(words));
    mpoly_get_cmpmask(comparison.data(), words, bits, monomials);
    const ulong* exps = poly_->exps;
    const auto before = [&](slong x, slong y) {
        return mpoly_monomial_gt(exps + words * x, exps + words * y, words, comparison.data()) != 0;
    };
    std::vector<slong> order(static_cast<std::size_t>(poly_->length));
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<slong>(i);
    bool moved = false;
    for (std::size_t g = 0; g + 1 < groupStarts.size(); ++g) {
        const auto first = order.begin() + groupStarts[g];
        const auto last = order.begin() + groupStarts[g + 1];
        if (last - first < 2) continue;
        std::sort(first, last, before);
        for (auto it = first; it != last; ++it)
            moved = moved || *it != it - order.begin();
    }
    if (!moved) return;
    // The coefficients move as plain words: each one, large or not, keeps its owner.
    std::vector<fmpz> coefficients(order.size());
    std::vector<ulong> packed(order.size() * static_cast<std::size_t>(words));
    for (std::size_t i = 0; i < order.size(); ++i) {
        coefficients[i] = poly_->coeffs[order[i]];
        std::copy_n(exps + words * order[i], words,
                    packed.begin() + static_cast<std::ptrdiff_t>(i) * words);
    }
    std::copy(coefficients.begin(), coefficients.end(), poly_->coeffs);
    std::copy(packed.begin(), packed.end(), poly_->exps);
}

void ExactPolynomial::pushTerm(const fmpz_t coefficient, const Exponents& exponents) {
    fmpz_mpoly_push_term_fmpz_ui(poly_, coefficient, exponents.data(), ring_->integers());
}

void ExactPolynomial::finish() {
    fmpz_mpoly_sort_terms(poly_, ring_->integers());
    fmpz_mpoly_combine_like_terms(poly_, ring_->integers());
}

RationalPolynomial::RationalPolynomial(const PolynomialRing& ring) : ring_(&ring) {
    fmpq_mpoly_init(poly_, ring_->rationals());
}

RationalPolynomial::RationalPolynomial(const RationalPolynomial& other) : ring_(other.ring_) {
    fmpq_mpoly_init(poly_, ring_->rationals());
    fmpq_mpoly_set(poly_, other.poly_, ring_->rationals());
}

RationalPolynomial& RationalPolynomial::operator=(const RationalPolynomial& other) {
    if (this != &other) fmpq_mpoly_set(poly_, other.poly_, ring_->rationals());
    return *this;
}

void RationalPolynomial::addTerm(const Fraction& coefficient, const Exponents& exponents) {
    Fraction sum;
    fmpq_mpoly_get_coeff_fmpq_ui(sum.get(), poly_, exponents.data(), ring_->rationals());
    fmpq_add(sum.get(), sum.get(), coefficient.get());
    fmpq_mpoly_set_coeff_fmpq_ui(poly_, sum.get(), exponents.data(), ring_->rationals());
}

void RationalPolynomial::denominatorLcm(fmpz_t lcm) const {
    fmpz_one(lcm);
    Fraction coefficient;
    const long length = fmpq_mpoly_length(poly_, ring_->rationals());
    for (long i = 0; i < length; ++i) {
        fmpq_mpoly_get_term_coeff_fmpq(coefficient.get(), poly_, i, ring_->rationals());
        fmpz_lcm(lcm, lcm, fmpq_denref(coefficient.get()));
    }
}

ExactPolynomial RationalPolynomial::scaledToIntegers(const fmpz_t factor) const {
    ExactPolynomial result(*ring_);
    Fraction coefficient;
    Integer whole;
    Exponents exponents(static_cast<std::size_t>(ring_->variableCount()));
    const long length = fmpq_mpoly_length(poly_, ring_->rationals());
    for (long i = 0; i < length; ++i) {
        fmpq_mpoly_get_term_coeff_fmpq(coefficient.get(), poly_, i, ring_->rationals());
        fmpq_mpoly_get_term_exp_ui(exponents.data(), poly_, i, ring_->rationals());
        fmpz_mul(whole.get(), fmpq_numref(coefficient.get()), factor);
        fmpz_divexact(whole.get(), whole.get(), fmpq_denref(coefficient.get()));
        result.pushTerm(whole.get(), exponents);
    }
    result.finish();
    return result;
}

}  // namespace corvane::symbolic
