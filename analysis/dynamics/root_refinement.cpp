#include "root_refinement.h"

#include <cmath>
#include <cstddef>

namespace corvane {

namespace {

// A double-double: hi + lo with |lo| at most half a unit in the last place of hi.
struct Twofold {
    double hi = 0.0;
    double lo = 0.0;
};

Twofold quickTwoSum(double a, double b) {
    const double s = a + b;
    return {s, b - (s - a)};
}

Twofold twoSum(double a, double b) {
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

Twofold add(Twofold x, Twofold y) {
    const Twofold s = twoSum(x.hi, y.hi);
    const Twofold t = twoSum(x.lo, y.lo);
    const Twofold u = quickTwoSum(s.hi, s.lo + t.hi);
    return quickTwoSum(u.hi, u.lo + t.lo);
}

Twofold add(Twofold x, double y) {
    const Twofold s = twoSum(x.hi, y);
    return quickTwoSum(s.hi, s.lo + x.lo);
}

Twofold negate(Twofold x) {
    return {-x.hi, -x.lo};
}

Twofold multiply(Twofold x, Twofold y) {
    const double p = x.hi * y.hi;
    const double e = std::fma(x.hi, y.hi, -p);
    return quickTwoSum(p, e + (x.hi * y.lo + x.lo * y.hi));
}

struct TwofoldComplex {
    Twofold re;
    Twofold im;
};

// A product above is within 8·2^-106 of its size and a sum within 3·2^-106 of the sizes it
// adds, so one complex step of Horner's rule errs by at most 19·2^-106·|acc|·|z| + 3·2^-106
// ·|b_i|, and n steps by (19n + 3)·2^-106 of Σ |b_i|·|z|^i: (n + 1)·2^-98 leaves a factor
// of ten to spare, and costs nothing but a root now and then that is left to MPSolve.
constexpr double EvaluationUnit = 0x1p-98;
// Below this share of its root's magnitude a coordinate lies well within the root's
// uncertainty, which is at least 2·RootTolerance / n of its magnitude (2e-16 at degree
// 1000), and findRoots makes it zero whatever its digits.
constexpr double NegligibleShare = 0x1p-56;
constexpr int NewtonSteps = 8;

struct Evaluation {
    std::complex<double> value;       // p(z), rounded from double-double
    std::complex<double> derivative;  // p'(z), in double
    double magnitudeSum = 0.0;        // Σ |b_i|·|z|^i
    double derivativeSum = 0.0;       // Σ i·|b_i|·|z|^(i−1)
};

// p(z) in double-double by Horner's rule; p'(z) beside it in double, which is all a Newton
// correction needs once it is small.
Evaluation evaluate(const std::vector<double>& b, const TwofoldComplex& z) {
    const std::size_t n = b.size() - 1;
    const std::complex<double> zd(z.re.hi, z.im.hi);
    const double r = std::abs(zd);
    TwofoldComplex acc{{b[n], 0.0}, {0.0, 0.0}};
    std::complex<double> derivative = 0.0;
    double magnitudeSum = std::fabs(b[n]);
    double derivativeSum = 0.0;
    for (std::size_t i = n; i-- > 0;) {
        derivative = derivative * zd + std::complex<double>(acc.re.hi, acc.im.hi);
        derivativeSum = derivativeSum * r + magnitudeSum;
        magnitudeSum = magnitudeSum * r + std::fabs(b[i]);
        const Twofold re = add(add(multiply(acc.re, z.re), negate(multiply(acc.im, z.im))), b[i]);
        const Twofold im = add(multiply(acc.re, z.im), multiply(acc.im, z.re));
        acc = {re, im};
    }
    return {{acc.re.hi + acc.re.lo, acc.im.hi + acc.im.lo}, derivative, magnitudeSum,
            derivativeSum};
}

// How far the root in disc `own` can be from z. Since p'/p(z) = 1/(z − r) + Σ 1/(z − r_j),
// and every other root r_j lies in its own disc, |1/(z − r)| is at least |p'(z)/p(z)| less
// the sum of the reciprocal distances from z to the other discs. The evaluation's own
// errors make |p| larger and |p'| smaller. Infinite when that leaves nothing.
double inclusionRadius(const Evaluation& e, int n, std::complex<double> z, double loShare,
                       const std::vector<RootDisc>& discs, std::size_t own) {
    const double valueBound = std::abs(e.value) * (1.0 + 0x1p-50) +
                              (n + 1) * EvaluationUnit * e.magnitudeSum;
    // The derivative is taken at z rounded to double, in double: its error is its own
    // rounding plus the change of p' over the rounding of z.
    const double derivativeError =
        (n + 1) * 0x1p-48 * e.derivativeSum + n * e.derivativeSum * (loShare + 0x1p-50) * 2.0;
    const double slope = std::abs(e.derivative) - derivativeError;
    if (!(slope > 0.0) || !(valueBound > 0.0)) return HUGE_VAL;
    double others = 0.0;
    for (std::size_t j = 0; j < discs.size(); ++j) {
        if (j == own) continue;
        const double gap = std::abs(z - discs[j].value) - discs[j].radius;
        if (!(gap > 0.0)) return HUGE_VAL;
        others += 1.0 / gap;
    }
    const double left = slope / valueBound * (1.0 - 0x1p-40) - others * (1.0 + 0x1p-40);
    if (!(left > 0.0)) return HUGE_VAL;
    return 1.0 / left * (1.0 + 0x1p-40);
}

// The double that every real number within r of x truncates to towards zero, if they all
// truncate to the same one.
bool truncatesTo(Twofold x, double r, double& truncated) {
    if (x.hi == 0.0 || !std::isfinite(x.hi)) return false;
    const double sign = x.hi < 0.0 ? -1.0 : 1.0;
    const double h = std::fabs(x.hi);
    const double l = sign * x.lo;
    // x = h + l with |l| at most half an ulp of h: it truncates to h, or to the double
    // below h when l is negative.
    const double t = l < 0.0 ? std::nextafter(h, 0.0) : h;
    const double next = std::nextafter(t, HUGE_VAL);
    const double below = (h - t) + l;  // x − t; h − t is exact
    const double above = (next - h) - l;
    // The margins carry a rounding of their own, far below a unit in the last place.
    const double slack = 2.0 * r + (next - t) * 0x1p-40;
    if (!(below > slack) || !(above > slack)) return false;
    truncated = sign * t;
    return true;
}

bool discsDisjoint(const std::vector<RootDisc>& roots) {
    for (std::size_t i = 0; i < roots.size(); ++i) {
        if (!(roots[i].radius >= 0.0) || !std::isfinite(roots[i].radius)) return false;
        for (std::size_t j = i + 1; j < roots.size(); ++j) {
            if (!(std::abs(roots[i].value - roots[j].value) >
                  (roots[i].radius + roots[j].radius) * (1.0 + 0x1p-40)))
                return false;
        }
    }
    return true;
}

// The root within `radius` of z, each coordinate truncated, into `refined`; false when a
// coordinate cannot be decided.
bool truncateRoot(const TwofoldComplex& z, double radius, RootDisc& refined) {
    const double magnitude = std::abs(std::complex<double>(z.re.hi, z.im.hi));
    double re = 0.0;
    double im = 0.0;
    const double negligible = NegligibleShare * (magnitude - radius);
    if (!(std::fabs(z.re.hi) + radius <= negligible) && !truncatesTo(z.re, radius, re)) return false;
    if (!(std::fabs(z.im.hi) + radius <= negligible) && !truncatesTo(z.im, radius, im)) return false;
    if (re == 0.0 && im == 0.0) return false;
    refined = {{re, im}, radius, {}};
    return true;
}

// The centre of a disc as a double-double; its remainder is itself truncated, within 2^-104
// of the centre's magnitude.
TwofoldComplex centreOf(const RootDisc& disc) {
    return {quickTwoSum(disc.value.real(), disc.remainder.real()),
            quickTwoSum(disc.value.imag(), disc.remainder.imag())};
}
constexpr double RemainderError = 0x1p-100;

// Newton's method from the centre of disc `own` of the isolation `discs` (about their
// values), into `refined`; false when a step leaves the disc or the root is not settled
// within the bound's reach.
bool refineOne(const std::vector<double>& b, const std::vector<RootDisc>& discs,
               std::size_t own, RootDisc& refined) {
    const int n = static_cast<int>(b.size()) - 1;
    const RootDisc& disc = discs[own];
    TwofoldComplex z = centreOf(disc);
    double lastStep = HUGE_VAL;
    for (int step = 0; step < NewtonSteps; ++step) {
        const Evaluation e = evaluate(b, z);
        if (e.derivative == 0.0) return false;
        const std::complex<double> correction = e.value / e.derivative;
        const double size = std::abs(correction);
        if (!std::isfinite(size)) return false;
        z.re = add(z.re, -correction.real());
        z.im = add(z.im, -correction.imag());
        const std::complex<double> moved(z.re.hi - disc.value.real(), z.im.hi - disc.value.imag());
        if (!(std::abs(moved) < disc.radius)) return false;
        const double magnitude = std::abs(std::complex<double>(z.re.hi, z.im.hi));
        // Settled once the step is lost in the evaluation's rounding, or stops shrinking.
        if (size <= 0x1p-104 * magnitude || size >= lastStep) break;
        lastStep = size;
    }
    const Evaluation e = evaluate(b, z);
    const std::complex<double> centre(z.re.hi, z.im.hi);
    const double magnitude = std::abs(centre);
    if (magnitude == 0.0) return false;
    const double loShare = std::abs(std::complex<double>(z.re.lo, z.im.lo)) / magnitude;
    return truncateRoot(z, inclusionRadius(e, n, centre, loShare, discs, own), refined);
}

}  // namespace

bool refineIsolatedRoots(const std::vector<double>& b, std::vector<RootDisc>& roots) {
    if (b.size() < 4 || roots.size() + 1 != b.size() || b.front() == 0.0) return false;
    // The discs about the values alone, for telling the roots apart: the digits left out
    // move the centre by the remainder, and by up to a unit in the last place of each
    // coordinate when there is none.
    std::vector<RootDisc> discs = roots;
    for (RootDisc& disc : discs) {
        const double dropped = disc.remainder == 0.0 ? 0x1p-51 * std::abs(disc.value)
                                                     : std::abs(disc.remainder);
        disc.radius += dropped + RemainderError * std::abs(disc.value);
    }
    if (!discsDisjoint(discs)) return false;
    for (std::size_t i = 0; i < discs.size(); ++i) {
        const RootDisc& given = roots[i];
        const double carried = given.radius + RemainderError * std::abs(given.value);
        if (given.remainder != 0.0 && truncateRoot(centreOf(given), carried, roots[i])) continue;
        if (!refineOne(b, discs, i, roots[i])) return false;
    }
    return true;
}

}  // namespace corvane
