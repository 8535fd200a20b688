#include "result_file.h"

#include <algorithm>
#include <cmath>

#include "c_locale.h"

namespace corvane {

namespace {

// "%15.12f" prints magnitudes below this as zero.
constexpr double SmallestWrittenMagnitude = 5e-13;

bool writeNumber(std::FILE* file, double value) {
    return std::fprintf(file, "%15.12f\n", value) >= 0;
}

bool isLostInFile(double value) {
    return value != 0.0 && std::fabs(value) < SmallestWrittenMagnitude;
}

// Remembers the first field that could not be read.
class ReadTracker {
public:
    void note(int converted) {
        if (status_ != ReadStatus::Complete || converted == 1) return;
        status_ = converted == EOF ? ReadStatus::EndedEarly : ReadStatus::NotANumber;
    }
    ReadStatus status() const { return status_; }

private:
    ReadStatus status_ = ReadStatus::Complete;
};

}  // namespace

bool writePolynomial(std::FILE* file, const Polynomial& p) {
    ScopedCLocale locale;
    bool ok = std::fprintf(file, "%d\n", p.degree) >= 0;
    const int last = std::min(p.degree, p.capacityDegree());
    for (int i = 0; i <= last; ++i)
        ok = writeNumber(file, p.coef[i]) && ok;
    return writeNumber(file, p.constant) && ok;
}

bool losesSmallCoefficients(const Polynomial& p) {
    const int last = std::min(p.degree, p.capacityDegree());
    for (int i = 0; i <= last; ++i) {
        if (isLostInFile(p.coef[i])) return true;
    }
    return isLostInFile(p.constant);
}

ReadStatus readPolynomial(std::FILE* file, Polynomial& p, AnalysisLog& log) {
    ScopedCLocale locale;
    ReadTracker tracker;
    int degree = p.degree;
    tracker.note(std::fscanf(file, "%d", &degree));
    // Read as a lower degree, the file would give a truncated polynomial and a wrong curve.
    if (degree > MaxLiftedDegree) {
        log.print("Polinômio com grau excessivo");
        return ReadStatus::DegreeTooHigh;
    }
    p.setDegree(degree);
    for (int i = 0; i <= p.degree; ++i)
        tracker.note(std::fscanf(file, "%lg", &p.coef[i]));
    tracker.note(std::fscanf(file, "%lg", &p.constant));
    return tracker.status();
}

}  // namespace corvane

namespace corvane {

SaveStatus savePolynomial(const std::string& path, const Polynomial& p) {
    return saveResultSet({{path, &p, {}}}).status;
}

}  // namespace corvane
