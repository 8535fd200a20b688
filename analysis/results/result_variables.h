// Which circuit variable a saved result file holds, read from the netlist of the run that
// wrote it: "rc.n2" is the voltage of the second node of "rc.net". The answer is given only
// when it is certain to be right; anything doubtful gives no name rather than a wrong one.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

struct RunState;

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

/// Whether the netlist beside a run's result files is the one that wrote them.
enum class ResultsNetlistStatus {
    Matches,
    /// No such file.
    Missing,
    /// A folder, a pipe or a device: never read, it could block or never end.
    NotARegularFile,
    /// Written after the denominator file: it may number its variables differently.
    ChangedAfterResults,
    /// It does not read as a netlist.
    Unreadable,
    /// The denominator file is missing, or "<stem>.n1" … do not stop exactly at its number
    /// of variables (a left-over file of an earlier, larger circuit).
    OtherResultFiles,
};

/// The netlist of a run as its result files' checks found it; `run` holds what it read
/// only when it matches.
struct ResultsNetlist {
    ResultsNetlistStatus status = ResultsNetlistStatus::Missing;
    std::shared_ptr<const RunState> run;
};

/// Reads the netlist `netlistPath` of a run (any extension; its results are named after
/// it as ResultFileNames says), quietly, through every check of variablesOfRun.
ResultsNetlist readResultsNetlist(const std::string& netlistPath);

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
