// Small circuits the window tests open, each with a closed form the tests check against.
#pragma once

namespace corvane::test {

/// An RC low-pass, 1 kΩ and 1 µF: one real pole at -1/(RC) = -1000 rad/s, the -3 dB
/// frequency 1/(2πRC).
inline constexpr const char* RcLowPass =
    "Passa-baixas RC\n"
    "V1 entrada 0 1 IMPULSO\n"
    "R1 entrada saida 1k\n"
    "C1 saida 0 1u\n";

/// The unity-gain Sallen-Key low-pass with an ideal op-amp: ω0 = 1/√(R1R2C1C2) = 2 rad/s,
/// Q = 2/3.
inline constexpr const char* UnityGainSallenKey =
    "Sallen-Key\n"
    "V1 in 0 1 IMPULSO\n"
    "R1 in a 1\n"
    "R2 a b 2\n"
    "C1 a out 0.5\n"
    "C2 b 0 0.25\n"
    "O1 out 0 b out\n";

}  // namespace corvane::test
