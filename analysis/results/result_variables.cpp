#include "result_variables.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include "analysis_log.h"
#include "floating_point.h"
#include "netlist_reader.h"
#include "result_file_names.h"
#include "run_state.h"

namespace corvane {

namespace {

namespace fs = std::filesystem;

std::optional<fs::file_time_type> modificationTime(const std::string& path) {
    std::error_code error;
    const fs::file_time_type time = fs::last_write_time(path, error);
    if (error) return std::nullopt;
    return time;
}

bool exists(const std::string& path) {
    std::error_code error;
    return fs::exists(path, error) && !error;
}

// The reader fills a whole run (some kilobytes) and logs every line it reads; here only the
// variable names are wanted, and a netlist that does not read is simply not named. The
// results exist, so the circuit was analysed, perhaps with the format's limits lifted.
std::shared_ptr<RunState> readQuietly(const std::string& netlist) {
    auto run = std::make_shared<RunState>();
    // Ground is known before the first line, as at the start of an analysis.
    run->VariableNames[0] = VariableName{'0'};
    AnalysisLog silent;
    try {
        if (!readNetlist(*run, silent, netlist, LiftedRunLimits)) return nullptr;
    } catch (const FloatingPointFault&) {
        return nullptr;
    }
    return run;
}

// The files of the run show its number of variables: "<stem>.n1" … "<stem>.nN" and no
// "<stem>.n<N+1>". A left-over file of an earlier, larger circuit makes the count doubtful.
bool filesShowVariableCount(const ResultFileNames& names, int count) {
    if (!exists(names.denominator())) return false;
    for (int k = 1; k <= count; ++k) {
        if (!exists(names.numerator(k))) return false;
    }
    return !exists(names.numerator(count + 1));
}

// A netlist edited after its results were written may number its variables differently.
bool netlistUnchangedSinceResults(const ResultFileNames& names) {
    const auto netlistTime = modificationTime(names.netlist());
    const auto resultsTime = modificationTime(names.denominator());
    return netlistTime && resultsTime && *netlistTime <= *resultsTime;
}

}  // namespace

std::string variableLabel(const ResultVariable& variable) {
    if (variable.kind == VariableKind::ExtraCurrent) return variable.name;
    return "v(" + variable.name + ")";
}

const char* variableUnit(VariableKind kind) {
    return kind == VariableKind::NodeVoltage ? "V" : "A";
}

std::optional<NumeratorFileName> parseNumeratorFileName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::size_t cut = path.rfind(".n");
    if (cut == std::string_view::npos || cut < nameStart) return std::nullopt;
    const std::string_view digits = path.substr(cut + 2);
    if (digits.empty() || digits.size() > 4 || digits[0] == '0') return std::nullopt;
    int number = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + (c - '0');
    }
    if (number > ResultFileNames::HighestNumerator) return std::nullopt;
    return NumeratorFileName{std::string(path.substr(0, cut)), number};
}

std::optional<std::vector<ResultVariable>> variablesOfResults(const std::string& stem) {
    return variablesOfRun(ResultFileNames::netlistOfResults(stem));
}

ResultsNetlist readResultsNetlist(const std::string& netlistPath) {
    const ResultFileNames names(netlistPath);
    std::error_code error;
    if (!fs::exists(names.netlist(), error) || error) {
        return {ResultsNetlistStatus::Missing, nullptr};
    }
    // A pipe or device would block or never end; only a file is the run's netlist.
    if (!fs::is_regular_file(names.netlist(), error) || error)
        return {ResultsNetlistStatus::NotARegularFile, nullptr};
    if (!exists(names.denominator())) return {ResultsNetlistStatus::OtherResultFiles, nullptr};
    if (!netlistUnchangedSinceResults(names)) {
        return {ResultsNetlistStatus::ChangedAfterResults, nullptr};
    }
    std::shared_ptr<const RunState> run = readQuietly(names.netlist());
    if (!run) return {ResultsNetlistStatus::Unreadable, nullptr};
    if (!filesShowVariableCount(names, run->variableCount))
        return {ResultsNetlistStatus::OtherResultFiles, nullptr};
    // Checked again after the reading: an edit while it was read would pass the first check.
    if (!netlistUnchangedSinceResults(names)) {
        return {ResultsNetlistStatus::ChangedAfterResults, nullptr};
    }
    return {ResultsNetlistStatus::Matches, std::move(run)};
}

std::optional<std::vector<ResultVariable>> variablesOfRun(const std::string& netlistPath) {
    const ResultsNetlist netlist = readResultsNetlist(netlistPath);
    if (netlist.status != ResultsNetlistStatus::Matches) return std::nullopt;
    const RunState& run = *netlist.run;
    std::vector<ResultVariable> variables;
    for (int k = 1; k <= run.variableCount; ++k) {
        variables.push_back({k, run.variableName(k),
                             k <= run.nodeCount ? VariableKind::NodeVoltage
                                                : VariableKind::ExtraCurrent});
    }
    return variables;
}

std::optional<ResultVariable> variableOfResultFile(std::string_view path) {
    const std::optional<NumeratorFileName> file = parseNumeratorFileName(path);
    if (!file) return std::nullopt;
    const auto variables = variablesOfResults(file->stem);
    if (!variables || file->number > static_cast<int>(variables->size())) return std::nullopt;
    return (*variables)[static_cast<std::size_t>(file->number - 1)];
}

std::string unitOfResultFile(std::string_view path) {
    const std::optional<ResultVariable> variable = variableOfResultFile(path);
    return variable ? variableUnit(variable->kind) : std::string();
}

}  // namespace corvane
