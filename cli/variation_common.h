// What the commands that analyse a circuit again with changed values (varrer,
// sensibilidade, tolerancia) share: their output options and the checks that no output is
// the netlist or another output, the reading of the circuit, the output variables and the
// frequency of the gains, the progress and Ctrl-C of a long run, and the texts of the
// figures.
#pragma once

#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "circuit_figures.h"
#include "command_arguments.h"
#include "console_host.h"
#include "run_state.h"

namespace corvane::cli {

/// The files a variation command writes, each only where the user names it: nothing of a
/// plain analysis (its result files, its JSON) is ever written over.
struct VariationOutputs {
    std::string table;
    std::string image;
    /// varrer's picture of the poles along the step (--mapa).
    std::string locus;
    std::string json;
};

/// The options every variation command takes: the variables, the frequency of the gains,
/// the outputs and the netlist.
struct VariationCommon {
    std::string netlist;
    /// As typed, by name or number; empty for the command's default.
    std::vector<std::string> variables;
    double hertz = 1000.0;
    VariationOutputs outputs;
};

/// Takes the current argument when it is --variavel, --em, --tabela, --imagem (when the
/// command draws) or --json; false for any other.
bool takeVariationOption(Arguments& args, VariationCommon& common, bool drawsImages);

/// No output may be the netlist, nor two outputs one file; false, with the message on
/// `err`, otherwise.
bool outputsSpareNetlist(const VariationCommon& common, std::FILE* err);

/// Reads the netlist into `run`, logging as an analysis does; false when it cannot be read
/// (the log says why).
bool readVariationCircuit(const std::string& netlist, RunState& run, AnalysisLog& log);

/// The numbers of the variables named in `names` (each by its name or its number); all of
/// them for an empty list when `allByDefault`, none otherwise. No value, with the message
/// on `err`, for a name that matches no variable.
std::optional<std::vector<int>> resolveVariables(const RunState& run,
                                                 const std::vector<std::string>& names,
                                                 bool allByDefault, std::FILE* err);

/// The element named by --elemento; 0, with the message on `err`, when the circuit has
/// no such element or it has no value.
int resolveElement(const RunState& run, const std::string& name, std::FILE* err);

/// The progress of a long run on standard error, from half a second on, and Ctrl-C.
class VariationProgress {
public:
    explicit VariationProgress(std::FILE* err);
    /// After each circuit: shows the fraction when due; false once Ctrl-C was pressed.
    bool operator()(double fraction);
    /// Asked during each expansion.
    bool stopRequested() const { return host_.cancelRequested(); }
    std::function<bool()> stop() const {
        return [this] { return stopRequested(); };
    }
    void end() { host_.endProgress(); }

private:
    InterruptCatcher interrupts_;
    ConsoleHost host_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastShown_;
};

/// "%.6g" of a finite number; "—" otherwise (never a non-finite number in a text).
std::string numberText(double value);

/// A figure for a person: frequencies in Hz, gains with their dB. `name` the variable's.
std::string figureValueText(const variation::FigureRef& figure, double value);

/// The figure's name, with the variable's name and, for the gain at a frequency, the
/// frequency `hertz`: "f0 do par 1", "ganho de out em 1000 Hz".
std::string figureLabel(const RunState& run, const variation::FigureRef& figure, double hertz);

/// The figure as the tables and documents give it: ω0 and the −3 dB frequency in Hz, the
/// rest as they are.
double figureInOutputUnits(const variation::FigureRef& figure, double value);

/// The column name in the tables: "par1_f0_hz", "par1_q", "polo_real1", "ganho_s0_out",
/// "ganho_em_out", "corte_hz_out".
std::string figureColumn(const RunState& run, const variation::FigureRef& figure);

/// { grau, coeficientes, constante }, as the results document writes a polynomial.
nlohmann::ordered_json polynomialDocument(const Polynomial& p);

/// The figures as a JSON object: pares [{f0_hz, q, real, imag}], polos_reais [rad/s],
/// variaveis [{numero, nome, ganho_s0, ganho_em, ganho_em_db, corte_hz}] (null where a
/// figure does not exist).
nlohmann::ordered_json figuresDocument(const RunState& run,
                                       const variation::CircuitFigures& figures);

/// Saves the table and the JSON document that `outputs` names (those not named are left
/// out) as one set: both replaced or neither. False, with the message on `err`, when the
/// set could not be saved.
bool saveTextOutputs(const VariationOutputs& outputs, const std::function<std::string()>& table,
                     const std::function<std::string()>& json, std::FILE* err);

}  // namespace corvane::cli
