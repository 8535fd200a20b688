// Every result of a run as one JSON document, for scripts: the exact doubles of each
// polynomial (never the result files' twelve decimals) and, on request, the roots.
//
// Schema, version 1 (keys in the program's language):
//   formato       "corvane-resultados"
//   versao        1
//   netlist       the netlist's path as opened
//   opcoes        { normalizar: bool, dispersao: number, polos_zeros: bool }
//   fontes        [ { nome, tipo: "impulso" | "degrau" | "condicao_inicial", valor } ]
//   denominador   polynomial, plus "estabilidade": "estavel" | "marginal" | "instavel"
//                 when the roots were asked for and found
//   variaveis     [ { numero, nome, numerador: polynomial, K (with the roots),
//                     medidas (when asked for) } ]
//   avisos        [ { texto, sobre: "denominador" | "numerador" | "arquivo",
//                     numero (of a numerator) | arquivo (of a file) } ]: what the run
//                   warned about its results, as the log said it; empty for a clean run
// polynomial:     { grau, coeficientes: [c0, c1, …, c_grau], constante,
//                   raizes: [ { real, imag, multiplicidade } ] (with the roots) }
// medidas:       { situacao: "calculadas" | "funcao_nula" | "nao_calculadas", and when
//                   calculated: degrau_removido: bool, ganho_s0, ganho_alta_frequencia,
//                   ganho_maximo (a gain plus em: "frequencia" | "alta_frequencia" |
//                   "todas" and omega), banda_3db: [ { inferior, superior } ] (null:
//                   no upper edge), Q (one band with two edges), atraso_grupo_s0 }
// gain:           { tipo: "finito" | "zero" | "infinito", valor, db } (null where it
//                   has none); frequencies in rad/s, delays in s
// The value of a variable is numerador.constante·N(s) / D(s) (denominador.constante is 1).
// Numbers are written with "%.17g" (a negative zero as -0.0), so each one reads back as
// the same double.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "determinant.h"
#include "run_state.h"
#include "run_warnings.h"

namespace corvane {

inline constexpr int ResultsJsonVersion = 1;

struct ResultsJsonOptions {
    bool normalize = true;
    double dispersion = 1e9;
    bool polesAndZeros = false;
    /// A `medidas` member in each variable; absent otherwise.
    bool measures = false;
};

/// The document of a finished run. Front ends may add their own fields to it before it
/// is saved.
nlohmann::ordered_json resultsDocument(const RunState& run, const NetworkFunctions& functions,
                                       const ResultsJsonOptions& options,
                                       const RunWarnings& warnings);

/// The text saveJson writes: two-space indentation, arrays and objects of plain values on
/// one line, keys in the order they were added, every
/// floating-point number "%.17g" (null when not finite).
std::string jsonText(const nlohmann::ordered_json& document);

enum class JsonSaveStatus { Saved, CannotCreate, WriteFailed };

/// Writes the document to a new file beside `path`, which then takes its name: the file
/// is replaced whole or left as it was.
JsonSaveStatus saveJson(const std::string& path, const nlohmann::ordered_json& document);

}  // namespace corvane
