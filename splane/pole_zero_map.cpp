#include "pole_zero_map.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "plane_drawing.h"
#include "plot_frame.h"
#include "plotter.h"
#include "polynomial_roots.h"

namespace corvane {

namespace {

// Why the roots of one polynomial are missing from the map; empty when they are there.
std::string rootsProblem(const PolynomialRoots& roots, int curve, RootRole role) {
    const char* what = role == RootRole::Pole ? "os polos" : "os zeros";
    switch (roots.status) {
        case RootsStatus::Found:
            return {};
        case RootsStatus::ZeroPolynomial:
            return "Curva " + std::to_string(curve) + ": " + what + " não existem (polinômio nulo)";
        case RootsStatus::NotFinite:
        case RootsStatus::SolverFailed:
            break;
        case RootsStatus::DegreeTooHigh:
            return "Curva " + std::to_string(curve) + ": " + what + " não são calculados acima do grau " +
                   std::to_string(MaxDegree);
    }
    return "Curva " + std::to_string(curve) + ": não foi possível calcular " + what;
}

void addRoots(PoleZeroMap& map, const Polynomial& p, int curve, RootRole role) {
    const PolynomialRoots roots = findRoots(p);
    const std::string problem = rootsProblem(roots, curve, role);
    if (!problem.empty()) {
        map.problems.push_back(problem);
        return;
    }
    for (const PolynomialRoot& root : roots.roots)
        map.roots.push_back({curve, role, root.value, root.multiplicity});
}

std::string number(double value, int digits) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*g", digits, value == 0.0 ? 0.0 : value);
    return text;
}

}  // namespace

PoleZeroMap mapOfCurves(const PlotCurves& curves, int count) {
    PoleZeroMap map;
    for (int k = 1; k <= std::min(count, MaxCurves); ++k) {
        const PlotCurve& curve = curves[static_cast<std::size_t>(k)];
        addRoots(map, curve.denominator, k, RootRole::Pole);
        addRoots(map, curve.numerator, k, RootRole::Zero);
    }
    return map;
}

std::vector<std::complex<double>> rootValues(const PoleZeroMap& map) {
    std::vector<std::complex<double>> values;
    values.reserve(map.roots.size());
    for (const MapRoot& root : map.roots)
        values.push_back(root.value);
    return values;
}

PlaneRegion fittedRegion(std::span<const std::complex<double>> points) {
    double reMin = 0.0;
    double reMax = 0.0;
    double imMax = 0.0;
    double radius = 0.0;
    for (const std::complex<double>& p : points) {
        // Beyond this a region that holds the point and the origin has no finite width.
        if (!(std::hypot(p.real(), p.imag()) <= LargestFittedMagnitude)) continue;
        reMin = std::min(reMin, p.real());
        reMax = std::max(reMax, p.real());
        imMax = std::max(imMax, std::fabs(p.imag()));
        radius = std::max(radius, std::hypot(p.real(), p.imag()));
    }
    // A sixth of the farthest root keeps its marker and its multiplicity clear of the
    // frame.
    const double margin = radius / 6.0;
    if (!(margin > 0.0)) return {};
    // Conjugate roots are drawn about the real axis, so it sits in the middle.
    return {reMin - margin, reMax + margin, -imMax - margin, imMax + margin};
}

PlaneRegion PlaneFrame::shown() const {
    const std::complex<double> low = valueAt(x0, y1);
    const std::complex<double> high = valueAt(x1, y0);
    return {low.real(), high.real(), low.imag(), high.imag()};
}

std::optional<PlaneFrame> makePlaneFrame(int width, int height, const PlaneRegion& region) {
    const std::optional<PlotRectangle> rectangle = plotRectangle(width, height);
    if (!rectangle || !hasUsableSpans(region)) return std::nullopt;
    PlaneFrame frame;
    frame.x0 = rectangle->x0;
    frame.x1 = rectangle->x1;
    frame.y0 = rectangle->y0;
    frame.y1 = rectangle->y1;
    const double reSpan = region.reMax - region.reMin;
    const double imSpan = region.imMax - region.imMin;
    // One scale for both axes: the smaller one, so the whole region fits.
    frame.scale = std::min((frame.x1 - frame.x0) / reSpan, (frame.y1 - frame.y0) / imSpan);
    if (!(frame.scale > 0.0) || !std::isfinite(frame.scale)) return std::nullopt;
    const double reCentre = region.reMin + reSpan / 2.0;
    const double imCentre = region.imMin + imSpan / 2.0;
    frame.originX = (frame.x0 + frame.x1) / 2.0 - frame.scale * reCentre;
    frame.originY = (frame.y0 + frame.y1) / 2.0 + frame.scale * imCentre;
    return frame;
}

PlaneRegion zoomRegion(const PlaneRegion& region, std::complex<double> centre, double factor) {
    const auto toward = [factor](double edge, double fixed) {
        return fixed + (edge - fixed) / factor;
    };
    const PlaneRegion zoomed{
        toward(region.reMin, centre.real()), toward(region.reMax, centre.real()),
        toward(region.imMin, centre.imag()), toward(region.imMax, centre.imag())};
    // A zoom that the doubles cannot tell apart any more keeps the region it had.
    const bool usable = zoomed.reMax > zoomed.reMin && zoomed.imMax > zoomed.imMin &&
                        std::isfinite(zoomed.reMax - zoomed.reMin) &&
                        std::isfinite(zoomed.imMax - zoomed.imMin);
    return usable ? zoomed : region;
}

PlaneRegion panRegion(const PlaneRegion& region, std::complex<double> shift) {
    const PlaneRegion moved{region.reMin + shift.real(), region.reMax + shift.real(),
                            region.imMin + shift.imag(), region.imMax + shift.imag()};
    const bool usable = moved.reMax > moved.reMin && moved.imMax > moved.imMin &&
                        std::isfinite(moved.reMin) && std::isfinite(moved.reMax) &&
                        std::isfinite(moved.imMin) && std::isfinite(moved.imMax);
    return usable ? moved : region;
}

std::optional<PlaneRegion> planeKey(int keyCode, const PlaneRegion& region) {
    const double width = region.reMax - region.reMin;
    const double height = region.imMax - region.imMin;
    const std::complex<double> centre{region.reMin + width / 2, region.imMin + height / 2};
    switch (keyCode) {
        case KeyLeft:
            return panRegion(region, {-width / 4, 0});
        case KeyRight:
            return panRegion(region, {width / 4, 0});
        case KeyUp:
            return panRegion(region, {0, height / 4});
        case KeyDown:
            return panRegion(region, {0, -height / 4});
        case KeyA:
        case KeyKeypadPlus:
            return zoomRegion(region, centre, 2.0);
        case KeyR:
        case KeyKeypadMinus:
            return zoomRegion(region, centre, 0.5);
        default:
            return std::nullopt;
    }
}

PlaneReading readPlane(std::complex<double> s, const PoleZeroMap& map) {
    PlaneReading reading;
    reading.s = s;
    reading.omega0 = std::abs(s);
    if (reading.omega0 > 0.0) {
        reading.zeta = -s.real() / reading.omega0;
        if (*reading.zeta != 0.0) reading.quality = 1.0 / (2.0 * *reading.zeta);
    }
    double best = INFINITY;
    for (const MapRoot& root : map.roots) {
        const double distance = std::abs(root.value - s);
        if (distance < best) {
            best = distance;
            reading.nearest = root;
        }
    }
    return reading;
}

std::string complexText(std::complex<double> value, int digits) {
    const double re = value.real();
    const double im = value.imag();
    if (im == 0.0) return number(re, digits);
    // Built by appending: GCC 12 at -O2 takes a literal + string for an overlapping copy
    // (-Wrestrict).
    std::string imaginary = "j";
    imaginary += number(std::fabs(im), digits);
    if (re == 0.0) return im < 0.0 ? std::string("-").append(imaginary) : imaginary;
    std::string text = number(re, digits);
    text += im < 0.0 ? " - " : " + ";
    text += imaginary;
    return text;
}

const char* roleName(RootRole role) {
    return role == RootRole::Pole ? "polo" : "zero";
}

std::string planeReadingText(const PlaneReading& reading,
                             const std::array<std::string, MaxCurves + 1>& curveLabels) {
    constexpr int Digits = 4;
    std::string text = "s = " + complexText(reading.s, Digits) +
                       " rad/s   ω0 = " + number(reading.omega0, Digits) + " rad/s (" +
                       number(reading.omega0 / (2.0 * std::numbers::pi), Digits) + " Hz)   ζ = " +
                       (reading.zeta ? number(*reading.zeta, Digits) : "indefinido") + "   Q = " +
                       (reading.quality ? number(*reading.quality, Digits)
                        : reading.zeta  ? "infinito"
                                        : "indefinido");
    if (reading.nearest) {
        const MapRoot& root = *reading.nearest;
        const std::string& label = curveLabels[static_cast<std::size_t>(root.curve)];
        text +=
            "   mais perto: " + std::string(roleName(root.role)) + " " +
            complexText(root.value, Digits) +
            (root.multiplicity > 1 ? " (ordem " + std::to_string(root.multiplicity) + ")" : "") +
            " da curva " + std::to_string(root.curve);
        if (!label.empty()) text += " (" + label + ")";
    }
    return text;
}

}  // namespace corvane
