// Circuits for the symbolic analysis benchmarks: the classic active biquads with ideal
// op-amps (nullors), besides the ladders of workloads.h.
#pragma once

#include <string>

namespace corvane::bench {

/// Unity-gain Sallen-Key low-pass. Unknowns: 6.
inline std::string sallenKey() {
    return "Sallen-Key\nV1 in 0 1 IMPULSO\nR1 in a 1\nR2 a b 2\nC1 a out 0.5\nC2 b 0 0.25\n"
           "O1 out 0 b out\n";
}

/// Tow-Thomas biquad: a lossy integrator, an integrator and an inverter in a loop.
/// Unknowns: 11.
inline std::string towThomas() {
    return "Tow-Thomas\nV1 in 0 1 IMPULSO\n"
           "R1 in x1 1\nR2 x1 o1 2\nC1 x1 o1 1\nR3 o3 x1 1\nO1 o1 0 0 x1\n"
           "R4 o1 x2 1\nC2 x2 o2 1\nO2 o2 0 0 x2\n"
           "R5 o2 x3 1\nR6 x3 o3 1\nO3 o3 0 0 x3\n";
}

/// KHN state-variable filter: a difference amplifier giving the high-pass output, and
/// two integrators giving the band-pass and low-pass ones. Unknowns: 12.
inline std::string khn() {
    return "KHN\nV1 in 0 1 IMPULSO\n"
           "R1 in p 1\nR2 bp p 2\nR3 lp n 1\nR4 hp n 1\nO1 hp 0 p n\n"
           "R5 hp x2 1\nC1 x2 bp 1\nO2 bp 0 0 x2\n"
           "R6 bp x3 1\nC2 x3 lp 1\nO3 lp 0 0 x3\n";
}

}  // namespace corvane::bench
