// Evaluates the result files of a run as rational functions of a complex s.
#pragma once

#include <complex>
#include <cstdio>
#include <string>

#include "analysis_log.h"
#include "polynomial.h"
#include "result_file.h"

namespace corvane::test {

using Complex = std::complex<double>;

inline Complex evaluate(const Polynomial& p, Complex s) {
    Complex value = 0.0;
    for (int i = p.degree; i >= 0; --i)
        value = value * s + p.coef[i];
    return p.constant * value;
}

/// Reads a result file; the polynomial is all zeros when the file cannot be read whole.
inline Polynomial readResultFile(const std::string& path) {
    Polynomial p;
    AnalysisLog quiet;
    if (std::FILE* file = std::fopen(path.c_str(), "r")) {
        if (readPolynomial(file, p, quiet) != ReadStatus::Complete) p = Polynomial{};
        std::fclose(file);
    }
    return p;
}

/// Numerator k over the denominator of the run whose result files start with `baseName`.
inline Complex transferFunction(const std::string& baseName, int k, Complex s) {
    return evaluate(readResultFile(baseName + ".n" + std::to_string(k)), s) /
           evaluate(readResultFile(baseName + ".d"), s);
}

}  // namespace corvane::test
