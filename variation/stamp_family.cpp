#include "stamp_family.h"

#include <algorithm>

#include "quiet_analysis.h"

namespace corvane::variation {

RawFunctions rawFunctionsOf(const NetworkFunctions& functions, int n) {
    RawFunctions raw;
    raw.push_back(functions.denominator);
    for (int k = 1; k <= n; ++k)
        raw.push_back(functions.numerator[static_cast<std::size_t>(k)]);
    return raw;
}

NetworkFunctions asNetworkFunctions(const RawFunctions& raw) {
    NetworkFunctions f;
    f.denominator = raw[0];
    for (std::size_t k = 1; k < raw.size(); ++k)
        f.numerator[k] = raw[k];
    return f;
}

RawFunctions combination(const std::vector<const RawFunctions*>& ps,
                         const std::vector<double>& weights) {
    RawFunctions sum(ps.front()->size());
    for (std::size_t k = 0; k < sum.size(); ++k) {
        Polynomial& p = sum[k];
        p.constant = 1.0;
        for (std::size_t i = 0; i < ps.size(); ++i) {
            const std::span<const double> c = (*ps[i])[k].coefficients();
            p.setDegree(std::max(p.degree, static_cast<int>(c.size()) - 1));
            for (std::size_t j = 0; j < c.size(); ++j)
                p.coef[j] += weights[i] * c[j];
        }
    }
    return sum;
}

RunState withStampScaled(const RunState& run, int element, double factor) {
    RunState scaled = run;
    Element& e = scaled.ElementTable[static_cast<std::size_t>(element)];
    if (e.kind() == 'R') {
        e.value /= factor;
    } else if (e.kind() == 'K') {
        e.value *= factor;
        e.value2 *= factor;
    } else {
        e.value *= factor;
    }
    return scaled;
}

std::optional<StampFamily> StampFamily::of(const RunState& run, const RawFunctions& nominal,
                                           int element, const std::function<bool()>& stop) {
    StampFamily family;
    family.samples_.push_back(nominal);
    const bool coupling = run.ElementTable[static_cast<std::size_t>(element)].kind() == 'K';
    for (const double t : {2.0, 3.0}) {
        if (t == 3.0 && !coupling) break;
        const std::optional<NetworkFunctions> f =
            expandQuietly(withStampScaled(run, element, t), stop);
        if (!f) return std::nullopt;
        family.samples_.push_back(rawFunctionsOf(*f, run.variableCount));
    }
    return family;
}

RawFunctions StampFamily::at(double t) const {
    const RawFunctions& p1 = samples_[0];
    const RawFunctions& p2 = samples_[1];
    if (samples_.size() == 2) return combination({&p1, &p2}, {2.0 - t, t - 1.0});
    // Lagrange's parabola through t = 1, 2, 3.
    const RawFunctions& p3 = samples_[2];
    return combination({&p1, &p2, &p3},
                       {(t - 2) * (t - 3) / 2, -(t - 1) * (t - 3), (t - 1) * (t - 2) / 2});
}

RawFunctions StampFamily::scaledDerivative() const {
    const RawFunctions& p1 = samples_[0];
    const RawFunctions& p2 = samples_[1];
    if (samples_.size() == 2) return combination({&p1, &p2}, {-1.0, 1.0});
    const RawFunctions& p3 = samples_[2];
    return combination({&p1, &p2, &p3}, {-1.5, 2.0, -0.5});
}

}  // namespace corvane::variation
