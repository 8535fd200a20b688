#include "results.h"

#include <algorithm>
#include <string>

#include "result_file.h"

namespace corvane {

namespace {

// Saves one result file; logs and returns false when it could not be written.
bool saveFile(AnalysisLog& log, const std::string& path, const Polynomial& p) {
    switch (savePolynomial(path, p)) {
        case SaveStatus::Saved:
            return true;
        case SaveStatus::CannotCreate:
            log.print("Não foi possível criar o arquivo %s", path.c_str());
            return false;
        case SaveStatus::WriteFailed:
            log.print("Erro ao gravar o arquivo %s", path.c_str());
            return false;
    }
    return false;
}

// "%15.12f" writes magnitudes below 5e-13 as zero: say so rather than let the file
// silently hold a different function.
void warnAboutLostCoefficients(AnalysisLog& log, const std::string& path, const Polynomial& p) {
    if (losesSmallCoefficients(p)) {
        log.print("Aviso: o arquivo %s perdeu coeficientes menores que 5e-13; use a normalização.",
                  path.c_str());
    }
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
    const int n = std::min(run.variableCount, MaxVariables);
    for (int k = 1; k <= n; ++k) {
        if (!host.isSelected(k)) continue;
        log.print("Numerador %d (%s):", k, run.variableName(k));
        listPolynomial(log, functions.numerator[k]);
    }
}

bool saveResults(AnalysisLog& log, const NetworkFunctions& functions, const RunState& run,
                 const AnalysisHost& host) {
    const bool details = host.listDetails();
    listResults(log, functions, run, host);
    host.afterNumericListing(run, functions, log);

    const std::string denominatorFile = run.baseName + ".d";
    if (!saveFile(log, denominatorFile, functions.denominator)) return false;
    if (details) log.print("Denominador salvo no arquivo %s", denominatorFile.c_str());
    warnAboutLostCoefficients(log, denominatorFile, functions.denominator);

    for (int k = 1; k <= run.variableCount; ++k) {
        const std::string numeratorFile = run.baseName + ".n" + std::to_string(k);
        if (!saveFile(log, numeratorFile, functions.numerator[k])) return false;
        if (details) {
            log.print("Numerador %d (%s) salvo no arquivo %s", k, run.variableName(k),
                      numeratorFile.c_str());
        }
        warnAboutLostCoefficients(log, numeratorFile, functions.numerator[k]);
    }
    if (!details) log.print("Resultados salvos como %s.*", run.baseName.c_str());
    log.print("Análise terminada com sucesso.");
    return true;
}

}  // namespace corvane
