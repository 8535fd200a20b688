// The noise of a run beside its result files: "<base>.ruido", a small JSON document with
// the exact functions of the noise at one output, for the plot list to draw as density
// curves long after the run:
//   {"formato":"corvane-ruido","versao":1,"saida":"out","unidade":"V","temperatura_c":27,
//    "denominador":[a0..an],
//    "fontes":[{"elemento":"R1","densidade":S,"numerador":[b0..bm]}, ...]}
// The output's density from source k is S_k·|N_k(jω)|²/|D(jω)|² (S_k in A²/Hz), the
// sources largest first as the log ranks them. Every number reads back as the same double.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "noise_analysis.h"

namespace corvane::noise {

/// Far above the thousands of resistors a circuit of degree 30 can have, and small enough
/// that a wrong file (a log, /dev/zero) is refused quickly.
inline constexpr std::size_t MaxNoiseFileBytes = std::size_t{16} << 20;

/// The text of the noise file of `report`, taken at `celsius`. No value when a polynomial
/// or a density is not finite: such a number cannot be written.
std::optional<std::string> noiseFileText(const NoiseReport& report, double celsius);

/// A noise file read back: the sources in the file's order, with their transfers; the
/// denominator and the transfers with constant 1.
struct NoiseFile {
    std::string outputName;
    /// "V" or "A".
    std::string unit;
    double celsius = 0.0;
    NoiseFunctions functions;
};

struct NoiseFileRead {
    std::optional<NoiseFile> file;
    /// Why not, in Portuguese, naming the file.
    std::string error;
};

/// Reads the noise file at `path`: a regular file of at most MaxNoiseFileBytes, of this
/// format and version, with polynomials of degree 0..MaxDegree of finite coefficients, a
/// denominator that is not zero, and at least one source of a positive finite density.
NoiseFileRead readNoiseFile(const std::string& path);

}  // namespace corvane::noise

namespace corvane::noise {

/// The index of the source of element `element` in `file`, its name matched without
/// regard to case as the netlist matches names; none when no source is of that element.
std::optional<std::size_t> findSource(const NoiseFile& file, std::string_view element);

}  // namespace corvane::noise
