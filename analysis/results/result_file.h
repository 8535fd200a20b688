// The result file: one Polynomial per text file, written by the analysis and read back
// by the plotter.
//
//   line 1          degree n, "%d"
//   lines 2..n+2    coef[0] .. coef[n], "%15.12f"
//   line n+3        constant, "%15.12f"
#pragma once

#include <cstdio>
#include <string>

#include "analysis_log.h"
#include "polynomial.h"
#include "result_set.h"

namespace corvane {

/// Writes `p` to a file open for writing. Returns false when a write failed.
bool writePolynomial(std::FILE* file, const Polynomial& p);

/// Whether `p` holds a non-zero coefficient or constant that "%15.12f" writes as zero.
bool losesSmallCoefficients(const Polynomial& p);

enum class ReadStatus {
    Complete,
    /// The file ended before every number was read.
    EndedEarly,
    /// Something that is not a number stopped the reading.
    NotANumber,
    /// The degree is above MaxLiftedDegree: nothing after it was read.
    DegreeTooHigh,
};

/// Fills `p` from a file open for reading at its start. Numbers are separated by any
/// white space. A degree above MaxLiftedDegree (1001) is logged ("Polinômio com grau excessivo") and refused,
/// `p` left as it was: no polynomial of the program has more coefficients. A field that
/// could not be read keeps its previous value; the result says whether that happened and
/// why.
ReadStatus readPolynomial(std::FILE* file, Polynomial& p, AnalysisLog& log);

}  // namespace corvane

namespace corvane {

/// Writes `p` to the file `path` so that the file is either replaced whole or left as it
/// was: the text goes to a new file in the same folder, which then takes the final name.
SaveStatus savePolynomial(const std::string& path, const Polynomial& p);

}  // namespace corvane
