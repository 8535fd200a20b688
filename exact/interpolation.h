// Interpolation modulo a word-size prime of many polynomials through the same points:
// through any points with FLINT's subproduct tree, or through a coset of the 2^k-th roots
// of unity with a number-theoretic transform, which is several times faster but asks for
// a power of two of points and a prime p ≡ 1 (mod 2^k).
#pragma once

#include <flint/nmod_poly.h>

#include <cstddef>
#include <vector>

namespace corvane::exact {

/// The polynomial through `points` given its values there (any distinct points).
class TreeInterpolation {
public:
    TreeInterpolation(const std::vector<ulong>& points, nmod_t mod);
    ~TreeInterpolation();
    TreeInterpolation(const TreeInterpolation&) = delete;
    TreeInterpolation& operator=(const TreeInterpolation&) = delete;

    /// values[0 .. points) → coefficients[0 .. points), lowest first.
    void interpolate(const ulong* values, ulong* coefficients) const;

private:
    slong length_;
    nmod_t mod_;
    std::vector<ulong> weights_;
    mp_ptr* tree_ = nullptr;
};

/// The points shift · ω^j, j = 0 .. size − 1, ω of order `size` (a power of two), and the
/// polynomial of degree below `size` through them.
class FourierInterpolation {
public:
    /// `root` must have order exactly `size` modulo the prime.
    FourierInterpolation(std::size_t size, ulong root, ulong shift, nmod_t mod);

    const std::vector<ulong>& points() const { return points_; }

    /// values[0 .. size) → coefficients[0 .. size), lowest first. `work` is scratch.
    void interpolate(const ulong* values, ulong* coefficients, std::vector<ulong>& work) const;

private:
    std::size_t size_;
    nmod_t mod_;
    std::vector<ulong> points_;
    /// The inverse root's powers for each butterfly level, and shift^-i / size.
    std::vector<ulong> inverseTwiddles_;
    std::vector<ulong> unscale_;
    std::vector<std::size_t> reversed_;
};

/// Primes p in (2^61, 2^62) with p ≡ 1 (mod 2^FourierOrderBits), largest first.
inline constexpr int FourierOrderBits = 24;
std::vector<ulong> fourierPrimes(std::size_t count, ulong below);

/// An element of order exactly `size` (a power of two up to 2^FourierOrderBits) modulo a
/// prime of fourierPrimes.
ulong rootOfUnity(std::size_t size, nmod_t mod);

}  // namespace corvane::exact
