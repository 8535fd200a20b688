#include "netlist_reader.h"

#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

#include "floating_point.h"
#include "input_file.h"
#include "netlist_scanner.h"
#include "netlist_value.h"
#include "result_file_names.h"
#include "result_warnings_file.h"

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

template <std::size_t N>
void copyName(char (&destination)[N], const std::string& source) {
    std::snprintf(destination, N, "%s", source.c_str());
}

// Ends the reading of a netlist with the line already printed to the log.
struct ReadingStopped {};

class NetlistReader {
public:
    NetlistReader(RunState& run, AnalysisLog& log) : run_(run), log_(log) {}

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

        if (run_.tooManyNodes) {
            log_.print("Número excessivo de nós (%d)", MaxVariables);
            return false;
        }
        if (!numberExtraCurrents()) return false;
        if (!resultsSpareTheNetlist()) return false;
        listVariables();
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
        checkNameLength(field);
        return field;
    }

    void checkNameLength(const std::string& name) {
        if (name.size() > MaxNameLength || scanner_->truncated()) {
            log_.print("Linha %d: nome com mais de %d caracteres: %s", scanner_->markedLine(),
                       MaxNameLength, shownText(name).c_str());
            stop();
        }
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

    int node(const std::string& name) { return findOrAddNode(run_, log_, name.c_str()); }

    // The first token of the line is `token`; the scanner stands right after it.
    void readLine(std::string& token) {
        upperCaseFirst(token);
        const char kind = token[0];
        if (kind == '*' || kind == '.') {
            // Comments, and command lines, whose commands are reserved.
            scanner_->skipRestOfLine();
            return;
        }
        if (std::strchr("RCLIVGEFHOK", kind) == nullptr || kind == '\0') {
            log_.print("Elemento desconhecido: %s", shownText(token).c_str());
            stop();
        }
        if (++run_.elementCount > MaxElements) {
            log_.print("O programa só aceita até %d elementos", MaxElements);
            stop();
        }
        checkNameLength(token);
        Element& e = run_.ElementTable[run_.elementCount];
        e = Element{};
        copyName(e.name, token);
        refuseRepeatedName(e.name);
        elementLine_[run_.elementCount] = scanner_->markedLine();

        switch (kind) {
            case 'R':
                readTwoTerminal(e);
                scanner_->skipRestOfLine();
                log_.print("%s %s %s %g", e.name, names_[0].c_str(), names_[1].c_str(), e.value);
                numberTwoNodes(e);
                return;
            case 'C':
            case 'L':
                readCapacitorOrInductor(e);
                return;
            case 'I':
            case 'V':
                readSource(e);
                return;
            case 'G':
            case 'E':
            case 'F':
            case 'H':
                readFourNames();
                e.value = valueField();
                scanner_->skipRestOfLine();
                log_.print("%s %s %s %s %s %g", e.name, names_[0].c_str(), names_[1].c_str(),
                           names_[2].c_str(), names_[3].c_str(), e.value);
                numberFourNodes(e);
                return;
            case 'O':
                readFourNames();
                scanner_->skipRestOfLine();
                log_.print("%s %s %s %s %s", e.name, names_[0].c_str(), names_[1].c_str(),
                           names_[2].c_str(), names_[3].c_str());
                numberFourNodes(e);
                return;
            case 'K':
                readTwoTerminal(e);
                scanner_->skipRestOfLine();
                log_.print("%s %s %s %g", e.name, names_[0].c_str(), names_[1].c_str(), e.value);
                resolveCoupling(e);
                return;
            default:
                return;
        }
    }

    // Two names and a value.
    void readTwoTerminal(Element& e) {
        names_[0] = nameField();
        names_[1] = nameField();
        e.value = valueField();
    }

    void readFourNames() {
        for (std::string& name : names_)
            name = nameField();
    }

    void refuseRepeatedName(const char* name) {
        for (int i = 1; i < run_.elementCount; ++i) {
            if (std::strcmp(run_.ElementTable[i].name, name) == 0) {
                log_.print("Linha %d: elemento %s repetido (já definido na linha %d)",
                           scanner_->markedLine(), name, elementLine_[i]);
                stop();
            }
        }
    }

    // The value may be followed on the same line by a marker of the characters "IC= " and
    // the initial condition; without one the initial condition is 0.
    void readCapacitorOrInductor(Element& e) {
        readTwoTerminal(e);
        const std::string marker = scanner_->takeRun(MarkerCharacters);
        if (!scanner_->atEndOfLine()) {
            std::string field;
            scanner_->nextField(field);
            const std::optional<double> initial =
                scanner_->truncated() ? std::nullopt : parseValue(field);
            if (!initial) reportBadValue();
            e.value2 = *initial;
        }
        scanner_->skipRestOfLine();
        log_.print("%s %s %s %g (%s) %g", e.name, names_[0].c_str(), names_[1].c_str(), e.value,
                   marker.c_str(), e.value2);
        numberTwoNodes(e);
    }

    // The type is the last field; a file that ends before it gives an impulse. Nothing
    // after the type is discarded.
    void readSource(Element& e) {
        readTwoTerminal(e);
        std::string type;
        if (!scanner_->nextField(type)) type = "Impulso";
        upperCaseFirst(type);
        e.y = static_cast<unsigned char>(type[0]);
        const std::string shown = shownText(type);
        if (e.y != 'I' && e.y != 'D') {
            log_.print("Fonte inválida %s", shown.c_str());
            stop();
        }
        log_.print("%s %s %s %g %s", e.name, names_[0].c_str(), names_[1].c_str(), e.value,
                   shown.c_str());
        numberTwoNodes(e);
    }

    void numberTwoNodes(Element& e) {
        e.a = node(names_[0]);
        e.b = node(names_[1]);
    }

    void numberFourNodes(Element& e) {
        e.a = node(names_[0]);
        e.b = node(names_[1]);
        e.c = node(names_[2]);
        e.d = node(names_[3]);
    }

    // The two names of a K line are element names, matched exactly against every element
    // before it (names are unique). Only inductors can be coupled, and two different ones.
    void resolveCoupling(Element& k) {
        const char* first = names_[0].c_str();
        const char* second = names_[1].c_str();
        k.a = 0;
        k.b = 0;
        for (int i = 1; i < run_.elementCount; ++i) {
            const char* name = run_.ElementTable[i].name;
            if (std::strcmp(name, first) == 0) k.a = i;
            if (std::strcmp(name, second) == 0) k.b = i;
        }
        if (k.a == 0 || k.b == 0 || !isInductor(k.a) || !isInductor(k.b)) {
            log_.print("Indutor não encontrado.");
            stop();
        }
        if (k.a == k.b) {
            log_.print("Linha %d: indutor acoplado a si mesmo: %s", scanner_->markedLine(), first);
            stop();
        }
        log_.print("(%s está na linha %d, %s está na linha %d)", first, k.a, second, k.b);
        const double l1 = run_.ElementTable[k.a].value;
        const double l2 = run_.ElementTable[k.b].value;
        // A negative product of inductances is an invalid operation here.
        checkFloatingPoint([&] { k.value2 = std::sqrt(l1 * l2) * k.value; });
    }

    // A netlist named like a result file ("filtro.d", "amp.n1", or a link to one) would be
    // replaced by the results of its own run: the run ends before anything is written.
    bool resultsSpareTheNetlist() {
        struct stat netlist {};
        if (stat(run_.netlistFileName.c_str(), &netlist) != 0) return true;
        const ResultFileNames names(run_.netlistFileName);
        // The warnings file is one of the run's outputs too (written or removed).
        for (int k = -1; k <= run_.variableCount; ++k) {
            const std::string result = k < 0    ? warningsFilePath(names)
                                       : k == 0 ? names.denominator()
                                                : names.numerator(k);
            struct stat status {};
            if (stat(result.c_str(), &status) == 0 && status.st_dev == netlist.st_dev &&
                status.st_ino == netlist.st_ino) {
                log_.print("O netlist %s seria substituído pelo arquivo de resultados %s",
                           run_.netlistFileName.c_str(), result.c_str());
                return false;
            }
        }
        return true;
    }

    bool isInductor(int i) const { return run_.ElementTable[i].kind() == 'L'; }

    bool numberExtraCurrents() {
        run_.nodeCount = run_.variableCount;
        for (int i = 1; i <= run_.elementCount; ++i) {
            Element& e = run_.ElementTable[i];
            switch (e.kind()) {
                case 'V':
                case 'E':
                case 'F':
                case 'O':
                case 'L':
                    if (!addExtraCurrents(1)) return false;
                    nameVariable(run_.variableCount, "j", e.name);
                    e.x = run_.variableCount;
                    break;
                case 'H':
                    if (!addExtraCurrents(2)) return false;
                    nameVariable(run_.variableCount - 1, "jx", e.name);
                    nameVariable(run_.variableCount, "jy", e.name);
                    e.x = run_.variableCount - 1;
                    e.y = run_.variableCount;
                    break;
                case 'K':
                    e.x = run_.ElementTable[e.a].x;
                    e.y = run_.ElementTable[e.b].x;
                    break;
                default:
                    break;
            }
        }
        return true;
    }

    bool addExtraCurrents(int count) {
        run_.variableCount += count;
        if (run_.variableCount > MaxVariables) {
            log_.print("As correntes extra excederam o número de variáveis permitido (%d)",
                       MaxVariables);
            return false;
        }
        return true;
    }

    void nameVariable(int k, const char* prefix, const char* elementName) {
        VariableName& name = run_.VariableNames[k];
        std::snprintf(name.data(), name.size(), "%s%s", prefix, elementName);
    }

    void listVariables() {
        log_.print("Variáveis: ");
        for (int k = 0; k <= run_.variableCount; ++k) {
            log_.print("%d: %s", k, run_.variableName(k));
        }
        log_.print("O circuito tem %d nós, %d variáveis e %d elementos", run_.nodeCount,
                   run_.variableCount, run_.elementCount);
    }

    RunState& run_;
    AnalysisLog& log_;
    NetlistScanner* scanner_ = nullptr;
    std::array<std::string, 4> names_;
    /// The text line of each element, for the messages.
    std::array<int, MaxElements + 1> elementLine_{};
};

}  // namespace

int findOrAddNode(RunState& run, AnalysisLog& log, const char* name) {
    for (int i = 0; i <= run.variableCount; ++i) {
        if (std::strcmp(run.variableName(i), name) == 0) return i;
    }
    if (run.variableCount == MaxVariables) {
        log.print("O programa só aceita até %d nós", MaxVariables);
        run.tooManyNodes = 1;
        return MaxVariables;
    }
    ++run.variableCount;
    VariableName& entry = run.VariableNames[run.variableCount];
    std::snprintf(entry.data(), entry.size(), "%s", name);
    return run.variableCount;
}

void deriveFileNames(RunState& run, const std::string& path) {
    const ResultFileNames names(path);
    run.netlistFileName = names.netlist();
    run.baseName = names.baseName();
}

bool readNetlist(RunState& run, AnalysisLog& log, const std::string& path) {
    NetlistReader reader(run, log);
    return reader.read(path);
}

}  // namespace corvane
