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
#include "figure_texts.h"
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

// The texts of the figures live with the figures, where the windows' run lists them too.
using variation::figureColumn;
using variation::figureInOutputUnits;
using variation::figureLabel;
using variation::figuresDocument;
using variation::figureValueText;
using variation::numberText;
using variation::polynomialDocument;

/// Saves the table and the JSON document that `outputs` names (those not named are left
/// out) as one set: both replaced or neither. False, with the message on `err`, when the
/// set could not be saved.
bool saveTextOutputs(const VariationOutputs& outputs, const std::function<std::string()>& table,
                     const std::function<std::string()>& json, std::FILE* err);

}  // namespace corvane::cli
