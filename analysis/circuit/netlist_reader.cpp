#include "netlist_reader.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <optional>
#include <vector>

#include "circuit_builder.h"
#include "element_table.h"
#include "input_file.h"
#include "netlist_scanner.h"
#include "netlist_value.h"
#include "result_file_names.h"
#include "result_warnings_file.h"
#include "spice_reader.h"

namespace corvane {

namespace {

// The characters that may stand between a C or L value and its initial condition
// ("IC=", " IC = ", ...).
constexpr const char* MarkerCharacters = "IC= ";

void upperCaseFirst(std::string& text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') {
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    }
}

// Ends the reading of a netlist with the line already printed to the log.
struct ReadingStopped {};

class NetlistReader {
public:
    NetlistReader(RunState& run, AnalysisLog& log, RunLimits limits)
        : run_(run), log_(log), builder_(run, log, limits) {}

    bool read(const std::string& path) {
        deriveFileNames(run_, path);
        const char* fileName = run_.netlistFileName.c_str();
        errno = 0;
        InputFile file = openForReading(fileName);
        if (!file) {
            if (errno == ENOENT || errno == ENOTDIR) {
                log_.print("Arquivo %s inexistente", fileName);
            } else {
                reportUnreadable(errno);
            }
            return false;
        }
        if (const int reason = unreadableKind(file.get())) {
            reportUnreadable(reason);
            return false;
        }
        run_.commandLineMissing = 1;
        log_.print("Lendo netlist %s:", fileName);
        NetlistScanner scanner(file.get());
        scanner_ = &scanner;
        try {
            scanner.skipRestOfLine();  // the title
            std::string token;
            while (scanner.nextField(token)) {
                scanner.markLine();
                readLine(token);
            }
        } catch (const ReadingStopped&) {
            return false;
        }
        if (scanner.failed()) {
            reportUnreadable(scanner.readError());
            return false;
        }
        scanner_ = nullptr;
        file.reset();

        if (!builder_.finish()) return false;
        if (!resultsSpareNetlist(run_, log_)) return false;
        builder_.listVariables();
        return true;
    }

private:
    // Only files and pipes are read: a folder or a device such as /dev/null or /dev/zero
    // is no netlist. Returns the error that says why, or 0.
    static int unreadableKind(std::FILE* file) {
        struct stat status {};
        if (fstat(fileno(file), &status) != 0) return errno;
        if (S_ISDIR(status.st_mode)) return EISDIR;
        if (!S_ISREG(status.st_mode) && !S_ISFIFO(status.st_mode)) return ENODEV;
        return 0;
    }

    void reportUnreadable(int reason) {
        const char* why = reason == ENODEV ? "não é um arquivo comum" : std::strerror(reason);
        log_.print("Não foi possível ler o arquivo %s: %s", run_.netlistFileName.c_str(), why);
    }

    [[noreturn]] void stop() { throw ReadingStopped{}; }

    // A name field (node, inductor): present, and at most MaxNameLength characters.
    std::string nameField() {
        std::string field;
        if (!scanner_->nextField(field)) {
            stopOnReadingError();
            log_.print("Linha %d: campo ausente: %s", scanner_->markedLine(),
                       scanner_->markedLineText().c_str());
            stop();
        }
        // A field cut by the scanner is far longer than any name.
        check(builder_.acceptsName(field));
        return field;
    }

    void check(bool accepted) {
        if (!accepted) stop();
    }

    double valueField() {
        std::string field;
        std::optional<double> value;
        if (scanner_->nextField(field) && !scanner_->truncated()) value = parseValue(field);
        if (!value) reportBadValue();
        return *value;
    }

    // A field that is missing because the file could not be read further is a reading
    // error, not a fault of the line.
    void stopOnReadingError() {
        if (!scanner_->failed()) return;
        reportUnreadable(scanner_->readError());
        stop();
    }

    [[noreturn]] void reportBadValue() {
        stopOnReadingError();
        log_.print("Linha %d: valor ausente ou inválido: %s", scanner_->markedLine(),
                   scanner_->markedLineText().c_str());
        stop();
    }

    // The first token of the line is `token`; the scanner stands right after it.
    void readLine(std::string& token) {
        upperCaseFirst(token);
        const char kind = token[0];
        if (kind == '*' || kind == '.') {
            // Comments, and command lines, whose commands are reserved.
            scanner_->skipRestOfLine();
            return;
        }
        check(builder_.beginElement(token, scanner_->markedLine()));
        const char* name = token.c_str();
        ElementFields f;
        switch (kind) {
            case 'R':
            case 'K':
                readTwoNamesAndValue(f);
                scanner_->skipRestOfLine();
                log_.print("%s %s %s %g", name, names_[0].c_str(), names_[1].c_str(), f.value);
                break;
            case 'C':
            case 'L':
                readCapacitorOrInductor(name, f);
                break;
            case 'I':
            case 'V':
                readSource(name, f);
                break;
            case 'G':
            case 'E':
            case 'F':
            case 'H':
                readFourNames();
                f.value = valueField();
                scanner_->skipRestOfLine();
                log_.print("%s %s %s %s %s %g", name, names_[0].c_str(), names_[1].c_str(),
                           names_[2].c_str(), names_[3].c_str(), f.value);
                break;
            case 'O':
                readFourNames();
                readOpAmpModel(name, f);
                break;
            default:
                break;
        }
        const ElementKind& row = *findElementKind(kind);
        if (row.connections == Connections::TwoInductors) {
            f.controllingElements.assign(names_.begin(), names_.begin() + 2);
        } else {
            f.nodes.assign(names_.begin(), names_.begin() + row.nodeCount());
        }
        check(builder_.completeElement(f));
    }

    void readTwoNamesAndValue(ElementFields& f) {
        names_[0] = nameField();
        names_[1] = nameField();
        f.value = valueField();
    }

    void readFourNames() {
        for (std::string& name : names_)
            name = nameField();
    }

    // The value may be followed on the same line by a marker of the characters "IC= " and
    // the initial condition; without one the initial condition is 0.
    void readCapacitorOrInductor(const char* name, ElementFields& f) {
        readTwoNamesAndValue(f);
        const std::string marker = scanner_->takeRun(MarkerCharacters);
        if (!scanner_->atEndOfLine()) {
            std::string field;
            scanner_->nextField(field);
            const std::optional<double> initial =
                scanner_->truncated() ? std::nullopt : parseValue(field);
            if (!initial) reportBadValue();
            f.initialCondition = *initial;
        }
        scanner_->skipRestOfLine();
        log_.print("%s %s %s %g (%s) %g", name, names_[0].c_str(), names_[1].c_str(), f.value,
                   marker.c_str(), f.initialCondition);
    }

    // The type is the last field; a file that ends before it gives an impulse. Nothing
    // after the type is discarded.
    void readSource(const char* name, ElementFields& f) {
        readTwoNamesAndValue(f);
        std::string type;
        if (!scanner_->nextField(type)) type = "Impulso";
        upperCaseFirst(type);
        const std::string shown = shownText(type);
        if (type[0] != 'I' && type[0] != 'D') {
            log_.print("Fonte inválida %s", shown.c_str());
            stop();
        }
        f.source = type[0] == 'I' ? SourceType::Impulse : SourceType::Step;
        log_.print("%s %s %s %g %s", name, names_[0].c_str(), names_[1].c_str(), f.value,
                   shown.c_str());
    }

    // What follows an op-amp's four nodes on its own line. A line that names neither A0 nor
    // GBW is the ideal op-amp, its other text ignored as it always was; one that names
    // either is a model, every field of it KEY=VALUE.
    void readOpAmpModel(const char* name, ElementFields& f) {
        std::vector<std::string> fields;
        // A field cut short keeps its key but no value can be read from it.
        std::vector<bool> cut;
        std::string field;
        // A model has two fields at most: a third is kept only to be named.
        while (!scanner_->atEndOfLine() && scanner_->nextField(field)) {
            if (fields.size() == 3) continue;
            fields.push_back(field);
            cut.push_back(scanner_->truncated());
        }
        const auto keyOf = [](const std::string& text) {
            std::string key = text.substr(0, text.find('='));
            for (char& c : key)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            return key;
        };
        const bool model = std::any_of(fields.begin(), fields.end(), [&](const std::string& t) {
            const std::string key = keyOf(t);
            return key == "A0" || key == "GBW";
        });
        if (!model) {
            log_.print("%s %s %s %s %s", name, names_[0].c_str(), names_[1].c_str(),
                       names_[2].c_str(), names_[3].c_str());
            return;
        }
        std::optional<double> gain;
        std::optional<double> bandwidth;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const std::string& text = fields[i];
            const std::string key = keyOf(text);
            const bool repeated = (key == "A0" && gain) || (key == "GBW" && bandwidth);
            if ((key != "A0" && key != "GBW") || repeated) {
                modelFault("parâmetro desconhecido ou repetido " + shownText(text));
            }
            const std::size_t equals = text.find('=');
            std::optional<double> value;
            if (equals != std::string::npos && !cut[i]) value = parseValue(text.substr(equals + 1));
            if (!value || !std::isfinite(*value) || *value <= 0.0) {
                modelFault("valor de " + key + " ausente ou inválido (um número positivo)");
            }
            (key == "A0" ? gain : bandwidth) = *value;
        }
        if (!gain) modelFault("amplificador operacional sem A0 (GBW pede o ganho A0)");
        f.value = *gain;
        f.finiteGain = true;
        std::string shown = std::string(name) + " " + names_[0] + " " + names_[1] + " " +
                            names_[2] + " " + names_[3];
        char number[64];
        std::snprintf(number, sizeof number, " A0=%g", *gain);
        shown += number;
        if (bandwidth) {
            // τ = A0/(2π·GBW): the pole sits at GBW/A0, so that the gain crosses 1 at GBW.
            const double tau = *gain / (2.0 * std::numbers::pi * *bandwidth);
            if (!std::isfinite(tau) || tau <= 0.0) {
                modelFault("valor de GBW ausente ou inválido (um número positivo)");
            }
            f.poleTimeConstant = tau;
            std::snprintf(number, sizeof number, " GBW=%g", *bandwidth);
            shown += number;
        }
        log_.print("%s", shown.c_str());
    }

    [[noreturn]] void modelFault(const std::string& why) {
        stopOnReadingError();
        log_.print("Linha %d: %s: %s", scanner_->markedLine(), why.c_str(),
                   scanner_->markedLineText().c_str());
        stop();
    }

    RunState& run_;
    AnalysisLog& log_;
    CircuitBuilder builder_;
    NetlistScanner* scanner_ = nullptr;
    std::array<std::string, 4> names_;
};

}  // namespace

// A netlist named like a result file ("filtro.d", "amp.n1", or a link to one) would be
// replaced by the results of its own run: the run ends before anything is written. So would
// a file the netlist includes.
bool resultsSpareInput(const RunState& run, AnalysisLog& log, const std::string& input,
                       const char* what) {
    struct stat read {};
    if (stat(input.c_str(), &read) != 0) return true;
    const ResultFileNames names(run.netlistFileName);
    // The warnings file is one of the run's outputs too (written or removed), and so is
    // the noise file of a run that asks for the noise, and its loop gain file.
    for (int k = -3; k <= run.variableCount; ++k) {
        const std::string result = k == -3  ? names.loopGain()
                                   : k == -2 ? names.noiseDensities()
                                   : k < 0  ? warningsFilePath(names)
                                   : k == 0 ? names.denominator()
                                            : names.numerator(k);
        struct stat status {};
        if (stat(result.c_str(), &status) == 0 && status.st_dev == read.st_dev &&
            status.st_ino == read.st_ino) {
            log.print("O %s %s seria substituído pelo arquivo de resultados %s", what,
                      input.c_str(), result.c_str());
            return false;
        }
    }
    return true;
}

bool resultsSpareNetlist(const RunState& run, AnalysisLog& log) {
    return resultsSpareInput(run, log, run.netlistFileName, "netlist");
}

void deriveFileNames(RunState& run, const std::string& path) {
    const ResultFileNames names(path);
    run.netlistFileName = names.netlist();
    run.baseName = names.baseName();
}

bool readNetlist(RunState& run, AnalysisLog& log, const std::string& path, RunLimits limits) {
    deriveFileNames(run, path);
    if (isSpiceNetlist(run.netlistFileName))
        return readSpiceNetlist(run, log, spiceLimits(limits));
    NetlistReader reader(run, log, limits);
    return reader.read(path);
}

}  // namespace corvane
