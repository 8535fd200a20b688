#include "netlist_reader.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "floating_point.h"
#include "input_file.h"

namespace corvane {

namespace {

// The marker between a C or L value and its initial condition ("IC=", " IC = ", ...) is
// kept up to this length; a longer run is still skipped whole, so it parses the same.
constexpr int MarkerLength = 255;

void upperCaseFirst(char* text) {
    if (text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
}

template <std::size_t N>
void copyName(char (&destination)[N], const char* source) {
    std::snprintf(destination, N, "%s", source);
}

// Scratch buffers of the reading loop. They keep their text from line to line within a
// run: a field that a short line does not fill keeps the previous line's text.
struct LineFields {
    char token[MaxNameLength + 1] = {};
    char node[4][MaxNameLength + 1] = {};
    char marker[MarkerLength + 1] = {};
};

class NetlistReader {
public:
    NetlistReader(RunState& run, AnalysisLog& log) : run_(run), log_(log) {}

    bool read(const std::string& path) {
        deriveFileNames(run_, path);
        InputFile file = openForReading(run_.netlistFileName.c_str());
        if (!file) {
            log_.print("Arquivo %s inexistente", run_.netlistFileName.c_str());
            return false;
        }
        run_.commandLineMissing = 1;
        log_.print("Lendo netlist %s:", run_.netlistFileName.c_str());
        file_ = file.get();
        std::fscanf(file_, "%*[^\n]");  // the title

        while (std::fscanf(file_, "%10s", fields_.token) == 1) {
            if (!readLine()) return false;
        }
        file.reset();

        if (run_.tooManyNodes) {
            log_.print("Número excessivo de nós (%d)", MaxVariables);
            return false;
        }
        if (!numberExtraCurrents()) return false;
        listVariables();
        return true;
    }

private:
    int node(int i) { return findOrAddNode(run_, log_, fields_.node[i]); }

    // The first token of the line is in fields_.token. Returns false when the run ends.
    bool readLine() {
        if (++run_.elementCount > MaxElements) {
            log_.print("O programa só aceita até %d elementos", MaxElements);
            return false;
        }
        upperCaseFirst(fields_.token);
        Element& e = run_.ElementTable[run_.elementCount];
        copyName(e.name, fields_.token);
        char(&n)[4][MaxNameLength + 1] = fields_.node;

        switch (e.name[0]) {
            case 'R':
                std::fscanf(file_, "%10s%10s%lg%*[^\n]", n[0], n[1], &e.value);
                log_.print("%s %s %s %g", e.name, n[0], n[1], e.value);
                e.a = node(0);
                e.b = node(1);
                return true;
            case 'C':
            case 'L':
                readCapacitorOrInductor(e);
                log_.print("%s %s %s %g (%s) %g", e.name, n[0], n[1], e.value, fields_.marker,
                           e.value2);
                e.a = node(0);
                e.b = node(1);
                return true;
            case 'I':
            case 'V':
                return readSource(e);
            case 'G':
            case 'E':
            case 'F':
            case 'H':
                std::fscanf(file_, "%10s%10s%10s%10s%lg%*[^\n]", n[0], n[1], n[2], n[3], &e.value);
                log_.print("%s %s %s %s %s %g", e.name, n[0], n[1], n[2], n[3], e.value);
                numberFourNodes(e);
                return true;
            case 'O':
                std::fscanf(file_, "%10s%10s%10s%10s%*[^\n]", n[0], n[1], n[2], n[3]);
                log_.print("%s %s %s %s %s", e.name, n[0], n[1], n[2], n[3]);
                numberFourNodes(e);
                return true;
            case 'K':
                std::fscanf(file_, "%10s%10s%lg%*[^\n]", n[0], n[1], &e.value);
                log_.print("%s %s %s %g", e.name, n[0], n[1], e.value);
                return resolveCoupling(e);
            case '*':
            case '.':
                // Comments, and command lines, whose commands are reserved.
                std::fscanf(file_, "%*[^\n]");
                --run_.elementCount;
                return true;
            default:
                log_.print("Elemento desconhecido: %s", fields_.token);
                return false;
        }
    }

    void readCapacitorOrInductor(Element& e) {
        char(&n)[4][MaxNameLength + 1] = fields_.node;
        e.value2 = 0.0;
        fields_.marker[0] = '\0';
        const int read =
            std::fscanf(file_, "%10s%10s%lg%255[IC= ]", n[0], n[1], &e.value, fields_.marker);
        if (read == 4) {
            std::fscanf(file_, "%*[IC= ]");
            std::fscanf(file_, "%lg%*[^\n]", &e.value2);
        }
    }

    bool readSource(Element& e) {
        char(&n)[4][MaxNameLength + 1] = fields_.node;
        char* type = fields_.token;
        copyName(fields_.token, "Impulso");
        std::fscanf(file_, "%10s%10s%lg%10s", n[0], n[1], &e.value, type);
        upperCaseFirst(type);
        e.y = type[0];
        if (e.y != 'I' && e.y != 'D') {
            log_.print("Fonte inválida %s", type);
            return false;
        }
        log_.print("%s %s %s %g %s", e.name, n[0], n[1], e.value, type);
        e.a = node(0);
        e.b = node(1);
        return true;
    }

    void numberFourNodes(Element& e) {
        e.a = node(0);
        e.b = node(1);
        e.c = node(2);
        e.d = node(3);
    }

    // The two names of a K line are element names, matched exactly against every element
    // before it; the last match wins. Only inductors can be coupled.
    bool resolveCoupling(Element& k) {
        const char* first = fields_.node[0];
        const char* second = fields_.node[1];
        k.a = 0;
        k.b = 0;
        for (int i = 1; i < run_.elementCount; ++i) {
            const char* name = run_.ElementTable[i].name;
            if (std::strcmp(name, first) == 0) k.a = i;
            if (std::strcmp(name, second) == 0) k.b = i;
        }
        if (k.a == 0 || k.b == 0 || !isInductor(k.a) || !isInductor(k.b)) {
            log_.print("Indutor não encontrado.");
            return false;
        }
        log_.print("(%s está na linha %d, %s está na linha %d)", first, k.a, second, k.b);
        const double l1 = run_.ElementTable[k.a].value;
        const double l2 = run_.ElementTable[k.b].value;
        // A negative product of inductances is an invalid operation here.
        checkFloatingPoint([&] { k.value2 = std::sqrt(l1 * l2) * k.value; });
        return true;
    }

    bool isInductor(int i) const { return run_.ElementTable[i].name[0] == 'L'; }

    bool numberExtraCurrents() {
        run_.nodeCount = run_.variableCount;
        for (int i = 1; i <= run_.elementCount; ++i) {
            Element& e = run_.ElementTable[i];
            switch (e.name[0]) {
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
    std::FILE* file_ = nullptr;
    LineFields fields_;
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
    const std::size_t slash = path.rfind('/');
    const std::size_t fileNameStart = slash == std::string::npos ? 0 : slash + 1;
    std::size_t dot = path.find('.', fileNameStart);
    run.netlistFileName = path;
    if (dot == std::string::npos) {
        dot = path.size();
        run.netlistFileName += ".net";
    }
    run.baseName = path.substr(0, dot);
}

bool readNetlist(RunState& run, AnalysisLog& log, const std::string& path) {
    NetlistReader reader(run, log);
    return reader.read(path);
}

}  // namespace corvane
