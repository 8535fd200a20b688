// The loop gain of a run beside its result files: "<base>.malha", the JSON document that
// `malha --json` writes too, with the exact T(s) = constante·N(s)/D(s) of the source:
//   {"formato":"corvane-malha","versao":1,"netlist":…,"situacao":"calculado","fonte":"E1",
//    "ganho_de_malha":{"numerador":{"grau","coeficientes","constante"},"denominador":{…}},
//    "denominador_malha_fechada":…, "margens":…, "estabilidade_malha_fechada":…, …}
// so that a plot list line "amp.malha" draws T(jω) long after the run. Every number reads
// back as the same double.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "loop_gain.h"
#include "loop_listing.h"

namespace corvane::loop {

/// Far above a document of degree-30 polynomials for 25 variables, and small enough that
/// a wrong file (a log, /dev/zero) is refused quickly.
inline constexpr std::size_t MaxLoopFileBytes = std::size_t{4} << 20;

/// The document of `report`, the A∞ and ρ of `variables` included. No value when a
/// polynomial of T is not finite: such a number cannot be written.
std::optional<std::string> loopFileText(const LoopReport& report, const RunState& run,
                                        const std::vector<int>& variables);

struct LoopFileRead {
    /// The element whose loop gain it is, and T.
    std::string source;
    std::optional<Ratio> loopGain;
    /// Why not, in Portuguese, naming the file.
    std::string error;
};

/// Reads the loop gain of the document at `path`: a regular file of at most
/// MaxLoopFileBytes, of this format and version, whose T has polynomials of degree
/// 0..MaxDegree of finite coefficients and finite constants, and a denominator that is not
/// zero.
LoopFileRead readLoopFile(const std::string& path);

}  // namespace corvane::loop
