#include "interpolation.h"

#include <flint/ulong_extras.h>

#include <stdexcept>

namespace corvane::exact {

TreeInterpolation::TreeInterpolation(const std::vector<ulong>& points, nmod_t mod)
    : length_(static_cast<slong>(points.size())), mod_(mod), weights_(points.size()) {
    if (length_ < 2) return;
    tree_ = _nmod_poly_tree_alloc(length_);
    _nmod_poly_tree_build(tree_, points.data(), length_, mod);
    _nmod_poly_interpolation_weights(weights_.data(), tree_, length_, mod);
}

TreeInterpolation::~TreeInterpolation() {
    if (tree_ != nullptr) _nmod_poly_tree_free(tree_, length_);
}

void TreeInterpolation::interpolate(const ulong* values, ulong* coefficients) const {
    if (length_ < 2) {
        coefficients[0] = values[0];
        return;
    }
    _nmod_poly_interpolate_nmod_vec_fast_precomp(coefficients, values, tree_, weights_.data(),
                                                 length_, mod_);
}

FourierInterpolation::FourierInterpolation(std::size_t size, ulong root, ulong shift, nmod_t mod)
    : size_(size), mod_(mod), points_(size), unscale_(size), reversed_(size) {
    ulong x = shift;
    for (std::size_t j = 0; j < size; ++j) {
        points_[j] = x;
        x = nmod_mul(x, root, mod);
    }
    int bits = 0;
    while ((std::size_t{1} << bits) < size)
        ++bits;
    for (std::size_t j = 0; j < size; ++j) {
        std::size_t r = 0;
        for (int b = 0; b < bits; ++b)
            r |= ((j >> b) & 1u) << (bits - 1 - b);
        reversed_[j] = r;
    }
    // Level with half-length h uses (ω^-1)^(size / 2h)^t, t < h: stored one level after another.
    const ulong inverseRoot = n_invmod(root, mod.n);
    for (std::size_t half = 1; half < size; half *= 2) {
        const ulong step = nmod_pow_ui(inverseRoot, size / (2 * half), mod);
        ulong w = 1;
        for (std::size_t t = 0; t < half; ++t) {
            inverseTwiddles_.push_back(w);
            w = nmod_mul(w, step, mod);
        }
    }
    const ulong inverseShift = n_invmod(shift, mod.n);
    ulong factor = n_invmod(static_cast<ulong>(size) % mod.n, mod.n);
    for (std::size_t i = 0; i < size; ++i) {
        unscale_[i] = factor;
        factor = nmod_mul(factor, inverseShift, mod);
    }
}

void FourierInterpolation::interpolate(const ulong* values, ulong* coefficients,
                                       std::vector<ulong>& work) const {
    work.resize(size_);
    for (std::size_t j = 0; j < size_; ++j)
        work[reversed_[j]] = values[j];
    std::size_t level = 0;
    for (std::size_t half = 1; half < size_; half *= 2) {
        const ulong* twiddle = &inverseTwiddles_[level];
        for (std::size_t start = 0; start < size_; start += 2 * half) {
            for (std::size_t t = 0; t < half; ++t) {
                const ulong a = work[start + t];
                const ulong b = nmod_mul(work[start + t + half], twiddle[t], mod_);
                work[start + t] = nmod_add(a, b, mod_);
                work[start + t + half] = nmod_sub(a, b, mod_);
            }
        }
        level += half;
    }
    for (std::size_t i = 0; i < size_; ++i)
        coefficients[i] = nmod_mul(work[i], unscale_[i], mod_);
}

std::vector<ulong> fourierPrimes(std::size_t count, ulong below) {
    std::vector<ulong> primes;
    const ulong unit = UWORD(1) << FourierOrderBits;
    ulong multiple = (below - 1) / unit;
    while (primes.size() < count) {
        const ulong candidate = multiple * unit + 1;
        if (candidate <= (UWORD(1) << 61)) throw std::length_error("primos de Fourier esgotados");
        if (n_is_prime(candidate)) primes.push_back(candidate);
        --multiple;
    }
    return primes;
}

ulong rootOfUnity(std::size_t size, nmod_t mod) {
    // a^((p − 1)/size) has order dividing size; it is exactly size when its half power is
    // −1. Half of all a do.
    for (ulong a = 2;; ++a) {
        const ulong root = nmod_pow_ui(a, (mod.n - 1) / size, mod);
        if (size == 1) return root;
        if (nmod_pow_ui(root, size / 2, mod) == mod.n - 1) return root;
    }
}

}  // namespace corvane::exact
