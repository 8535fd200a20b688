// The pole-zero map of the listed functions: every distinct root with its multiplicity,
// the region of the s-plane that shows them, drawn with one scale on both axes, and what
// the pointer reads there (s, ω0, ζ, Q and the nearest root).
#pragma once

#include <array>
#include <complex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "plot_data.h"

namespace corvane {

enum class RootRole { Pole, Zero };

/// One distinct root of one curve, as the listing gives it (exact conjugate pairs,
/// multiplicities that add up to the degree).
struct MapRoot {
    int curve = 0;
    RootRole role = RootRole::Pole;
    std::complex<double> value;
    int multiplicity = 1;
};

struct PoleZeroMap {
    std::vector<MapRoot> roots;
    /// One line per curve whose roots could not be found ("Curva 2: ...").
    std::vector<std::string> problems;
};

/// The poles (denominator) and zeros (numerator) of curves 1 .. `count`, curve by curve,
/// poles first. A zero numerator or a solver failure is reported in `problems`.
PoleZeroMap mapOfCurves(const PlotCurves& curves, int count);

/// A rectangle of the s-plane, in rad/s.
struct PlaneRegion {
    double reMin = -1.0;
    double reMax = 1.0;
    double imMin = -1.0;
    double imMax = 1.0;

    friend bool operator==(const PlaneRegion&, const PlaneRegion&) = default;
};

/// Points farther than this from the origin are left out of a fitted region.
inline constexpr double LargestFittedMagnitude = 1e300;

/// The region that shows every point of `points` within LargestFittedMagnitude, the origin
/// and both axes, with a margin of a sixth of the largest distance from the origin on every
/// side; -1 .. 1 both ways when there is no such point away from the origin. Always finite
/// and not empty.
PlaneRegion fittedRegion(std::span<const std::complex<double>> points);

/// The values of the roots of `map`, for fittedRegion.
std::vector<std::complex<double>> rootValues(const PoleZeroMap& map);

/// The drawing geometry of one paint: the plot rectangle and one scale, in pixels per
/// rad/s, for both axes, chosen so that the whole region fits and is centred.
struct PlaneFrame {
    int x0 = 0;
    int x1 = 0;
    int y0 = 0;
    int y1 = 0;
    double scale = 1.0;
    /// The pixel position of s = 0.
    double originX = 0.0;
    double originY = 0.0;

    double xOf(double re) const { return originX + scale * re; }
    double yOf(double im) const { return originY - scale * im; }
    std::complex<double> valueAt(double x, double y) const {
        return {(x - originX) / scale, (originY - y) / scale};
    }
    /// The region the rectangle really shows (the region asked for, or more one way).
    PlaneRegion shown() const;
};

/// The frame of `region` on a `width` × `height` surface; no frame when the surface is too
/// small for a plot rectangle or the region is not finite and not empty.
std::optional<PlaneFrame> makePlaneFrame(int width, int height, const PlaneRegion& region);

/// The region zoomed by `factor` (2 shows half the width) about the point `centre`, which
/// stays where it is.
PlaneRegion zoomRegion(const PlaneRegion& region, std::complex<double> centre, double factor);

/// The region moved by `shift` (rad/s).
PlaneRegion panRegion(const PlaneRegion& region, std::complex<double> shift);

/// A key of the frequency plot on the plane (a PlotKey code): the arrows move the view by a
/// quarter of its width or height the way they point, A and the keypad's plus zoom in by
/// two about its centre, R and the keypad's minus zoom out. No value for any other key.
std::optional<PlaneRegion> planeKey(int keyCode, const PlaneRegion& region);

/// What the pointer reads at s: ω0 = |s|, ζ = -Re(s)/|s|, Q = 1/(2ζ); ζ and Q have no
/// value at s = 0, Q none when ζ = 0 (infinite).
struct PlaneReading {
    std::complex<double> s;
    double omega0 = 0.0;
    std::optional<double> zeta;
    std::optional<double> quality;
    /// The root of the map nearest to s on the screen, when the map has one.
    std::optional<MapRoot> nearest;
};

PlaneReading readPlane(std::complex<double> s, const PoleZeroMap& map);

/// The reading as the one line the window shows under the map.
std::string planeReadingText(const PlaneReading& reading,
                             const std::array<std::string, MaxCurves + 1>& curveLabels);

/// "-0.5 + j0.866" with `digits` significant digits; "0" for zero, no "+ j0" for a real
/// value.
std::string complexText(std::complex<double> value, int digits);

/// "polo" or "zero".
const char* roleName(RootRole role);

}  // namespace corvane
