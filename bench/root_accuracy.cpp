// The accuracy of the roots of network-function polynomials: the program's root finder
// (MPSolve at double precision, scaled, clusters merged) and the eigenvalues of Eigen's
// balanced companion matrix, each against the roots of the same double polynomial
// computed by MPSolve at 256 bits, and against the closed form. Prints one table row per
// polynomial: the largest relative error of any root.
#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include <mps/mps.h>
#include <unsupported/Eigen/Polynomials>

#include "polynomial_roots.h"

namespace {

using Complex = std::complex<double>;
constexpr double Pi = std::numbers::pi;

std::vector<double> fromRoots(const std::vector<Complex>& roots) {
    std::vector<std::complex<long double>> p{1.0L};
    for (const Complex r : roots) {
        std::vector<std::complex<long double>> q(p.size() + 1, 0.0L);
        for (std::size_t i = 0; i < p.size(); ++i) {
            q[i + 1] += p[i];
            q[i] -= std::complex<long double>(r.real(), r.imag()) * p[i];
        }
        p = q;
    }
    std::vector<double> c;
    for (const auto& x : p)
        c.push_back(static_cast<double>(x.real()));
    return c;
}

// Every root, repeated by multiplicity, of the program's root finder.
std::vector<Complex> program(const std::vector<double>& c) {
    std::vector<Complex> roots;
    for (const corvane::PolynomialRoot& r : corvane::findRoots(c).roots)
        roots.insert(roots.end(), static_cast<std::size_t>(r.multiplicity), r.value);
    return roots;
}

// The same polynomial scaled by the same power of two, so that Eigen gets the same help.
std::vector<Complex> eigen(const std::vector<double>& c) {
    const int n = static_cast<int>(c.size()) - 1;
    const int k = static_cast<int>(
        std::lround((std::log2(std::fabs(c[0])) - std::log2(std::fabs(c[n]))) / n));
    Eigen::VectorXd v(n + 1);
    for (int i = 0; i <= n; ++i)
        v[i] = std::ldexp(c[i], k * i - std::ilogb(c[n]) - k * n);
    Eigen::PolynomialSolver<double, Eigen::Dynamic> solver(v);
    std::vector<Complex> roots;
    for (const auto& r : solver.roots())
        roots.push_back(std::ldexp(1.0, k) * r);
    return roots;
}

// The exact roots of the double polynomial, to 256 bits, rounded to doubles.
std::vector<Complex> reference(const std::vector<double>& c) {
    mps_context* context = mps_context_new();
    const long n = static_cast<long>(c.size()) - 1;
    mps_monomial_poly* p = mps_monomial_poly_new(context, n);
    for (long i = 0; i <= n; ++i)
        mps_monomial_poly_set_coefficient_d(context, p, i, c[static_cast<std::size_t>(i)], 0.0);
    mps_context_set_input_poly(context, MPS_POLYNOMIAL(p));
    mps_context_set_output_prec(context, 256);
    mps_context_set_output_goal(context, MPS_OUTPUT_GOAL_APPROXIMATE);
    mps_mpsolve(context);
    mpc_t* roots = nullptr;
    rdpe_t* radii = nullptr;
    mps_context_get_roots_m(context, &roots, &radii);
    std::vector<Complex> out;
    for (long i = 0; i < n; ++i) {
        cdpe_t z;
        mpc_get_cdpe(z, roots[i]);
        cplx_t d;
        cdpe_get_x(d, z);
        out.emplace_back(cplx_Re(d), cplx_Im(d));
        mpc_clear(roots[i]);
    }
    free(roots);
    free(radii);
    mps_context_free(context);
    return out;
}

// The largest relative distance from each wanted root to its own nearest found root.
double worstError(const std::vector<Complex>& wanted, std::vector<Complex> found) {
    double worst = 0.0;
    for (const Complex w : wanted) {
        if (found.empty()) return HUGE_VAL;
        const auto nearest = std::min_element(found.begin(), found.end(), [&](Complex a, Complex b) {
            return std::abs(a - w) < std::abs(b - w);
        });
        worst = std::max(worst, std::abs(*nearest - w) / std::max(std::abs(w), 1e-300));
        found.erase(nearest);
    }
    return worst;
}

void row(const std::string& name, const std::vector<Complex>& exact) {
    const std::vector<double> c = fromRoots(exact);
    const auto mine = program(c);
    const auto theirs = eigen(c);
    const auto best = reference(c);
    std::printf("| %-34s | %8.1e | %8.1e | %8.1e | %8.1e |\n", name.c_str(),
                worstError(best, mine), worstError(best, theirs), worstError(exact, mine),
                worstError(exact, theirs));
}

std::vector<Complex> butterworth(int order, double omega) {
    std::vector<Complex> poles;
    for (int k = 0; k < order; ++k)
        poles.push_back(std::polar(omega, Pi / 2 + Pi * (2 * k + 1) / (2.0 * order)));
    return poles;
}

}  // namespace

int main() {
    std::printf("| %-34s | %-8s | %-8s | %-8s | %-8s |\n", "polynomial", "MPSolve", "Eigen",
                "MPSolve", "Eigen");
    std::printf("| %-34s | %-8s | %-8s | %-8s | %-8s |\n", "", "vs 256b", "vs 256b", "vs exact",
                "vs exact");
    std::printf("|%s|---|---|---|---|\n", std::string(36, '-').c_str());
    for (const int n : {3, 5, 9, 15, 25})
        row("Butterworth " + std::to_string(n) + " at 1 MHz", butterworth(n, 2 * Pi * 1e6));
    std::vector<Complex> spread;
    for (int k = 0; k < 12; ++k)
        spread.emplace_back(-std::pow(10.0, k), 0.0);
    row("real poles 1 to 1e11 rad/s", spread);
    std::vector<Complex> highQ;
    for (int k = 1; k <= 10; ++k) {
        highQ.emplace_back(-1e3 * k, 1e5 * k);
        highQ.emplace_back(-1e3 * k, -1e5 * k);
    }
    row("10 pairs of Q = 50", highQ);
    row("double pole (critical RLC)", {-1e4, -1e4});
    row("triple pole", {-1.0, -1.0, -1.0});
    std::vector<Complex> cascade;
    for (int k = 0; k < 5; ++k) {
        cascade.push_back(std::polar(1.0, 3 * Pi / 4));
        cascade.push_back(std::polar(1.0, -3 * Pi / 4));
    }
    row("5 identical 2nd-order sections", cascade);
    std::vector<Complex> circle;
    for (int k = 0; k < 50; ++k)
        circle.push_back(std::polar(1.0, (2 * k + 1) * Pi / 50));
    row("s^50 + 1", circle);
}
