// The noise sources of a circuit: white current densities between two nodes. Today the
// thermal noise of the resistors; an op-amp's input noise or a transistor's shot noise
// would be more functions of this kind, adding sources to the same list.
#pragma once

#include <string>
#include <vector>

#include "run_state.h"

namespace corvane::noise {

/// J/K, exact since the 2019 redefinition of the SI.
inline constexpr double BoltzmannConstant = 1.380649e-23;
inline constexpr double ZeroCelsiusInKelvin = 273.15;

struct NoiseSource {
    /// The element it belongs to.
    std::string element;
    /// The current flows from this node through the source into the other one.
    int fromNode = 0;
    int toNode = 0;
    /// The one-sided power per hertz of the current, in A²/Hz.
    double density = 0.0;
};

/// A current of density 4kT/R in parallel with every resistor, at `kelvin`.
std::vector<NoiseSource> thermalNoiseSources(const RunState& run, double kelvin);

}  // namespace corvane::noise
