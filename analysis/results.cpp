#include "results.h"

#include <algorithm>
#include <string>
#include <vector>

#include "measurements.h"
#include "pole_zero_listing.h"
#include "result_file.h"
#include "result_file_names.h"
#include "result_set.h"

namespace corvane {

namespace {

void reportFailure(AnalysisLog& log, const SetSaveResult& result) {
    if (result.status == SaveStatus::CannotCreate) {
        log.print("Não foi possível criar o arquivo %s", result.failedPath.c_str());
    } else {
        log.print("Erro ao gravar o arquivo %s", result.failedPath.c_str());
    }
}

// "%15.12f" writes magnitudes below 5e-13 as zero: say so rather than let the file
// silently hold a different function.
void warnAboutLostCoefficients(AnalysisLog& log, RunWarnings& warnings, const std::string& path,
                               const Polynomial& p) {
    if (!losesSmallCoefficients(p)) return;
    RunWarning warning;
    warning.text = "Aviso: o arquivo " + path +
                   " perdeu coeficientes menores que 5e-13; use a normalização.";
    warning.subject = WarningSubject::File;
    warning.file = path;
    warnings.add(log, std::move(warning));
}

}  // namespace

void listPolynomial(AnalysisLog& log, const Polynomial& p) {
    for (int i = 0; i <= p.degree && i <= MaxDegree; ++i)
        log.print("a%d: %15.12f", i, p.coef[i]);
    log.print("Cte: %15.12f", p.constant);
}

void listResults(AnalysisLog& log, const NetworkFunctions& functions, const RunState& run,
                 const AnalysisHost& host) {
    log.print("Sistema resolvido:");
    log.print("Denominador:");
    listPolynomial(log, functions.denominator);
    if (host.listPolesAndZeros()) listPoles(log, functions);
    const int n = std::min(run.variableCount, MaxVariables);
    for (int k = 1; k <= n; ++k) {
        if (!host.isSelected(k)) continue;
        log.print("Numerador %d (%s):", k, run.variableName(k));
        listPolynomial(log, functions.numerator[k]);
        if (host.listPolesAndZeros()) listZeros(log, functions, k);
        if (host.listMeasures()) listMeasures(log, functions, k);
    }
}

bool saveResults(AnalysisLog& log, const NetworkFunctions& functions, const RunState& run,
                 const AnalysisHost& host, RunWarnings& warnings) {
    const bool details = host.listDetails();
    listResults(log, functions, run, host);
    host.afterNumericListing(run, functions, log);

    const ResultFileNames names(run.netlistFileName);
    std::vector<ResultToSave> files{{names.denominator(), &functions.denominator}};
    for (int k = 1; k <= run.variableCount; ++k)
        files.push_back({names.numerator(k), &functions.numerator[k]});
    const SetSaveResult saved = saveResultSet(files);
    if (saved.status != SaveStatus::Saved) {
        reportFailure(log, saved);
        return false;
    }

    if (details) log.print("Denominador salvo no arquivo %s", files[0].path.c_str());
    warnAboutLostCoefficients(log, warnings, files[0].path, functions.denominator);
    for (int k = 1; k <= run.variableCount; ++k) {
        const std::string& numeratorFile = files[static_cast<std::size_t>(k)].path;
        if (details) {
            log.print("Numerador %d (%s) salvo no arquivo %s", k, run.variableName(k),
                      numeratorFile.c_str());
        }
        warnAboutLostCoefficients(log, warnings, numeratorFile, functions.numerator[k]);
    }
    if (!details) log.print("Resultados salvos como %s.*", names.baseName().c_str());
    log.print(warnings.empty() ? "Análise terminada com sucesso."
                               : "Análise terminada com avisos.");
    return true;
}

}  // namespace corvane
