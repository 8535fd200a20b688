#include "coefficient_margins.h"

#include <algorithm>
#include <cmath>
#include <limits>
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

std::vector<Point> nonZeroPoints(const Polynomial& p) {
    std::vector<Point> points;
    const int degree = std::clamp(p.degree, 0, MaxDegree);
    for (int i = 0; i <= degree; ++i) {
        if (p.coef[i] != 0.0 && std::isfinite(p.coef[i]))
            points.push_back({static_cast<double>(i), std::log10(std::fabs(p.coef[i]))});
    }
    return points;
}

// The largest of the terms `others` at log10 ω = x.
double largestTerm(const std::vector<Point>& others, double x) {
    double largest = -std::numeric_limits<double>::infinity();
    for (const Point& q : others)
        largest = std::max(largest, q.weight + q.power * x);
    return largest;
}

}  // namespace

std::optional<FrequencyBand> rootBand(const Polynomial& p) {
    const std::vector<Point> hull = upperHull(nonZeroPoints(p));
    if (hull.size() < 2) return std::nullopt;
    const auto rootAt = [&](std::size_t edge) {
        return -(hull[edge + 1].weight - hull[edge].weight) / (hull[edge + 1].power - hull[edge].power);
    };
    // The slopes fall along an upper hull, so the roots grow from the first edge to the last.
    return FrequencyBand{rootAt(0), rootAt(hull.size() - 2)};
}

CoefficientMargins bandMargins(const Polynomial& p, const FrequencyBand& band) {
    CoefficientMargins margins{};
    const std::vector<Point> points = nonZeroPoints(p);
    if (points.size() < 2) return margins;
    for (std::size_t k = 0; k < points.size(); ++k) {
        std::vector<Point> others = points;
        others.erase(others.begin() + static_cast<std::ptrdiff_t>(k));
        // The gap between the largest other term and this one is convex in log10 ω: its
        // least value over the band is at an end or where two other terms cross.
        std::vector<double> candidates{band.low, band.high};
        for (std::size_t a = 0; a < others.size(); ++a) {
            for (std::size_t b = a + 1; b < others.size(); ++b) {
                const double x = (others[a].weight - others[b].weight) /
                                 (others[b].power - others[a].power);
                if (x > band.low && x < band.high) candidates.push_back(x);
            }
        }
        double least = std::numeric_limits<double>::infinity();
        for (const double x : candidates) {
            least = std::min(least, largestTerm(others, x) -
                                        (points[k].weight + points[k].power * x));
        }
        margins[static_cast<std::size_t>(points[k].power)] = least;
    }
    return margins;
}

CoefficientMargins coefficientMargins(const Polynomial& p) {
    CoefficientMargins margins{};
    const std::vector<Point> points = nonZeroPoints(p);
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

std::vector<ClearedTerm> termsToClear(const Polynomial& p, double dispersion,
                                      const std::optional<FrequencyBand>& band) {
    std::vector<ClearedTerm> cleared;
    if (!(dispersion > 0.0)) return cleared;
    // A tiny allowance keeps a term whose margin equals the dispersion exactly, whatever
    // the rounding of the logarithms.
    const double limit = std::log10(dispersion) + 1e-12;
    Polynomial standing = p;
    for (;;) {
        CoefficientMargins margins = coefficientMargins(standing);
        if (band) {
            const CoefficientMargins across = bandMargins(standing, *band);
            for (std::size_t i = 0; i < margins.size(); ++i) {
                if (across[i] && (!margins[i] || *across[i] > *margins[i])) margins[i] = across[i];
            }
        }
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
