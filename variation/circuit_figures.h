// The numbers of a circuit that parameter steps, sensitivities and tolerances follow:
// ω0 and Q of each pole pair, each real pole, and per output variable the gain at s = 0,
// the gain at one frequency and the −3 dB frequency, all from the exact network functions.
#pragma once

#include <complex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "network_functions.h"
#include "polynomial.h"

namespace corvane::variation {

/// A pair of complex poles, named by its pole of positive imaginary part.
struct PolePair {
    std::complex<double> pole;
    /// |p|, rad/s.
    double omega0 = 0.0;
    /// |p| / (−2·Re p): negative for a pair in the right half-plane.
    double q = 0.0;
};

/// The gains of one output variable.
struct VariableFigures {
    int variable = 0;
    /// The network's gain at s = 0 (the step's 1/s left out); none when infinite or when
    /// the function is zero.
    std::optional<double> dcGain;
    /// |H(jω)| at the frequency asked for; none where it is infinite.
    std::optional<double> gainAt;
    /// The −3 dB frequency in rad/s: the upper edge of the band around the maximum gain,
    /// or its lower edge when the band goes on to high frequency; none when there is no
    /// such edge.
    std::optional<double> cutoff;
};

struct CircuitFigures {
    /// By ascending ω0; a double pair is listed twice.
    std::vector<PolePair> pairs;
    /// By ascending magnitude.
    std::vector<double> realPoles;
    std::vector<VariableFigures> variables;
};

/// The denominator of the network itself: the s that the integration step raised it by
/// for a step source removed.
Polynomial networkDenominator(const NetworkFunctions& functions);

/// The figures of `functions` (integrated and normalised) for `variables` (1..n) at the
/// frequency `omega` (rad/s). No value when the poles cannot be found. With `near`, the
/// figures of a circuit close to this one, its poles are first followed by Newton's method
/// to this circuit's, which is far cheaper than finding them afresh; when any of them does
/// not settle on a simple pole of its own, or two settle on one, they are found afresh.
std::optional<CircuitFigures> figuresOf(const NetworkFunctions& functions,
                                        std::span<const int> variables, double omega,
                                        const CircuitFigures* near = nullptr);

/// The roots of `denominator` followed by Newton's method from `start` (one entry per root,
/// conjugates included): none unless every one settles, on a distinct root, and they are
/// as many as the degree.
std::optional<std::vector<std::complex<double>>> followedPoles(
    const Polynomial& denominator, const std::vector<std::complex<double>>& start);

/// Every pole of `figures`, the conjugate of each pair included.
std::vector<std::complex<double>> polesOf(const CircuitFigures& figures);

/// p(s), the constant left out: the coefficients alone.
std::complex<double> coefficientsAt(const Polynomial& p, std::complex<double> s);

/// The derivative of p, the constant left out.
Polynomial derivativeOf(const Polynomial& p);

/// `sample`'s pairs and real poles put in the order of `reference`'s, each with the one
/// nearest to it (nearest pairs first), so that "pair 1" of a changed circuit is the pair
/// that moved from pair 1 even when two pairs share an ω0 (a Butterworth's). No value when
/// the numbers of pairs or of real poles differ.
std::optional<CircuitFigures> alignedTo(const CircuitFigures& sample,
                                        const CircuitFigures& reference);

/// What a figure is, for the tables, the documents and the worst case.
enum class Figure { Omega0, Q, RealPole, DcGain, GainAt, Cutoff };

struct FigureRef {
    Figure figure = Figure::Omega0;
    /// The pair or the real pole (0 first) of Omega0, Q and RealPole.
    int index = 0;
    /// The output variable of DcGain, GainAt and Cutoff.
    int variable = 0;

    friend bool operator==(const FigureRef&, const FigureRef&) = default;
};

/// The figure's value in `figures`; none when `figures` has no such pair, pole or gain.
std::optional<double> figureValue(const CircuitFigures& figures, const FigureRef& ref);

/// "ω0 do par 1", "Q do par 1", "polo real 2", "ganho em s=0 de v(out)"... with the
/// variable's name `variableName`.
std::string figureName(const FigureRef& ref, const std::string& variableName);

/// The key of the figure in the JSON documents: "omega0", "q", "polo_real", "ganho_s0",
/// "ganho_em", "corte".
const char* figureKey(Figure figure);

/// Every figure that `figures` has, pairs first, then real poles, then per variable.
std::vector<FigureRef> figureRefs(const CircuitFigures& figures);

}  // namespace corvane::variation
