#include "results.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string_view>
#include <utility>
#include <string>
#include <vector>

#include "output_target.h"
#include "result_file.h"
#include "result_file_names.h"
#include "result_set.h"
#include "result_warnings_file.h"

namespace corvane {

namespace {

void reportFailure(AnalysisLog& log, const SetSaveResult& result) {
    if (result.status == SaveStatus::CannotCreate) {
        log.print("Não foi possível criar o arquivo %s", result.failedPath.c_str());
    } else if (result.status == SaveStatus::ReadOnly) {
        log.print("O arquivo %s é somente leitura; nenhum resultado foi gravado",
                  result.failedPath.c_str());
    } else if (result.status == SaveStatus::Interrupted) {
        log.print("Análise cancelada.");
    } else {
        log.print("Erro ao gravar o arquivo %s", result.failedPath.c_str());
    }
}

// "%15.12f" writes magnitudes below 5e-13 as zero: say so rather than let the file
// silently hold a different function.
std::optional<RunWarning> lostCoefficientsWarning(const std::string& path, const Polynomial& p) {
    if (!losesSmallCoefficients(p)) return std::nullopt;
    RunWarning warning;
    warning.text = "Aviso: o arquivo " + path +
                   " perdeu coeficientes menores que 5e-13; use a normalização.";
    warning.subject = WarningSubject::File;
    warning.file = path;
    return warning;
}

// The run's warnings with those about the result files, which the log lists only once
// the files are written: what the companion files are made with.
RunWarnings withFileWarnings(const RunWarnings& warnings,
                             const std::vector<std::optional<RunWarning>>& fileWarnings) {
    RunWarnings all = warnings;
    AnalysisLog unlisted([](std::string_view) {});
    for (const std::optional<RunWarning>& warning : fileWarnings) {
        if (warning) all.add(unlisted, *warning);
    }
    return all;
}

// The files of the run that a companion file must not replace: the netlist and every
// result file.
std::vector<std::pair<std::string, std::string>> runFiles(const RunState& run) {
    const ResultFileNames names(run.netlistFileName);
    std::vector<std::pair<std::string, std::string>> files{{run.netlistFileName, "O netlist"},
                                                           {names.denominator(),
                                                            "O arquivo de resultados"}};
    for (int k = 1; k <= run.variableCount; ++k)
        files.emplace_back(names.numerator(k), "O arquivo de resultados");
    return files;
}

std::vector<CompanionFile> companionFiles(const ListingSteps& steps) {
    std::vector<CompanionFile> all;
    for (const auto& step : steps) {
        for (CompanionFile& file : step->companionFiles()) all.push_back(std::move(file));
    }
    return all;
}

}  // namespace

bool companionsSpareRunFiles(AnalysisLog& log, const RunState& run, const ListingSteps& steps) {
    const auto files = runFiles(run);
    for (const CompanionFile& companion : companionFiles(steps)) {
        for (const auto& [path, what] : files) {
            if (!sameFile(companion.path, path)) continue;
            log.print("%s %s seria substituído pelo %s %s", what.c_str(), path.c_str(),
                      companion.name.c_str(), companion.path.c_str());
            return false;
        }
    }
    return true;
}

void listPolynomial(AnalysisLog& log, const Polynomial& p) {
    for (int i = 0; i <= p.degree && i <= p.capacityDegree(); ++i)
        log.print("a%d: %15.12f", i, p.coef[i]);
    log.print("Cte: %15.12f", p.constant);
}

void listResults(const ListingContext& context, const ListingSteps& steps) {
    AnalysisLog& log = context.log;
    log.print("Sistema resolvido:");
    log.print("Denominador:");
    listPolynomial(log, context.functions.denominator);
    for (const auto& step : steps) step->listAfterDenominator(context);
    const int n = context.run.variableCount;
    for (int k = 1; k <= n; ++k) {
        if (!context.options.selects(k)) continue;
        log.print("Numerador %d (%s):", k, context.run.variableName(k));
        listPolynomial(log, context.functions.numerator[k]);
        for (const auto& step : steps) step->listAfterNumerator(context, k);
    }
}

ListingOutcome saveResults(const ListingContext& context, const ListingSteps& steps,
                           RunWarnings& warnings) {
    AnalysisLog& log = context.log;
    const NetworkFunctions& functions = context.functions;
    const RunState& run = context.run;
    const bool details = context.options.listDetails;
    listResults(context, steps);
    for (const auto& step : steps) {
        const ListingOutcome listed = step->afterListing(context);
        if (listed != ListingOutcome::Done) return listed;
    }

    const ResultFileNames names(run.netlistFileName);
    std::vector<ResultToSave> files{{names.denominator(), &functions.denominator, {}}};
    for (int k = 1; k <= run.variableCount; ++k)
        files.push_back({names.numerator(k), &functions.numerator[k], {}});
    std::vector<std::optional<RunWarning>> fileWarnings;
    for (const ResultToSave& file : files)
        fileWarnings.push_back(lostCoefficientsWarning(file.path, *file.polynomial));
    const RunWarnings allWarnings = withFileWarnings(warnings, fileWarnings);
    const std::vector<CompanionFile> companions = companionFiles(steps);
    for (const CompanionFile& companion : companions) {
        files.push_back({companion.path, nullptr,
                         [text = companion.text(allWarnings)](std::FILE* file) {
                             return std::fwrite(text.data(), 1, text.size(), file) == text.size();
                         }});
    }
    // The warnings go beside the files they concern, for the plotter to repeat; a clean run
    // takes away those of an earlier one.
    const std::string warningsPath = warningsFilePath(names);
    std::vector<std::string> obsolete;
    // So does a run without the noise, or whose noise could not be written, with the noise
    // file of an earlier one: the plot list would read it as this circuit's. (A netlist of
    // that name was refused before the expansion, as one named like any file of the set.)
    // Likewise the loop gain file.
    for (const std::string& companionPath : {names.noiseDensities(), names.loopGain()}) {
        if (std::none_of(companions.begin(), companions.end(), [&](const CompanionFile& companion) {
                return companion.path == companionPath || sameFile(companion.path, companionPath);
            })) {
            obsolete.push_back(companionPath);
        }
    }
    if (allWarnings.empty()) {
        obsolete.push_back(warningsPath);
    } else {
        files.push_back({warningsPath, nullptr,
                         [text = warningsFileText(allWarnings, names)](std::FILE* file) {
                             return std::fwrite(text.data(), 1, text.size(), file) == text.size();
                         }});
    }
    const SetSaveResult saved = saveResultSet(files, obsolete);
    if (saved.status != SaveStatus::Saved) {
        reportFailure(log, saved);
        return ListingOutcome::Failed;
    }

    if (details) log.print("Denominador salvo no arquivo %s", files[0].path.c_str());
    if (fileWarnings[0]) warnings.add(log, *fileWarnings[0]);
    for (int k = 1; k <= run.variableCount; ++k) {
        const auto index = static_cast<std::size_t>(k);
        if (details) {
            log.print("Numerador %d (%s) salvo no arquivo %s", k, run.variableName(k),
                      files[index].path.c_str());
        }
        if (fileWarnings[index]) warnings.add(log, *fileWarnings[index]);
    }
    if (!details) log.print("Resultados salvos como %s.*", names.baseName().c_str());
    log.print(warnings.empty() ? "Análise terminada com sucesso."
                               : "Análise terminada com avisos.");
    return ListingOutcome::Done;
}

}  // namespace corvane
