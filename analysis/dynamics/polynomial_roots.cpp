#include "polynomial_roots.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstdlib>
#include <tuple>

#include <mps/mps.h>

#include "root_refinement.h"

namespace corvane {

namespace {

using Complex = std::complex<double>;

// MPSolve's extended exponents and multiprecision steps raise status flags that say
// nothing about the circuit; the run's own checkpoints must not see them.
class QuietFloatingPoint {
public:
    QuietFloatingPoint() { std::feholdexcept(&saved_); }
    ~QuietFloatingPoint() { std::fesetenv(&saved_); }
    QuietFloatingPoint(const QuietFloatingPoint&) = delete;
    QuietFloatingPoint& operator=(const QuietFloatingPoint&) = delete;

private:
    std::fenv_t saved_;
};

// MPSolve refines the roots on as many threads as the machine has cores, and the order in
// which they finish changes the last bits of the roots from run to run: the same circuit
// would list other digits and write another JSON. One job gives the same roots every
// time, and a circuit's polynomials are far too small to gain from more. MPSolve reads its
// job count from the environment when a context is made.
mps_context* newSingleThreadContext() {
    static const bool oneJob = setenv("MPS_JOBS", "1", 1) == 0;
    (void)oneJob;
    return mps_context_new();
}

// One MPSolve computation: its context and the polynomial it solves, freed in that order
// reversed (the context does not free the polynomial).
class Solver {
public:
    explicit Solver(long degree)
        : context_(newSingleThreadContext()), polynomial_(mps_monomial_poly_new(context_, degree)) {}
    ~Solver() {
        mps_monomial_poly_free(context_, MPS_POLYNOMIAL(polynomial_));
        mps_context_free(context_);
    }
    Solver(const Solver&) = delete;
    Solver& operator=(const Solver&) = delete;

    mps_context* context() const { return context_; }
    mps_monomial_poly* polynomial() const { return polynomial_; }

private:
    mps_context* context_;
    mps_monomial_poly* polynomial_;
};

// An approximation of a root and MPSolve's certified inclusion radius.
using Approximation = RootDisc;

// The roots of a solve in multiprecision, and their radii, freed as MPSolve allocates them.
class CarriedRoots {
public:
    CarriedRoots(mps_context* context, long degree) : degree_(degree) {
        mps_context_get_roots_m(context, &roots_, &radii_);
    }
    ~CarriedRoots() {
        if (roots_) mpc_vclear(roots_, degree_);
        std::free(roots_);
        std::free(radii_);
    }
    CarriedRoots(const CarriedRoots&) = delete;
    CarriedRoots& operator=(const CarriedRoots&) = delete;

    bool read() const { return roots_ && radii_; }
    const mpc_t& root(long i) const { return roots_[i]; }
    double radius(long i) const { return rdpe_get_d(radii_[i]); }

private:
    long degree_;
    mpc_t* roots_ = nullptr;
    rdpe_t* radii_ = nullptr;
};

// The leading digits of x truncated to a double, and the next ones, truncated too.
void splitCoordinate(const mpf_t x, double& leading, double& next) {
    leading = mpf_get_d(x);
    mpf_t rest;
    // Exact: x less its own leading digits needs no more bits than x has.
    mpf_init2(rest, mpf_get_prec(x) + 64);
    mpf_set_d(rest, leading);
    mpf_sub(rest, x, rest);
    next = mpf_get_d(rest);
    mpf_clear(rest);
}

// The roots as MPSolve carries them, to every digit it has: the disc of a root it found
// hard to isolate is far smaller than a unit in the last place of a double.
bool readCarriedRoots(mps_context* context, long degree, std::vector<Approximation>& out) {
    const CarriedRoots carried(context, degree);
    if (!carried.read()) return false;
    out.clear();
    for (long i = 0; i < degree; ++i) {
        Approximation a;
        double re = 0.0;
        double im = 0.0;
        double reRest = 0.0;
        double imRest = 0.0;
        splitCoordinate(mpc_Re(carried.root(i)), re, reRest);
        splitCoordinate(mpc_Im(carried.root(i)), im, imRest);
        a.value = {re, im};
        a.remainder = {reRest, imRest};
        a.radius = carried.radius(i);
        if (!std::isfinite(re) || !std::isfinite(im) || !std::isfinite(reRest) ||
            !std::isfinite(imRest) || !(a.radius >= 0.0))
            return false;
        out.push_back(a);
    }
    return true;
}

// The roots of b (degree ≥ 1, b[0] ≠ 0, every coefficient finite), each in a disc that
// holds a root of b: to double precision for the goal MPS_OUTPUT_GOAL_APPROXIMATE, in
// disjoint discs (when MPSolve can tell them apart) for MPS_OUTPUT_GOAL_ISOLATE.
bool solve(const std::vector<double>& b, std::vector<Approximation>& out,
           mps_output_goal goal = MPS_OUTPUT_GOAL_APPROXIMATE) {
    const long degree = static_cast<long>(b.size()) - 1;
    QuietFloatingPoint quiet;
    const Solver solver(degree);
    mps_context* context = solver.context();
    for (long i = 0; i <= degree; ++i)
        mps_monomial_poly_set_coefficient_d(context, solver.polynomial(), i,
                                            b[static_cast<std::size_t>(i)], 0.0);
    mps_context_set_input_poly(context, MPS_POLYNOMIAL(solver.polynomial()));
    mps_context_set_output_prec(context, 53);
    mps_context_set_output_goal(context, goal);
    mps_mpsolve(context);
    if (mps_context_has_errors(context)) return false;

    if (goal == MPS_OUTPUT_GOAL_ISOLATE) return readCarriedRoots(context, degree, out);
    std::vector<cplx_t> roots(static_cast<std::size_t>(degree));
    std::vector<double> radii(static_cast<std::size_t>(degree));
    cplx_t* rootsOut = roots.data();
    double* radiiOut = radii.data();
    mps_context_get_roots_d(context, &rootsOut, &radiiOut);
    out.clear();
    for (long i = 0; i < degree; ++i) {
        const Complex value(cplx_Re(rootsOut[i]), cplx_Im(rootsOut[i]));
        if (!std::isfinite(value.real()) || !std::isfinite(value.imag())) return false;
        out.push_back({value, radiiOut[i], {}});
    }
    return true;
}

// Coefficient i of the Taylor expansion of b about c: b^(i)(c) / i!.
Complex taylorCoefficient(const std::vector<double>& b, int order, Complex c) {
    Complex sum = 0.0;
    double binomial = 1.0;  // C(i, order), starting at i = order
    Complex power = 1.0;    // c^(i − order)
    for (std::size_t i = static_cast<std::size_t>(order); i < b.size(); ++i) {
        sum += binomial * b[i] * power;
        power *= c;
        binomial = binomial * static_cast<double>(i + 1) / static_cast<double>(i + 1 - order);
    }
    return sum;
}

// How far the roots of b near c may move when each coefficient moves by RootTolerance of
// itself, supposing m of them meet at c: b(c + d) ≈ T_m(c)·d^m must absorb the change
// Σ RootTolerance·|b_i|·|c|^i.
double uncertaintyRadius(const std::vector<double>& b, int m, Complex c) {
    double perturbation = 0.0;
    double power = 1.0;
    for (const double coefficient : b) {
        perturbation += std::fabs(coefficient) * power;
        power *= std::abs(c);
    }
    perturbation *= RootTolerance;
    const double slope = std::abs(taylorCoefficient(b, m, c));
    if (slope == 0.0) return HUGE_VAL;
    return 2.0 * std::pow(perturbation / slope, 1.0 / m);
}

struct Cluster {
    Complex centre;
    int multiplicity;
    double radius;  // how far its members lay from the centre, or the uncertainty
};

Complex centroid(const std::vector<Approximation>& roots, const std::vector<std::size_t>& members) {
    Complex sum = 0.0;
    for (const std::size_t k : members)
        sum += roots[k].value;
    return sum / static_cast<double>(members.size());
}

// Whether the m members form one root of multiplicity m: they lie within the coefficients'
// uncertainty of their centre, close together compared with the centre's magnitude, and
// far from every other root.
bool isMultipleRoot(const std::vector<double>& b, const std::vector<Approximation>& roots,
                    const std::vector<std::size_t>& members, const std::vector<bool>& taken,
                    Complex centre, double& spread) {
    spread = 0.0;
    for (const std::size_t k : members)
        spread = std::max(spread, std::abs(roots[k].value - centre));
    if (spread > 0.1 * std::abs(centre)) return false;
    for (std::size_t k = 0; k < roots.size(); ++k) {
        if (taken[k] || std::find(members.begin(), members.end(), k) != members.end()) continue;
        if (std::abs(roots[k].value - centre) < 10.0 * spread) return false;
    }
    const int m = static_cast<int>(members.size());
    return spread <= uncertaintyRadius(b, m, centre);
}

// The centre of an m-fold cluster is a simple root of b^(m−1), where it is well
// conditioned: a few Newton steps from the members' mean take it to full precision.
Complex refineCentre(const std::vector<double>& b, int m, Complex centre, double spread) {
    Complex z = centre;
    for (int step = 0; step < 8; ++step) {
        const Complex slope = static_cast<double>(m) * taylorCoefficient(b, m, z);
        if (slope == 0.0) break;
        const Complex next = z - taylorCoefficient(b, m - 1, z) / slope;
        if (!std::isfinite(next.real()) || !std::isfinite(next.imag())) break;
        if (std::abs(next - centre) > spread) return centre;  // wandered off: keep the mean
        const bool settled = std::abs(next - z) <= 1e-16 * std::abs(next);
        z = next;
        if (settled) break;
    }
    return z;
}

// Groups the approximations into distinct roots with multiplicities: for each root in
// turn, the largest set of its nearest untaken neighbours that passes isMultipleRoot.
std::vector<Cluster> clusterRoots(const std::vector<double>& b,
                                  const std::vector<Approximation>& roots) {
    std::vector<Cluster> clusters;
    std::vector<bool> taken(roots.size(), false);
    for (std::size_t i = 0; i < roots.size(); ++i) {
        if (taken[i]) continue;
        std::vector<std::size_t> nearest;
        for (std::size_t k = 0; k < roots.size(); ++k)
            if (!taken[k]) nearest.push_back(k);
        std::sort(nearest.begin(), nearest.end(), [&](std::size_t x, std::size_t y) {
            return std::abs(roots[x].value - roots[i].value) <
                   std::abs(roots[y].value - roots[i].value);
        });
        std::vector<std::size_t> members{i};
        Complex centre = roots[i].value;
        double spread = 0.0;
        for (std::size_t m = nearest.size(); m >= 2; --m) {
            const std::vector<std::size_t> candidate(nearest.begin(),
                                                     nearest.begin() + static_cast<long>(m));
            const Complex mean = centroid(roots, candidate);
            double candidateSpread = 0.0;
            if (isMultipleRoot(b, roots, candidate, taken, mean, candidateSpread)) {
                members = candidate;
                spread = candidateSpread;
                centre = refineCentre(b, static_cast<int>(m), mean, candidateSpread);
                break;
            }
        }
        for (const std::size_t k : members)
            taken[k] = true;
        const int multiplicity = static_cast<int>(members.size());
        const double uncertainty =
            std::max(roots[i].radius, uncertaintyRadius(b, multiplicity, centre));
        clusters.push_back({centre, multiplicity, std::max(spread, uncertainty)});
    }
    return clusters;
}

// Real coefficients: a root whose imaginary part lies within its uncertainty is real, and
// every other root has its conjugate, which is made exact. A root whose real part lies
// within its uncertainty is on the imaginary axis: the coefficients cannot say on which
// side of it the root lies, and a lossless circuit puts it there.
void makeConjugateSymmetric(std::vector<Cluster>& clusters) {
    for (Cluster& c : clusters) {
        if (std::fabs(c.centre.imag()) <= c.radius) c.centre = {c.centre.real(), 0.0};
        if (std::fabs(c.centre.real()) <= c.radius) c.centre = {0.0, c.centre.imag()};
    }
    std::vector<bool> paired(clusters.size(), false);
    for (std::size_t i = 0; i < clusters.size(); ++i) {
        if (paired[i] || clusters[i].centre.imag() <= 0.0) continue;
        std::size_t mate = clusters.size();
        for (std::size_t k = 0; k < clusters.size(); ++k) {
            if (paired[k] || clusters[k].centre.imag() >= 0.0 ||
                clusters[k].multiplicity != clusters[i].multiplicity)
                continue;
            if (mate == clusters.size() ||
                std::abs(clusters[k].centre - std::conj(clusters[i].centre)) <
                    std::abs(clusters[mate].centre - std::conj(clusters[i].centre)))
                mate = k;
        }
        if (mate == clusters.size()) continue;
        const Complex mean = 0.5 * (clusters[i].centre + std::conj(clusters[mate].centre));
        clusters[i].centre = mean;
        clusters[mate].centre = std::conj(mean);
        paired[i] = paired[mate] = true;
    }
}

// Roots on one circle (a Butterworth filter's) have magnitudes that differ only by
// rounding: compared at single precision they tie, and then the real root comes first and
// the pairs follow by growing imaginary part.
bool comesFirst(const PolynomialRoot& x, const PolynomialRoot& y) {
    const auto key = [](const PolynomialRoot& r) {
        return std::tuple(static_cast<float>(std::abs(r.value)), std::fabs(r.value.imag()),
                          -r.value.imag());
    };
    return key(x) < key(y);
}

// MPSolve's refinement of isolated roots to double precision, most of its time at degree
// 25, replaced by Newton's method in double-double arithmetic: each coordinate of a root
// comes out as MPSolve gives it, truncated towards zero from a value good to far more
// than 53 bits. Where a root is multiple, or the refinement cannot decide a digit, MPSolve
// refines after all; so it does below degree 3, where its answer is now and then not the
// truncated root, and where it is quick anyway.
bool findSimpleRootsQuickly(const std::vector<double>& b, std::vector<Cluster>& clusters) {
    std::vector<Approximation> isolated;
    if (b.size() < 4 || !solve(b, isolated, MPS_OUTPUT_GOAL_ISOLATE)) return false;
    {
        // Its double-double sums may underflow on the way, which says nothing of the circuit.
        QuietFloatingPoint quiet;
        if (!refineIsolatedRoots(b, isolated)) return false;
    }
    clusters = clusterRoots(b, isolated);
    // A multiple root's centre is found from all its members, including the digits below
    // 2^-56 that the refinement does not keep.
    return std::all_of(clusters.begin(), clusters.end(),
                       [](const Cluster& c) { return c.multiplicity == 1; });
}

}  // namespace

PolynomialRoots findRoots(std::span<const double> coefficients) {
    PolynomialRoots result;
    for (const double c : coefficients) {
        if (!std::isfinite(c)) {
            result.status = RootsStatus::NotFinite;
            return result;
        }
    }
    int degree = static_cast<int>(coefficients.size()) - 1;
    while (degree >= 0 && coefficients[static_cast<std::size_t>(degree)] == 0.0)
        --degree;
    if (degree < 0) {
        result.status = RootsStatus::ZeroPolynomial;
        return result;
    }
    result.degree = degree;
    result.leadingCoefficient = coefficients[static_cast<std::size_t>(degree)];
    int zeros = 0;
    while (coefficients[static_cast<std::size_t>(zeros)] == 0.0)
        ++zeros;
    if (zeros > 0) result.roots.push_back({0.0, zeros});
    const int n = degree - zeros;
    if (n == 0) return result;

    // u = s / 2^k with 2^k near (|c_lo| / |c_hi|)^(1/n): the lowest and highest terms weigh
    // about the same, and multiplying by powers of two changes no digit.
    const double low = coefficients[static_cast<std::size_t>(zeros)];
    const int k = static_cast<int>(std::lround(
        (std::log2(std::fabs(low)) - std::log2(std::fabs(result.leadingCoefficient))) / n));
    const int leadingExponent = std::ilogb(result.leadingCoefficient) + k * n;
    std::vector<double> b(static_cast<std::size_t>(n) + 1);
    for (int i = 0; i <= n; ++i)
        b[static_cast<std::size_t>(i)] =
            std::ldexp(coefficients[static_cast<std::size_t>(zeros + i)], k * i - leadingExponent);
    result.scaleExponent = k;

    std::vector<Cluster> clusters;
    if (!findSimpleRootsQuickly(b, clusters)) {
        std::vector<Approximation> approximations;
        if (!solve(b, approximations)) {
            result.status = RootsStatus::SolverFailed;
            result.roots.clear();
            return result;
        }
        clusters = clusterRoots(b, approximations);
    }
    makeConjugateSymmetric(clusters);
    for (const Cluster& c : clusters) {
        result.roots.push_back(
            {{std::ldexp(c.centre.real(), k), std::ldexp(c.centre.imag(), k)}, c.multiplicity});
    }
    std::sort(result.roots.begin(), result.roots.end(), comesFirst);
    return result;
}

PolynomialRoots findRoots(const Polynomial& p) {
    if (const int degree = p.trimmedDegree(); degree > MaxDegree) {
        PolynomialRoots refused;
        refused.status = RootsStatus::DegreeTooHigh;
        refused.degree = degree;
        return refused;
    }
    return findRoots(p.coefficients());
}

}  // namespace corvane

// GCC names AddressSanitizer with a macro, clang (the fuzzing build) only through
// __has_feature.
#if defined(__SANITIZE_ADDRESS__)
#define CORVANE_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CORVANE_ADDRESS_SANITIZER 1
#endif
#endif

#if defined(CORVANE_ADDRESS_SANITIZER)
// MPSolve 3.2.1 loses a few bytes of every solve that meets an exactly multiple root,
// inside its own allocator; nothing the caller holds can free them.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:mps_malloc\n";
}
#endif
