// Fuzz target: the partial fractions of the time response, checked by a second method.
// The input builds a denominator from poles it chooses (real or complex pairs, each of
// multiplicity 1 to 5, on a scale from 1e-6 to 1e6) and a numerator of small integer
// coefficients up to two degrees above it. x(t) is inverted, and the Laplace transform of
// its terms, t^n·e^(σt)·(a·cos ωt + b·sin ωt), summed in closed form at points right of
// every pole, must give back N(s)/D(s) less its impulses. A difference beyond rounding
// (of the terms and of N(s)/D(s) near a cluster of poles) aborts: a wrong residue, a lost term, a wrong power. Inputs whose poles the root finder
// does not find as built are left to the root finder's own tests. The curve's measures
// must all be finite, its times not negative.
#include <algorithm>
#include <cmath>
#include <complex>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <vector>

#include "time_measurements.h"
#include "time_response.h"

namespace {

using Complex = std::complex<double>;

struct BuiltPole {
    Complex value;  // the upper member of a pair
    int multiplicity;
};

class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return next_ >= size_; }
    std::uint8_t take() { return next_ < size_ ? data_[next_++] : 0; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t next_ = 0;
};

// p ← p·(s² + b·s + c) or p·(s + c) when `quadratic` is false.
void multiply(std::vector<double>& p, double b, double c, bool quadratic) {
    std::vector<double> product(p.size() + (quadratic ? 2 : 1), 0.0);
    for (std::size_t i = 0; i < p.size(); ++i) {
        product[i] += c * p[i];
        if (quadratic) {
            product[i + 1] += b * p[i];
            product[i + 2] += p[i];
        } else {
            product[i + 1] += p[i];
        }
    }
    p = std::move(product);
}

corvane::Polynomial polynomialOf(const std::vector<double>& c) {
    corvane::Polynomial p;
    p.degree = static_cast<int>(c.size()) - 1;
    p.constant = 1.0;
    std::copy(c.begin(), c.end(), p.coef.begin());
    return p;
}

Complex valueAt(const std::vector<double>& c, Complex s) {
    Complex v = 0.0;
    for (std::size_t i = c.size(); i-- > 0;) v = v * s + c[i];
    return v;
}

// Σ|c_i|·|s|^i: how far the rounding of the coefficients (and of Horner's sums) can move
// P(s). Near a cluster of poles D(s) is far smaller than its terms, and the computed D is
// no longer quite the D whose poles were built.
double termSizes(const std::vector<double>& c, Complex s) {
    double sum = 0.0;
    for (std::size_t i = c.size(); i-- > 0;) sum = sum * std::abs(s) + std::fabs(c[i]);
    return sum;
}

bool foundAsBuilt(const corvane::PolynomialRoots& found, const std::vector<BuiltPole>& built,
                  double scale) {
    if (found.status != corvane::RootsStatus::Found) return false;
    for (const BuiltPole& pole : built) {
        const bool matched = std::any_of(found.roots.begin(), found.roots.end(), [&](const auto& r) {
            return std::abs(r.value - pole.value) <= 1e-9 * scale &&
                   r.multiplicity == pole.multiplicity;
        });
        if (!matched) return false;
    }
    return true;
}

// The transform of one term and its size, for the rounding allowed in the sum.
Complex termTransform(const corvane::TimeTerm& term, Complex s, double& size) {
    double factorial = 1.0;
    for (int i = 2; i <= term.power; ++i) factorial *= i;
    const Complex p(term.sigma, term.omega);
    const Complex upper = factorial / std::pow(s - p, term.power + 1);
    Complex value;
    if (term.omega == 0.0) {
        value = term.a * upper;
    } else {
        const Complex lower = factorial / std::pow(s - std::conj(p), term.power + 1);
        value = 0.5 * (Complex(term.a, -term.b) * upper + Complex(term.a, term.b) * lower);
    }
    size += std::abs(value);
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes bytes(data, size);
    const double scale = std::pow(10.0, static_cast<int>(bytes.take() % 13) - 6);
    std::vector<double> d{1.0};
    std::vector<BuiltPole> built;
    const int groups = 1 + bytes.take() % 4;
    for (int g = 0; g < groups && !bytes.empty(); ++g) {
        const std::uint8_t kind = bytes.take();
        const int multiplicity = 1 + kind % 5;
        const bool pair = kind & 0x80;
        const double sigma = static_cast<std::int8_t>(bytes.take()) / 8.0 * scale;
        const double omega = (1 + bytes.take() % 32) / 4.0 * scale;
        const int degree = static_cast<int>(d.size()) - 1 + multiplicity * (pair ? 2 : 1);
        if (degree > 20) break;
        const Complex value = pair ? Complex(sigma, omega) : Complex(sigma, 0.0);
        // A pole met twice is one pole of the summed multiplicity: keep the poles apart.
        if (std::any_of(built.begin(), built.end(),
                        [&](const BuiltPole& b) { return std::abs(b.value - value) < 0.5 * scale; }))
            continue;
        built.push_back({value, multiplicity});
        for (int m = 0; m < multiplicity; ++m)
            multiply(d, pair ? -2.0 * sigma : 0.0, pair ? sigma * sigma + omega * omega : -sigma, pair);
    }
    const std::size_t numeratorDegree = bytes.take() % (d.size() + 2);
    std::vector<double> n(numeratorDegree + 1);
    // Coefficients weighed by the scale, so that no power of s dominates the rest.
    for (std::size_t i = 0; i < n.size(); ++i)
        n[i] = static_cast<std::int8_t>(bytes.take()) * std::pow(scale, static_cast<double>(d.size() - 1) - static_cast<double>(i));
    if (std::all_of(n.begin(), n.end(), [](double c) { return c == 0.0; })) n[0] = 1.0;

    const corvane::Polynomial numerator = polynomialOf(n);
    const corvane::Polynomial denominator = polynomialOf(d);
    const corvane::TimeResponse x = corvane::inverseLaplace(numerator, denominator);
    if (x.status != corvane::TimeResponseStatus::Ready) {
        std::fprintf(stderr, "polos de um denominador construído não calculados\n");
        std::abort();
    }
    if (!foundAsBuilt(x.poles, built, scale)) return 0;

    double rightmost = 0.0;  // a constant denominator has no pole to stay right of
    for (const BuiltPole& pole : built) rightmost = std::max(rightmost, pole.value.real());
    for (const double y : {0.0, 0.7, 3.0}) {
        const Complex s(rightmost + scale, y * scale);
        const Complex whole = valueAt(n, s) / valueAt(d, s);
        Complex impulses = 0.0;
        double size = std::abs(whole);
        for (std::size_t k = x.impulses.size(); k-- > 0;) impulses = impulses * s + x.impulses[k];
        size += std::abs(impulses);
        Complex terms = 0.0;
        for (const corvane::TimeTerm& term : x.terms) terms += termTransform(term, s, size);
        const double difference = std::abs(whole - impulses - terms);
        const double ofD = std::abs(valueAt(d, s));
        const double rounding =
            1e-7 * size + 100.0 * std::numeric_limits<double>::epsilon() *
                              (termSizes(n, s) + termSizes(d, s) * std::abs(whole)) / ofD;
        if (!(difference <= rounding)) {
            std::fprintf(stderr,
                         "frações parciais erradas em s = %g%+gj: N/D = %g%+gj, soma = %g%+gj\n",
                         s.real(), s.imag(), whole.real(), whole.imag(),
                         (impulses + terms).real(), (impulses + terms).imag());
            std::abort();
        }
    }

    // The measures of the same curve: never a number that is not finite, never a
    // negative time.
    const corvane::TimeMeasures m = corvane::measureTimeResponse(x);
    const auto bad = [](const std::optional<double>& v) {
        return v && !(std::isfinite(*v) && *v >= 0.0);
    };
    if (!std::isfinite(m.finalValue) || (m.peakValue && !std::isfinite(*m.peakValue)) ||
        !(m.peakTime >= 0.0) || !std::isfinite(m.peakTime) || bad(m.riseTime) ||
        bad(m.settlingTime) || (m.overshoot && !std::isfinite(*m.overshoot))) {
        std::fprintf(stderr, "medidas não finitas ou negativas\n");
        std::abort();
    }
    return 0;
}
