#include "result_file.h"

#include <algorithm>
#include <cerrno>
#include <cmath>

#include <fcntl.h>
#include <unistd.h>

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
    const int last = std::min(p.degree, MaxDegree);
    for (int i = 0; i <= last; ++i)
        ok = writeNumber(file, p.coef[i]) && ok;
    return writeNumber(file, p.constant) && ok;
}

bool losesSmallCoefficients(const Polynomial& p) {
    const int last = std::min(p.degree, MaxDegree);
    for (int i = 0; i <= last; ++i) {
        if (isLostInFile(p.coef[i])) return true;
    }
    return isLostInFile(p.constant);
}

ReadStatus readPolynomial(std::FILE* file, Polynomial& p, AnalysisLog& log) {
    ScopedCLocale locale;
    ReadTracker tracker;
    tracker.note(std::fscanf(file, "%d", &p.degree));
    if (p.degree > MaxDegree) {
        log.print("Polinômio com grau excessivo");
        p.degree = MaxDegree;
    }
    for (int i = 0; i <= p.degree; ++i)
        tracker.note(std::fscanf(file, "%lg", &p.coef[i]));
    tracker.note(std::fscanf(file, "%lg", &p.constant));
    return tracker.status();
}

}  // namespace corvane

namespace corvane {

namespace {

struct TemporaryFile {
    std::string path;
    std::FILE* file = nullptr;
};

// Creates a new file beside `path` that no one else uses; its permissions follow the
// process's umask, as the final file's would.
TemporaryFile createBeside(const std::string& path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        TemporaryFile temporary;
        temporary.path = path + ".~" + std::to_string(getpid()) + "-" + std::to_string(attempt);
        const int fd = open(temporary.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return {};
        }
        temporary.file = fdopen(fd, "w");
        if (!temporary.file) {
            close(fd);
            unlink(temporary.path.c_str());
            return {};
        }
        return temporary;
    }
    return {};
}

}  // namespace

SaveStatus savePolynomial(const std::string& path, const Polynomial& p) {
    TemporaryFile temporary = createBeside(path);
    if (!temporary.file) return SaveStatus::CannotCreate;
    bool ok = writePolynomial(temporary.file, p);
    ok = std::fflush(temporary.file) == 0 && ok;
    ok = std::ferror(temporary.file) == 0 && ok;
    ok = std::fclose(temporary.file) == 0 && ok;
    ok = ok && std::rename(temporary.path.c_str(), path.c_str()) == 0;
    if (!ok) {
        unlink(temporary.path.c_str());
        return SaveStatus::WriteFailed;
    }
    return SaveStatus::Saved;
}

}  // namespace corvane
