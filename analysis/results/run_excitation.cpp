#include "run_excitation.h"

#include <algorithm>
#include <cctype>

#include "result_file_names.h"
#include "result_variables.h"
#include "run_state.h"

namespace corvane {

namespace {

bool any(std::span<const RunSource> sources, SourceKind kind) {
    return std::any_of(sources.begin(), sources.end(),
                       [kind](const RunSource& s) { return s.kind == kind; });
}

// "C1, L2": the elements whose initial conditions drive the run.
std::string initialConditionNames(std::span<const RunSource> sources) {
    std::string names;
    for (const RunSource& source : sources) {
        if (source.kind != SourceKind::InitialCondition) continue;
        if (!names.empty()) names += ", ";
        names += source.name;
    }
    return names;
}

std::string netlistProblem(ResultsNetlistStatus status, const std::string& netlist) {
    std::string text = "o netlist ";
    text += netlist;
    switch (status) {
        case ResultsNetlistStatus::Missing:
            return text + " não foi encontrado ao lado dos arquivos de resultados";
        case ResultsNetlistStatus::NotARegularFile:
            return text + " não é um arquivo comum";
        case ResultsNetlistStatus::ChangedAfterResults:
            return text + " foi mudado depois dos arquivos de resultados";
        case ResultsNetlistStatus::Unreadable:
            return text + " não pôde ser lido";
        case ResultsNetlistStatus::OtherResultFiles:
            return text + " não confere com os arquivos de resultados ao lado dele";
        case ResultsNetlistStatus::Matches:
            break;
    }
    return text;
}

}  // namespace

std::vector<RunSource> sourcesOfRun(const RunState& run) {
    std::vector<RunSource> sources;
    for (int i = 1; i <= std::min(run.elementCount, MaxElements); ++i) {
        const Element& e = run.ElementTable[static_cast<std::size_t>(i)];
        const char kind = e.kind();
        if (kind == 'V' || kind == 'I') {
            sources.push_back({e.name, e.sourceType() == SourceType::Impulse ? SourceKind::Impulse
                                                                             : SourceKind::Step});
        } else if ((kind == 'C' || kind == 'L') && e.initialCondition() != 0.0) {
            sources.push_back({e.name, SourceKind::InitialCondition});
        }
    }
    return sources;
}

ExcitationFinding excitationOfSources(std::span<const RunSource> sources,
                                      const std::string& where) {
    if (any(sources, SourceKind::InitialCondition)) {
        return {std::nullopt, where + " tem condições iniciais (" + initialConditionNames(sources) +
                                  "), cujos termos não acompanham a fonte"};
    }
    const bool impulses = any(sources, SourceKind::Impulse);
    const bool steps = any(sources, SourceKind::Step);
    if (!impulses && !steps) return {std::nullopt, where + " não tem fonte independente"};
    if (impulses && steps) return {std::nullopt, where + " tem fontes de impulso e de degrau"};
    return {impulses ? Excitation::Impulse : Excitation::Step, ""};
}

ExcitationFinding excitationOfResults(const std::string& stem) {
    const std::string netlist = ResultFileNames::netlistOfResults(stem);
    const ResultsNetlist read = readResultsNetlist(netlist);
    if (read.status != ResultsNetlistStatus::Matches)
        return {std::nullopt, netlistProblem(read.status, netlist)};
    std::string where = "o netlist ";
    where += netlist;
    return excitationOfSources(sourcesOfRun(*read.run), where);
}

}  // namespace corvane
