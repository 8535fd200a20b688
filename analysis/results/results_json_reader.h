// Reading back the JSON document of a run (results_json.h) for the plotter and the time
// responses: the functions keep every bit the run computed, where the result files keep
// twelve decimals, and the document says what the run warned about them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "polynomial.h"
#include "run_excitation.h"

namespace corvane {

/// The largest document read: far above the 25 variables of degree 30 with their roots and
/// a symbolic listing, and small enough that a wrong file (a log, /dev/zero) is refused
/// quickly.
inline constexpr std::size_t MaxResultsDocumentBytes = std::size_t{64} << 20;

/// The function of one variable of a document: constant·N(s)/D(s).
struct DocumentFunction {
    int number = 0;
    std::string name;
    Polynomial numerator;
    Polynomial denominator;
    /// The texts of the document's warnings about this numerator or the denominator.
    std::vector<std::string> warnings;
};

struct DocumentRead {
    /// The function asked for, when the document could be read and holds it.
    std::optional<DocumentFunction> function;
    /// Why not, in Portuguese, naming the document.
    std::string error;
};

/// The function of `variable` (its name as the analysis listed it, matched without regard to
/// case, or its number) in the document at `path`.
DocumentRead readDocumentFunction(const std::string& path, const std::string& variable);

/// The names of every variable of the document at `path`, in order; none when it cannot be
/// read (`error` then says why).
std::vector<std::string> documentVariables(const std::string& path, std::string& error);

/// The sources of the run of the document at `path` (its "fontes"); none when it cannot
/// be read or does not list them as version 1 writes them (`error` then says why).
std::optional<std::vector<RunSource>> documentSources(const std::string& path, std::string& error);

/// One value's function of a parameter step's document ("corvane-varredura", written by
/// `corvane-cli varrer --json`), with the value as the legends write it ("R1 = 4,7 kΩ").
struct StepFunctionRead {
    std::optional<DocumentFunction> function;
    std::string legend;
    /// Why not, in Portuguese, naming the document.
    std::string error;
};

/// The function of `variable` (name or number, as readDocumentFunction takes it) at value
/// `value` (1 for the first) of the step document at `path`.
StepFunctionRead readStepFunction(const std::string& path, const std::string& variable, int value);

/// What "Adicionar" needs of a step document: how many values it holds and the names of the
/// variables of its first computed value; no value when it cannot be read (`error` says why).
struct StepContents {
    int values = 0;
    /// The numbers (1 for the first) of the values whose functions the step computed.
    std::vector<int> computed;
    std::vector<std::string> variables;
};
std::optional<StepContents> stepContents(const std::string& path, std::string& error);

/// Whether the file at `path` is a JSON document whose "formato" is a parameter step's.
bool isStepDocument(const std::string& path);

}  // namespace corvane
