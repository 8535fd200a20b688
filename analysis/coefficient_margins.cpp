#include "coefficient_margins.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace corvane {

namespace {

struct Point {
    double power;
    double weight;  // log10 |c|
};

// Andrew's monotone chain, upper half, on points ordered by power.
std::vector<Point> upperHull(const std::vector<Point>& points) {
    std::vector<Point> hull;
    for (const Point& p : points) {
        while (hull.size() >= 2) {
            const Point& a = hull[hull.size() - 2];
            const Point& b = hull.back();
            // b is kept only when it lies strictly above the chord from a to p.
            if ((b.weight - a.weight) * (p.power - a.power) >
                (p.weight - a.weight) * (b.power - a.power)) {
                break;
            }
            hull.pop_back();
        }
        hull.push_back(p);
    }
    return hull;
}

// The hull's height at `power`, its end edges extended beyond its ends. A vertex gives back
// its own weight exactly.
double heightAt(const std::vector<Point>& hull, double power) {
    std::size_t edge = 0;
    while (edge + 2 < hull.size() && power > hull[edge + 1].power)
        ++edge;
    const Point& a = hull[edge];
    const Point& b = hull[edge + 1];
    if (power == a.power) return a.weight;
    if (power == b.power) return b.weight;
    return a.weight + (b.weight - a.weight) * (power - a.power) / (b.power - a.power);
}

}  // namespace

CoefficientMargins coefficientMargins(const Polynomial& p) {
    CoefficientMargins margins{};
    std::vector<Point> points;
    const int degree = std::clamp(p.degree, 0, MaxDegree);
    for (int i = 0; i <= degree; ++i) {
        if (p.coef[i] != 0.0 && std::isfinite(p.coef[i]))
            points.push_back({static_cast<double>(i), std::log10(std::fabs(p.coef[i]))});
    }
    if (points.size() < 3) return margins;
    for (std::size_t k = 0; k < points.size(); ++k) {
        std::vector<Point> others = points;
        others.erase(others.begin() + static_cast<std::ptrdiff_t>(k));
        const std::vector<Point> hull = upperHull(others);
        const int i = static_cast<int>(points[k].power);
        margins[static_cast<std::size_t>(i)] = heightAt(hull, points[k].power) - points[k].weight;
    }
    return margins;
}

std::vector<ClearedTerm> termsToClear(const Polynomial& p, double dispersion) {
    std::vector<ClearedTerm> cleared;
    if (!(dispersion > 0.0)) return cleared;
    // A tiny allowance keeps a term whose margin equals the dispersion exactly, whatever
    // the rounding of the logarithms.
    const double limit = std::log10(dispersion) + 1e-12;
    Polynomial standing = p;
    for (;;) {
        const CoefficientMargins margins = coefficientMargins(standing);
        int farthest = -1;
        for (int i = 0; i <= MaxDegree; ++i) {
            const auto& margin = margins[static_cast<std::size_t>(i)];
            // On a tie the higher power goes: cancellation leaves its residue on top more
            // often, where the structure of the matrix promises a degree the values do not
            // reach.
            if (margin && *margin > limit &&
                (farthest < 0 || *margin >= *margins[static_cast<std::size_t>(farthest)])) {
                farthest = i;
            }
        }
        if (farthest < 0) return cleared;
        cleared.push_back({farthest, *margins[static_cast<std::size_t>(farthest)]});
        standing.coef[static_cast<std::size_t>(farthest)] = 0.0;
    }
}

}  // namespace corvane
