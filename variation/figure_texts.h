// The figures of a circuit as a person and a document read them: frequencies in Hz, gains
// with their dB, the column names of the tables and the JSON of the figures and of a
// polynomial. The command line and the windows' run word them alike through here.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "circuit_figures.h"
#include "polynomial.h"
#include "run_state.h"

namespace corvane::variation {

/// "%.6g" of a finite number; "—" otherwise (never a non-finite number in a text).
std::string numberText(double value);

/// A figure for a person: frequencies in Hz, gains with their dB. `name` the variable's.
std::string figureValueText(const FigureRef& figure, double value);

/// The figure's name, with the variable's name and, for the gain at a frequency, the
/// frequency `hertz`: "f0 do par 1", "ganho de out em 1000 Hz".
std::string figureLabel(const RunState& run, const FigureRef& figure, double hertz);

/// The figure as the tables and documents give it: ω0 and the −3 dB frequency in Hz, the
/// rest as they are.
double figureInOutputUnits(const FigureRef& figure, double value);

/// The column name in the tables: "par1_f0_hz", "par1_q", "polo_real1", "ganho_s0_out",
/// "ganho_em_out", "corte_hz_out".
std::string figureColumn(const RunState& run, const FigureRef& figure);

/// { grau, coeficientes, constante }, as the results document writes a polynomial.
nlohmann::ordered_json polynomialDocument(const Polynomial& p);

/// The figures as a JSON object: pares [{f0_hz, q, real, imag}], polos_reais [rad/s],
/// variaveis [{numero, nome, ganho_s0, ganho_em, ganho_em_db, corte_hz}] (null where a
/// figure does not exist).
nlohmann::ordered_json figuresDocument(const RunState& run,
                                       const CircuitFigures& figures);

}  // namespace corvane::variation
