#include "coefficient_margins.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace corvane {

namespace {

// Up to this many other terms every pair's crossing is a candidate, as it always was for the
// circuits of the default limits; past it, a polynomial of degree 300 would ask for 10^9
// evaluations per coefficient.
constexpr std::size_t ManyTerms = MaxDegree + 1;

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
    const int degree = std::clamp(p.degree, 0, p.capacityDegree());
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

// The least gap over the band between the largest of the others and `term`, for many
// others. Only the vertices of the others' upper hull are ever the largest (Newton's
// polygon again), and the largest changes only where two neighbours on it cross, so the gap's
// corners are those crossings, where either neighbour's term is the largest: a few
// operations per vertex rather than one per pair of terms.
double leastGapAlongHull(const std::vector<Point>& hull, const Point& term,
                         const FrequencyBand& band) {
    const auto gap = [&](double largest, double x) {
        return largest - (term.weight + term.power * x);
    };
    double least = std::min(gap(largestTerm(hull, band.low), band.low),
                            gap(largestTerm(hull, band.high), band.high));
    for (std::size_t a = 0; a + 1 < hull.size(); ++a) {
        const Point& left = hull[a];
        const Point& right = hull[a + 1];
        const double x = (left.weight - right.weight) / (right.power - left.power);
        if (!(x > band.low && x < band.high)) continue;
        least = std::min(least, gap(std::max(left.weight + left.power * x,
                                             right.weight + right.power * x), x));
    }
    return least;
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
    CoefficientMargins margins(p.coef.size());
    const std::vector<Point> points = nonZeroPoints(p);
    if (points.size() < 2) return margins;
    for (std::size_t k = 0; k < points.size(); ++k) {
        std::vector<Point> others = points;
        others.erase(others.begin() + static_cast<std::ptrdiff_t>(k));
        // The gap between the largest other term and this one is convex in log10 ω: its
        // least value over the band is at an end or where two other terms cross.
        std::vector<double> candidates{band.low, band.high};
        if (others.size() > ManyTerms) {
            margins[static_cast<std::size_t>(points[k].power)] =
                leastGapAlongHull(upperHull(others), points[k], band);
            continue;
        }
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
    CoefficientMargins margins(p.coef.size());
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
        for (int i = 0; i < static_cast<int>(margins.size()); ++i) {
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
