// Which circuit variable a saved result file holds, read from the netlist of the run that
// wrote it: "rc.n2" is the voltage of the second node of "rc.net". The answer is given only
// when it is certain to be right; anything doubtful gives no name rather than a wrong one.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

/// What an unknown of the system is: the node voltages come first, then the extra currents
/// (of V, E, F, O and L elements, and the two of an H element).
enum class VariableKind { NodeVoltage, ExtraCurrent };

struct ResultVariable {
    /// k of "<stem>.n<k>", from 1.
    int number = 0;
    /// The name the analysis lists: the node's name, or "j…" for an extra current.
    std::string name;
    VariableKind kind = VariableKind::NodeVoltage;
};

/// How a person reads the variable: "v(saida)" for a node voltage, the current's own name
/// ("jV1", "jxH1") for an extra current.
std::string variableLabel(const ResultVariable& variable);

/// "V" for a node voltage, "A" for an extra current.
const char* variableUnit(VariableKind kind);

/// A numerator file name as the analysis writes it: the stem and k of "<stem>.n<k>", k a
/// decimal number from 1 without leading zeros. No value for any other name.
struct NumeratorFileName {
    std::string stem;
    int number = 0;
};
std::optional<NumeratorFileName> parseNumeratorFileName(std::string_view path);

/// The variables of the run whose result files have the stem `stem`, read from the netlist
/// "<stem>.net" beside them. No value when there is no such netlist (or it is no regular
/// file), when it does not read, or when it does not match the files: the denominator file
/// is missing, the files "<stem>.n1" … do not stop exactly at the netlist's number of
/// variables, or the netlist was changed after the denominator file was written.
std::optional<std::vector<ResultVariable>> variablesOfResults(const std::string& stem);

/// The same for the run of the netlist `netlistPath` as the analysis opened it (any
/// extension; its results are named after it as ResultFileNames says).
std::optional<std::vector<ResultVariable>> variablesOfRun(const std::string& netlistPath);

/// The variable of the numerator file `path`, as variablesOfResults finds it.
std::optional<ResultVariable> variableOfResultFile(std::string_view path);

/// The unit of the numerator file `path` ("V" or "A"); empty when its variable is unknown.
std::string unitOfResultFile(std::string_view path);

}  // namespace corvane
