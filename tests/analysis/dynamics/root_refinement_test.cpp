// Covers analysis/dynamics/root_refinement.cpp: isolated roots refined in double-double
// come out as the roots computed at 256 bits truncated towards zero, bit for bit, and the
// refinement declines what it cannot decide.
#include <gtest/gtest.h>

#include <gmp.h>
#include <mps/mps.h>

#include <cmath>
#include <complex>
#include <cstdlib>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "root_refinement.h"
#include "test_polynomial.h"

namespace corvane {
namespace {

using Complex = std::complex<double>;

using test::fromRoots;

std::vector<Complex> withConjugates(const std::vector<Complex>& upper) {
    std::vector<Complex> all;
    for (const Complex r : upper) {
        all.push_back(r);
        if (r.imag() != 0.0) all.push_back(std::conj(r));
    }
    return all;
}

struct Family {
    std::string name;
    std::vector<Complex> roots;
};

std::vector<Family> families() {
    constexpr double Pi = std::numbers::pi;
    std::vector<Family> list;
    // Even orders: an odd one has a real root that may be a double itself.
    for (const int order : {4, 10, 24}) {
        std::vector<Complex> poles;
        for (int k = 0; k < order; ++k)
            poles.push_back(std::polar(1.0, Pi / 2 + Pi * (2 * k + 1) / (2.0 * order)));
        list.push_back({"Butterworth" + std::to_string(order), poles});
    }
    std::vector<Complex> spread;
    for (int k = 0; k < 12; ++k)
        spread.emplace_back(-std::pow(10.0, (k - 6) * 0.5) * 1.37, 0.0);
    list.push_back({"RealPolesOverSixDecades", spread});
    std::vector<Complex> sharp;
    for (int k = 0; k < 10; ++k)
        sharp.push_back(std::polar(0.3 + 0.17 * k, std::numbers::pi / 2 + 0.01));
    list.push_back({"TenPairsOfHighQ", withConjugates(sharp)});
    // An even polynomial: its roots lie on the axis exactly, and their real parts, zero,
    // are what the refinement leaves below 2^-56.
    std::vector<Complex> lossless;
    for (int k = 0; k < 9; ++k)
        lossless.emplace_back(0.0, 0.2 + 0.31 * k);
    list.push_back({"LosslessOnTheAxis", withConjugates(lossless)});
    std::mt19937 random(5);
    std::uniform_real_distribution<double> magnitude(-2.0, 2.0);
    std::uniform_real_distribution<double> angle(0.1, Pi / 2 - 0.1);
    std::vector<Complex> stable{{-std::pow(10.0, magnitude(random)), 0.0}};
    for (int k = 0; k < 12; ++k)
        stable.push_back(std::polar(std::pow(10.0, magnitude(random)), Pi - angle(random)));
    list.push_back({"RandomStableOfDegree25", withConjugates(stable)});
    return list;
}

// MPSolve on b with the output goal and precision given.
class Solve {
public:
    Solve(const std::vector<double>& b, mps_output_goal goal, long bits)
        : context_(singleThreadContext()),
          polynomial_(mps_monomial_poly_new(context_, static_cast<long>(b.size()) - 1)) {
        for (std::size_t i = 0; i < b.size(); ++i)
            mps_monomial_poly_set_coefficient_d(context_, polynomial_, static_cast<long>(i), b[i], 0.0);
        mps_context_set_input_poly(context_, MPS_POLYNOMIAL(polynomial_));
        mps_context_set_output_prec(context_, bits);
        mps_context_set_output_goal(context_, goal);
        mps_mpsolve(context_);
    }
    ~Solve() {
        mps_monomial_poly_free(context_, MPS_POLYNOMIAL(polynomial_));
        mps_context_free(context_);
    }
    Solve(const Solve&) = delete;
    Solve& operator=(const Solve&) = delete;

    std::vector<RootDisc> discs() const {
        const int n = mps_context_get_degree(context_);
        cplx_t* roots = nullptr;
        double* radii = nullptr;
        mps_context_get_roots_d(context_, &roots, &radii);
        std::vector<RootDisc> out;
        for (int i = 0; i < n; ++i)
            out.push_back({{cplx_Re(roots[i]), cplx_Im(roots[i])}, radii[i]});
        std::free(roots);
        std::free(radii);
        return out;
    }
    // The discs as MPSolve carries them: centres past 53 bits as value + remainder, each
    // value the centre truncated towards zero by GMP.
    std::vector<RootDisc> carriedDiscs() const {
        const int n = mps_context_get_degree(context_);
        mpc_t* roots = nullptr;
        rdpe_t* radii = nullptr;
        mps_context_get_roots_m(context_, &roots, &radii);
        std::vector<RootDisc> out;
        mpf_t rest;
        mpf_init2(rest, 4096);
        const auto split = [&](const mpf_t x, double& rem) {
            const double leading = mpf_get_d(x);
            mpf_set_d(rest, leading);
            mpf_sub(rest, x, rest);
            rem = mpf_get_d(rest);
            return leading;
        };
        for (int i = 0; i < n; ++i) {
            double reRest = 0.0;
            double imRest = 0.0;
            const double re = split(mpc_Re(roots[i]), reRest);
            const double im = split(mpc_Im(roots[i]), imRest);
            out.push_back({{re, im}, rdpe_get_d(radii[i]), {reRest, imRest}});
        }
        mpf_clear(rest);
        mpc_vclear(roots, n);
        std::free(roots);
        std::free(radii);
        return out;
    }
private:
    // More threads would change the last bits from run to run.
    static mps_context* singleThreadContext() {
        setenv("MPS_JOBS", "1", 1);
        return mps_context_new();
    }

    mps_context* context_;
    mps_monomial_poly* polynomial_;
};

// The reference root nearest `z`.
Complex nearest(const std::vector<Complex>& roots, Complex z) {
    Complex best = roots.front();
    for (const Complex r : roots)
        if (std::abs(r - z) < std::abs(best - z)) best = r;
    return best;
}

class RefinedFamily : public testing::TestWithParam<Family> {};

TEST_P(RefinedFamily, IsEveryRootAt256BitsTruncatedToDoubles) {
    const std::vector<double> b = fromRoots(GetParam().roots);
    const Solve isolated(b, MPS_OUTPUT_GOAL_ISOLATE, 53);
    std::vector<RootDisc> roots = isolated.carriedDiscs();
    ASSERT_TRUE(refineIsolatedRoots(b, roots));
    std::vector<Complex> reference;
    for (const RootDisc& d : Solve(b, MPS_OUTPUT_GOAL_APPROXIMATE, 256).carriedDiscs())
        reference.push_back(d.value);
    const std::vector<RootDisc> mpsolve = Solve(b, MPS_OUTPUT_GOAL_APPROXIMATE, 53).discs();
    for (std::size_t i = 0; i < roots.size(); ++i) {
        const Complex z = roots[i].value;
        const Complex exact = nearest(reference, z);
        const double negligible = 0x1p-56 * std::abs(exact);
        // A coordinate made zero was within 2^-56 of the root's magnitude; every other
        // one is the 256-bit value truncated, as MPSolve's own refinement gives it.
        for (const auto& [found, truth, theirs] :
             {std::tuple(z.real(), exact.real(), mpsolve[i].value.real()),
              std::tuple(z.imag(), exact.imag(), mpsolve[i].value.imag())}) {
            if (found == 0.0) {
                EXPECT_LE(std::fabs(truth), negligible) << i;
            } else {
                EXPECT_EQ(found, truth) << i;
                EXPECT_EQ(found, theirs) << i;
            }
        }
        // Far below the uncertainty findRoots gives a root, 2e-13 / n of its magnitude.
        EXPECT_LT(roots[i].radius, 1e-17 * std::abs(exact)) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Families, RefinedFamily, testing::ValuesIn(families()),
                         [](const testing::TestParamInfo<Family>& info) { return info.param.name; });

TEST(RootRefinementTest, DeclinesWhatItCannotDecide) {
    // u³ + 2u² + 2u + 1 = (u + 1)(u² + u + 1): the root −1 is a double, and which side of
    // it MPSolve's approximation falls decides its truncation.
    const std::vector<double> exactRoot{1.0, 2.0, 2.0, 1.0};
    std::vector<RootDisc> roots = Solve(exactRoot, MPS_OUTPUT_GOAL_ISOLATE, 53).discs();
    EXPECT_FALSE(refineIsolatedRoots(exactRoot, roots));

    const std::vector<double> b = fromRoots(withConjugates({{-0.3, 0.0}, {-0.2, 1.1}}));
    const std::vector<RootDisc> isolated = Solve(b, MPS_OUTPUT_GOAL_ISOLATE, 53).discs();
    struct Case {
        const char* what;
        std::vector<RootDisc> discs;
    };
    std::vector<Case> cases{{"overlapping discs", isolated},
                            {"a disc too small to hold a Newton step", isolated},
                            {"one disc short", isolated},
                            {"an infinite radius", isolated}};
    cases[0].discs[1].value = cases[0].discs[2].value;
    cases[1].discs[0].value += 1e-3;
    cases[1].discs[0].radius = 1e-9;
    cases[2].discs.pop_back();
    cases[3].discs[0].radius = HUGE_VAL;
    for (Case& c : cases)
        EXPECT_FALSE(refineIsolatedRoots(b, c.discs)) << c.what;

    std::vector<RootDisc> quadratic = Solve({2.0, 3.0, 1.0}, MPS_OUTPUT_GOAL_ISOLATE, 53).discs();
    EXPECT_FALSE(refineIsolatedRoots({2.0, 3.0, 1.0}, quadratic)) << "below degree 3";
}

}  // namespace
}  // namespace corvane
