#include "spice_reader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "circuit_builder.h"
#include "element_table.h"
#include "input_file.h"
#include "netlist_reader.h"
#include "netlist_scanner.h"
#include "result_file_names.h"
#include "spice_expression.h"
#include "spice_value.h"

namespace corvane {

namespace {

namespace fs = std::filesystem;

// A reason of our own beside the system's errno values: the file passes MaxSpiceFileBytes.
constexpr int TooLarge = -1;

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = lower(c);
    return out;
}

bool endsWithIgnoringCase(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && lowered(text.substr(text.size() - end.size())) == end;
}

// The text of a file read whole, or the reason (an errno value, ENODEV for a device or a
// folder's EISDIR, TooLarge) it could not be. A pipe is read as a file is.
struct FileText {
    std::optional<std::string> text;
    int reason = 0;
};

FileText readFileText(const std::string& path) {
    errno = 0;
    const InputFile file = openForReading(path.c_str());
    if (!file) return {std::nullopt, errno != 0 ? errno : ENOENT};
    struct stat status {};
    if (fstat(fileno(file.get()), &status) != 0) return {std::nullopt, errno};
    if (S_ISDIR(status.st_mode)) return {std::nullopt, EISDIR};
    if (!S_ISREG(status.st_mode) && !S_ISFIFO(status.st_mode)) return {std::nullopt, ENODEV};
    std::string text;
    std::array<char, 65536> buffer{};
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), file.get())) > 0) {
        text.append(buffer.data(), got);
        if (text.size() > MaxSpiceFileBytes) return {std::nullopt, TooLarge};
    }
    if (std::ferror(file.get())) return {std::nullopt, errno != 0 ? errno : EIO};
    return {std::move(text), 0};
}

std::string reasonText(int reason) {
    if (reason == TooLarge) return "passa de " + std::to_string(MaxSpiceFileBytes >> 20) + " MiB";
    if (reason == ENODEV) return "não é um arquivo comum";
    return std::strerror(reason);
}

// One line after continuations are joined and comments taken away, with where it began.
struct Statement {
    std::string file;
    int line = 0;
    std::vector<std::string> tokens;
    /// For op-amp directives: the text after "*corvane".
    bool directive = false;
};

// Ends the reading with the message already in the log.
struct ReadingStopped {};

// Splits a line into fields: blanks separate them, '=' is a field of its own, and a braced
// or quoted expression is one field whatever it holds. False (with `error` set) when a
// brace or a quote is left open.
bool splitFields(std::string_view text, std::vector<std::string>& fields, std::string& error) {
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
            continue;
        }
        if (c == '=') {
            fields.emplace_back("=");
            ++i;
            continue;
        }
        std::string field;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\r' &&
               text[i] != '=') {
            const char open = text[i];
            if (open == '{' || open == '\'') {
                const char close = open == '{' ? '}' : '\'';
                const std::size_t end = text.find(close, i + 1);
                if (end == std::string_view::npos) {
                    error = open == '{' ? "chave '{' não fechada" : "aspa ' não fechada";
                    return false;
                }
                field += text.substr(i, end + 1 - i);
                i = end + 1;
            } else {
                field += open;
                ++i;
            }
        }
        fields.push_back(std::move(field));
    }
    return true;
}

// Takes away a comment at the end of a line: ';' anywhere, '$' at the start or after a
// blank (a '$' inside a name is part of it). Braced expressions are left whole.
std::string withoutEndComment(std::string_view text) {
    int braces = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '{') ++braces;
        if (c == '}' && braces > 0) --braces;
        if (braces > 0) continue;
        if (c == ';') return std::string(text.substr(0, i));
        if (c == '$' && (i == 0 || text[i - 1] == ' ' || text[i - 1] == '\t'))
            return std::string(text.substr(0, i));
    }
    return std::string(text);
}

bool isBlank(std::string_view text) {
    return text.find_first_not_of(" \t\r") == std::string_view::npos;
}

// A subcircuit as defined, its body kept as statements for each instance to read.
struct Subcircuit {
    std::string name;
    std::vector<std::string> pins;
    /// Defaults of its parameters, in order: name (lower case) and expression.
    std::vector<std::pair<std::string, std::string>> parameters;
    /// Its .param lines, read by each instance after the values it is given.
    std::vector<std::pair<std::string, std::string>> locals;
    std::vector<Statement> body;
    std::string place;
};

// The op-amp that stands for a subcircuit: the positions (from 1) among the instance's
// nodes of the non-inverting input, the inverting input and the output.
struct OpAmpMapping {
    std::array<int, 3> pins{};
    std::string place;
    /// A0 and the time constant of the pole, when the directive gives a model.
    std::optional<double> gain;
    double poleTimeConstant = 0.0;
};

// A parameter as defined, evaluated when first used.
struct Parameter {
    std::string expression;
    std::string place;
    std::optional<double> value;
    bool evaluating = false;
};

// The parameters visible where an element is read: the instance's own, then those of the
// instance around it, up to the netlist's.
struct Scope {
    const Scope* parent = nullptr;
    mutable std::map<std::string, Parameter> parameters;
};

// One element after flattening, ready for the builder.
struct FlatElement {
    char kind = '\0';
    std::string name;
    std::string place;
    std::vector<std::string> nodes;
    /// K: the two inductors as written, and where they are looked for ("X1.").
    std::vector<std::string> inductors;
    std::string prefix;
    double value = 0.0;
    double initialCondition = 0.0;
    bool hasInitialCondition = false;
    SourceType source = SourceType::Impulse;
    /// F, H: the voltage source whose current controls it, as written.
    std::string controllingSource;
    /// O: a model (A0 in `value`) instead of the ideal nullor.
    bool finiteGain = false;
    double poleTimeConstant = 0.0;
};

// Where an element is being read: its instance's name prefix, the nodes its pins stand
// for, its parameters and the chain of subcircuits above it.
struct Context {
    std::string prefix;
    std::map<std::string, std::string> pinNodes;
    const Scope* scope = nullptr;
    std::vector<std::string> chain;
    /// "(em X1)" after a place inside an instance.
    std::string instance;
};

constexpr std::array<std::string_view, 28> IgnoredCommands{
    ".ac",      ".tran",   ".op",      ".noise",  ".dc",    ".tf",       ".pz",
    ".sens",    ".disto",  ".four",    ".meas",   ".measure", ".save",   ".print",
    ".plot",    ".probe",  ".option",  ".options", ".temp", ".ic",       ".nodeset",
    ".backanno", ".model", ".global",  ".width",  ".title", ".step",     ".csparam"};

constexpr std::string_view Waveforms[] = {"pulse", "sin", "sine", "exp", "pwl",
                                          "sffm",  "am",  "trnoise", "trrandom"};

bool isWaveform(const std::string& word) {
    return std::find(std::begin(Waveforms), std::end(Waveforms), word) != std::end(Waveforms);
}

class SpiceReader {
public:
    SpiceReader(RunState& run, AnalysisLog& log, RunLimits limits)
        : run_(run), log_(log), builder_(run, log, limits) {}

    bool read() {
        const std::string& path = run_.netlistFileName;
        const FileText file = readFileText(path);
        if (!file.text) {
            if (file.reason == ENOENT || file.reason == ENOTDIR) {
                log_.print("Arquivo %s inexistente", path.c_str());
            } else {
                log_.print("Não foi possível ler o arquivo %s: %s", path.c_str(),
                           reasonText(file.reason).c_str());
            }
            return false;
        }
        run_.commandLineMissing = 1;
        log_.print("Lendo netlist SPICE %s:", path.c_str());
        std::error_code error;
        const fs::path netlist = fs::weakly_canonical(fs::absolute(fs::path(path), error), error);
        folder_ = netlist.parent_path();
        includeChain_.push_back(netlist.string());
        try {
            readStatements(*file.text, path, true);
            if (!openSubcircuits_.empty()) {
                stopAt(openSubcircuits_.back()->place,
                       ".subckt " + openSubcircuits_.back()->name + " sem .ends");
            }
            for (const auto& [name, expression] : globalDefinitions_) {
                global_.parameters.insert_or_assign(
                    name, Parameter{expression, "", std::nullopt, false});
            }
            Context top;
            top.scope = &global_;
            instantiate(topLevel_, top);
            resolveControllingSources();
            build();
        } catch (const ReadingStopped&) {
            return false;
        }
        if (!builder_.finish()) return false;
        if (!resultsSpareNetlist(run_, log_)) return false;
        for (const std::string& included : includedFiles_) {
            if (!resultsSpareInput(run_, log_, included, "arquivo incluído")) return false;
        }
        builder_.listVariables();
        return true;
    }

private:
    [[noreturn]] void stopAt(const std::string& place, const std::string& message) {
        log_.print("%s: %s", capitalised(place).c_str(), message.c_str());
        throw ReadingStopped{};
    }

    static std::string capitalised(std::string text) {
        if (!text.empty()) text[0] = upper(text[0]);
        return text;
    }

    static std::string placeOf(const std::string& file, int line) {
        std::string place = "linha ";
        place += std::to_string(line);
        place += " de ";
        place += file;
        return place;
    }

    static std::string placeOf(const Statement& s) { return placeOf(s.file, s.line); }

    std::string placeIn(const Statement& s, const Context& context) const {
        return placeOf(s) + context.instance;
    }

    void note(const Statement& s, const std::string& text) {
        log_.print("%s: %s", capitalised(placeOf(s)).c_str(), text.c_str());
    }

    // ---- Reading lines ----

    // The statements of one file, in order: comments taken away, continuations joined, the
    // title (of the netlist itself, not of an included file) skipped. Commands that shape
    // the reading (.include, .subckt, .param, .end...) act here.
    void readStatements(const std::string& text, const std::string& file, bool hasTitle) {
        std::vector<Statement> statements;
        int line = 0;
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            ++line;
            const std::string_view raw(text.data() + start, end - start);
            start = end + 1;
            if (raw.size() > MaxSpiceLineBytes) {
                stopAt(placeOf(file, line),
                       "linha com mais de " + std::to_string(MaxSpiceLineBytes) + " bytes");
            }
            if (hasTitle && line == 1) continue;
            joinLine(raw, file, line, statements);
        }
        for (const Statement& s : statements) {
            if (!readStatement(s)) return;
        }
    }

    void joinLine(std::string_view raw, const std::string& file, int line,
                  std::vector<Statement>& statements) {
        const std::size_t first = raw.find_first_not_of(" \t\r");
        if (first == std::string_view::npos) return;
        const std::string_view text = raw.substr(first);
        if (text[0] == '*') {
            if (lowered(text.substr(0, 9)) == "*corvane " || lowered(text) == "*corvane") {
                Statement s{file, line, {}, true};
                splitInto(s, withoutEndComment(text.substr(8)));
                statements.push_back(std::move(s));
            }
            return;
        }
        const std::string content = withoutEndComment(text);
        if (isBlank(content)) return;
        if (content[0] == '+') {
            if (statements.empty() || statements.back().directive)
                stopAt(placeOf(file, line), "linha de continuação '+' sem linha anterior");
            // A fault in the continuation's fields names the continuation's own line.
            Statement& previous = statements.back();
            const int previousLine = previous.line;
            previous.line = line;
            splitInto(previous, std::string_view(content).substr(1));
            previous.line = previousLine;
            return;
        }
        Statement s{file, line, {}, false};
        splitInto(s, content);
        statements.push_back(std::move(s));
    }

    void splitInto(Statement& s, std::string_view text) {
        std::string error;
        if (!splitFields(text, s.tokens, error)) stopAt(placeOf(s), error);
    }

    // Acts on one statement; false at .end.
    bool readStatement(const Statement& s) {
        if (s.directive) {
            readDirective(s);
            return true;
        }
        const std::string command = lowered(s.tokens[0]);
        if (inControl_) {
            if (command == ".endc") inControl_ = false;
            return true;
        }
        if (command[0] != '.') {
            collector().push_back(s);
            return true;
        }
        if (command == ".end") return false;
        if (command == ".control") {
            note(s, "bloco .control ... .endc ignorado.");
            inControl_ = true;
        } else if (command == ".endc") {
            stopAt(placeOf(s), ".endc sem .control");
        } else if (command == ".subckt") {
            beginSubcircuit(s);
        } else if (command == ".ends") {
            if (openSubcircuits_.empty()) stopAt(placeOf(s), ".ends sem .subckt");
            openSubcircuits_.pop_back();
        } else if (command == ".param") {
            readParameters(s, 1, currentParameters());
        } else if (command == ".include" || command == ".inc") {
            include(s, false);
        } else if (command == ".lib") {
            include(s, true);
        } else if (std::find(IgnoredCommands.begin(), IgnoredCommands.end(), command) !=
                   IgnoredCommands.end()) {
            note(s, command + " ignorado.");
        } else {
            stopAt(placeOf(s), "comando desconhecido: " + shownText(s.tokens[0]));
        }
        return true;
    }

    std::vector<Statement>& collector() {
        return openSubcircuits_.empty() ? topLevel_ : openSubcircuits_.back()->body;
    }

    // The parameters of the subcircuit being defined are read by each of its instances.
    std::vector<std::pair<std::string, std::string>>* currentParameters() {
        return openSubcircuits_.empty() ? &globalDefinitions_ : &openSubcircuits_.back()->locals;
    }

    // "name = expression" pairs from token `from` on: the expression runs up to the name
    // of the next pair. Braces and quotes around an expression are taken away.
    void readParameters(const Statement& s, std::size_t from,
                        std::vector<std::pair<std::string, std::string>>* into) {
        const std::vector<std::string>& t = s.tokens;
        std::size_t i = from;
        while (i < t.size()) {
            if (i + 2 >= t.size() || t[i + 1] != "=") {
                stopAt(placeOf(s), "parâmetro sem valor: " + shownText(t[i]));
            }
            const std::string name = lowered(t[i]);
            if (!isParameterName(name)) stopAt(placeOf(s), "nome de parâmetro inválido: " + shownText(t[i]));
            std::size_t end = i + 2;
            while (end < t.size() && !(end + 1 < t.size() && t[end + 1] == "=")) ++end;
            std::string expression;
            for (std::size_t k = i + 2; k < end; ++k) {
                if (!expression.empty()) expression += ' ';
                expression += t[k];
            }
            if (expression.empty()) stopAt(placeOf(s), "parâmetro sem valor: " + shownText(t[i]));
            into->emplace_back(name, unbraced(expression));
            i = end;
        }
    }

    static bool isParameterName(const std::string& name) {
        if (name.empty() || !((name[0] >= 'a' && name[0] <= 'z') || name[0] == '_')) return false;
        return std::all_of(name.begin(), name.end(), [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
        });
    }

    static std::string unbraced(const std::string& text) {
        if (text.size() >= 2 && ((text.front() == '{' && text.back() == '}') ||
                                 (text.front() == '\'' && text.back() == '\''))) {
            return text.substr(1, text.size() - 2);
        }
        return text;
    }

    void beginSubcircuit(const Statement& s) {
        if (s.tokens.size() < 2) stopAt(placeOf(s), ".subckt sem nome");
        auto sub = std::make_unique<Subcircuit>();
        sub->name = s.tokens[1];
        sub->place = placeOf(s);
        const std::string key = lowered(sub->name);
        if (const auto known = subcircuits_.find(key); known != subcircuits_.end()) {
            stopAt(placeOf(s), "subcircuito " + shownText(sub->name) + " repetido (já definido na " +
                                   known->second->place + ")");
        }
        std::size_t i = 2;
        while (i < s.tokens.size()) {
            const std::string word = lowered(s.tokens[i]);
            if (word == "params:" || (i + 1 < s.tokens.size() && s.tokens[i + 1] == "=")) break;
            sub->pins.push_back(lowered(s.tokens[i]));
            ++i;
        }
        if (i < s.tokens.size() && lowered(s.tokens[i]) == "params:") ++i;
        readParameters(s, i, &sub->parameters);
        openSubcircuits_.push_back(sub.get());
        subcircuits_.emplace(key, std::move(sub));
    }

    // "*corvane amp-op NAME P N SAÍDA [A0=.. [GBW=..]]": instances of NAME are Corvane's
    // op-amp, with the non-inverting input, the inverting input and the output at those
    // positions among the instance's nodes; ideal, or of finite gain with a single pole as
    // on an O line of the other format.
    void readDirective(const Statement& s) {
        const std::vector<std::string>& t = s.tokens;
        if (t.empty() || lowered(t[0]) != "amp-op") {
            stopAt(placeOf(s), "diretiva *corvane desconhecida (só *corvane amp-op NOME P N SAÍDA)");
        }
        // '=' is a field of its own: the model adds "A0 = v" and "GBW = v", three fields each.
        if (t.size() < 5 || t.size() > 11 || (t.size() - 5) % 3 != 0) {
            stopAt(placeOf(s),
                   "*corvane amp-op pede o subcircuito e três posições de nó (entrada "
                   "não inversora, entrada inversora, saída), e A0= e GBW= opcionais");
        }
        OpAmpMapping mapping;
        mapping.place = placeOf(s);
        for (std::size_t k = 0; k < 3; ++k) {
            const std::string& field = t[k + 2];
            const bool digits = !field.empty() && field.size() <= 3 &&
                                std::all_of(field.begin(), field.end(),
                                            [](char c) { return c >= '0' && c <= '9'; });
            const int position = digits ? std::stoi(field) : 0;
            if (position < 1) stopAt(placeOf(s), "posição de nó inválida: " + shownText(field));
            mapping.pins[k] = position;
        }
        if (mapping.pins[0] == mapping.pins[1] || mapping.pins[0] == mapping.pins[2] ||
            mapping.pins[1] == mapping.pins[2]) {
            stopAt(placeOf(s), "*corvane amp-op: posições de nó repetidas");
        }
        readOpAmpModel(s, mapping);
        opAmps_.insert_or_assign(lowered(t[1]), mapping);
    }

    // The directive's A0= and GBW= after the positions, keys in any case, SPICE numbers.
    void readOpAmpModel(const Statement& s, OpAmpMapping& mapping) {
        std::optional<double> bandwidth;
        for (std::size_t k = 5; k + 2 < s.tokens.size(); k += 3) {
            const std::string key = lowered(s.tokens[k]);
            const std::string written = s.tokens[k] + s.tokens[k + 1] + s.tokens[k + 2];
            std::optional<double>& slot = key == "a0" ? mapping.gain : bandwidth;
            if ((key != "a0" && key != "gbw") || s.tokens[k + 1] != "=" || slot) {
                stopAt(placeOf(s), "*corvane amp-op: parâmetro desconhecido ou repetido " +
                                       shownText(written));
            }
            const std::optional<double> value = parseSpiceValue(s.tokens[k + 2]);
            if (!value || !(*value > 0.0)) {
                stopAt(placeOf(s), "*corvane amp-op: valor de " +
                                       std::string(key == "a0" ? "A0" : "GBW") +
                                       " ausente ou inválido (um número positivo)");
            }
            slot = value;
        }
        if (bandwidth && !mapping.gain) {
            stopAt(placeOf(s), "*corvane amp-op: GBW pede o ganho A0");
        }
        if (bandwidth) {
            // τ = A0/(2π·GBW): the pole sits at GBW/A0, so that the gain crosses 1 at GBW.
            mapping.poleTimeConstant = *mapping.gain / (2.0 * std::numbers::pi * *bandwidth);
            if (!std::isfinite(mapping.poleTimeConstant) || !(mapping.poleTimeConstant > 0.0)) {
                stopAt(placeOf(s), "*corvane amp-op: valor de GBW ausente ou inválido (um número "
                                   "positivo)");
            }
        }
    }

    void include(const Statement& s, bool library) {
        if (s.tokens.size() < 2) stopAt(placeOf(s), s.tokens[0] + " sem arquivo");
        if (s.tokens.size() > 2) {
            stopAt(placeOf(s), library ? "seções de .lib não são lidas: " + shownText(s.tokens[2])
                                       : "campo a mais: " + shownText(s.tokens[2]));
        }
        std::string name = unbraced(s.tokens[1]);
        if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
            name = name.substr(1, name.size() - 2);
        const fs::path written(name);
        std::error_code error;
        const fs::path base = fs::path(s.file).parent_path();
        const fs::path target =
            fs::weakly_canonical(fs::absolute(base / written, error), error);
        const std::string shown = (base / written).lexically_normal().string();
        if (!insideNetlistFolder(target)) {
            stopAt(placeOf(s), "arquivo incluído fora da pasta do netlist: " + shownText(name));
        }
        if (std::find(includeChain_.begin(), includeChain_.end(), target.string()) !=
            includeChain_.end()) {
            stopAt(placeOf(s), "inclusão circular de " + shownText(shown));
        }
        // The chain starts with the netlist itself.
        if (static_cast<int>(includeChain_.size()) > MaxIncludeDepth) {
            stopAt(placeOf(s), "inclusões aninhadas além de " + std::to_string(MaxIncludeDepth) +
                                   " níveis");
        }
        const FileText file = readFileText(shown);
        if (!file.text) {
            if (library && (file.reason == ENOENT || file.reason == ENOTDIR)) {
                note(s, "biblioteca " + shownText(shown) + " não encontrada; ignorada.");
                return;
            }
            stopAt(placeOf(s),
                   "não foi possível ler " + shownText(shown) + ": " + reasonText(file.reason));
        }
        includeChain_.push_back(target.string());
        includedFiles_.push_back(shown);
        readStatements(*file.text, shown, false);
        includeChain_.pop_back();
    }

    bool insideNetlistFolder(const fs::path& target) const {
        const auto [end, inside] =
            std::mismatch(folder_.begin(), folder_.end(), target.begin(), target.end());
        return end == folder_.end();
    }

    // ---- Flattening ----

    void instantiate(const std::vector<Statement>& body, const Context& context) {
        for (const Statement& s : body) readElement(s, context);
    }

    std::string nodeName(const std::string& written, const Context& context) {
        const std::string key = lowered(written);
        if (key == "0" || key == "gnd") return "0";
        if (const auto pin = context.pinNodes.find(key); pin != context.pinNodes.end())
            return pin->second;
        const std::string full = context.prefix + written;
        return canonicalNodes_.try_emplace(lowered(full), full).first->second;
    }

    static std::string elementName(const std::string& written, const Context& context) {
        std::string name = written;
        name[0] = upper(name[0]);
        return context.prefix + name;
    }

    double value(const Statement& s, const Context& context, const std::string& field) {
        const std::string place = placeIn(s, context);
        if (!field.empty() && (field[0] == '{' || field[0] == '\'')) {
            return evaluate(unbraced(field), *context.scope, place);
        }
        if (const std::optional<double> number = parseSpiceValue(field)) return *number;
        stopAt(place, "valor inválido: " + shownText(field));
    }

    double evaluate(const std::string& expression, const Scope& scope, const std::string& place) {
        const ParameterLookup lookup = [&](const std::string& name, std::string& error) {
            return parameterValue(name, scope, error);
        };
        const ExpressionValue result = evaluateExpression(expression, lookup, depth_);
        if (!result.value) stopAt(place, result.error);
        return *result.value;
    }

    std::optional<double> parameterValue(const std::string& name, const Scope& scope,
                                         std::string& error) {
        for (const Scope* s = &scope; s != nullptr; s = s->parent) {
            const auto found = s->parameters.find(name);
            if (found == s->parameters.end()) continue;
            Parameter& p = found->second;
            if (p.value) return p.value;
            if (p.evaluating) {
                error = "laço de parâmetros: " + name + " depende de si mesmo";
                return std::nullopt;
            }
            if (parameterDepth_ >= MaxParameterChain) {
                error = "parâmetros encadeados além de " + std::to_string(MaxParameterChain) +
                        " níveis";
                return std::nullopt;
            }
            ++parameterDepth_;
            p.evaluating = true;
            const ParameterLookup lookup = [&](const std::string& inner, std::string& innerError) {
                // A parameter's expression sees its own scope and those above it.
                return parameterValue(inner, *s, innerError);
            };
            const ExpressionValue result = evaluateExpression(p.expression, lookup, depth_);
            p.evaluating = false;
            --parameterDepth_;
            if (!result.value) {
                error = result.error;
                return std::nullopt;
            }
            p.value = result.value;
            return p.value;
        }
        return std::nullopt;
    }

    void readElement(const Statement& s, const Context& context) {
        const std::vector<std::string>& t = s.tokens;
        const char letter = upper(t[0][0]);
        const std::string place = placeIn(s, context);
        switch (letter) {
            case 'R':
            case 'C':
            case 'L':
                readTwoTerminal(s, context, letter);
                return;
            case 'K':
                readCoupling(s, context);
                return;
            case 'E':
            case 'G':
                readControlled(s, context, letter, 4);
                return;
            case 'F':
            case 'H':
                readControlled(s, context, letter, 2);
                return;
            case 'V':
            case 'I':
                readSource(s, context, letter);
                return;
            case 'X':
                readInstance(s, context);
                return;
            case 'D':
            case 'Q':
            case 'M':
            case 'J':
            case 'Z':
                stopAt(place, "elemento não linear não suportado: " + shownText(t[0]));
            case 'B':
                stopAt(place, "fonte comportamental não suportada: " + shownText(t[0]));
            case 'T':
            case 'O':
            case 'U':
            case 'W':
            case 'Y':
            case 'P':
                stopAt(place, "elemento distribuído não suportado: " + shownText(t[0]));
            case 'S':
            case 'A':
            case 'N':
                stopAt(place, "elemento não linear não suportado: " + shownText(t[0]));
            default:
                stopAt(place, "elemento desconhecido: " + shownText(t[0]));
        }
    }

    void needFields(const Statement& s, const Context& context, std::size_t count) {
        if (s.tokens.size() < count) stopAt(placeIn(s, context), "campo ausente: " + shownText(s.tokens[0]));
    }

    FlatElement begin(const Statement& s, const Context& context, char kind) {
        FlatElement e;
        e.kind = kind;
        e.name = elementName(s.tokens[0], context);
        e.place = placeIn(s, context);
        e.prefix = context.prefix;
        return e;
    }

    void readTwoTerminal(const Statement& s, const Context& context, char kind) {
        needFields(s, context, 4);
        FlatElement e = begin(s, context, kind);
        const std::vector<std::string>& t = s.tokens;
        e.nodes = {nodeName(t[1], context), nodeName(t[2], context)};
        std::size_t i = 3;
        e.value = value(s, context, t[i++]);
        while (i < t.size()) {
            const std::string key = lowered(t[i]);
            if (kind != 'R' && key == "ic" && i + 2 < t.size() && t[i + 1] == "=") {
                e.initialCondition = value(s, context, t[i + 2]);
                e.hasInitialCondition = true;
                i += 3;
                continue;
            }
            stopAt(e.place, "parâmetro não suportado em " + shownText(t[0]) + ": " + shownText(t[i]));
        }
        flat_.push_back(std::move(e));
    }

    void readCoupling(const Statement& s, const Context& context) {
        needFields(s, context, 4);
        if (s.tokens.size() > 4) {
            stopAt(placeIn(s, context), "campo a mais em " + shownText(s.tokens[0]) + ": " +
                                            shownText(s.tokens[4]));
        }
        FlatElement e = begin(s, context, 'K');
        e.inductors = {s.tokens[1], s.tokens[2]};
        e.value = value(s, context, s.tokens[3]);
        couplings_.push_back(std::move(e));
    }

    // E, G: four nodes and a gain; F, H: two nodes, a controlling voltage source and a gain.
    void readControlled(const Statement& s, const Context& context, char kind, int nodes) {
        const std::vector<std::string>& t = s.tokens;
        for (std::size_t k = 3; k < t.size(); ++k) {
            const std::string word = lowered(t[k]);
            if (word.rfind("poly", 0) == 0 || word == "value" || word == "table" ||
                word == "laplace" || word == "freq" || word == "vol" || word == "cur") {
                stopAt(placeIn(s, context),
                       "fonte controlada não linear não suportada: " + shownText(t[0]));
            }
        }
        // The name, the nodes, the controlling source of F and H, then the value.
        const std::size_t valueAt = nodes == 4 ? 5 : 4;
        needFields(s, context, valueAt + 1);
        if (t.size() > valueAt + 1) {
            stopAt(placeIn(s, context), "campo a mais em " + shownText(t[0]) + ": " +
                                            shownText(t[valueAt + 1]));
        }
        FlatElement e = begin(s, context, kind);
        for (std::size_t k = 1; k <= static_cast<std::size_t>(nodes); ++k)
            e.nodes.push_back(nodeName(t[k], context));
        if (nodes == 2) {
            e.controllingSource = elementName(t[3], context);
            e.nodes.resize(4);
        }
        e.value = value(s, context, t[valueAt]);
        flat_.push_back(std::move(e));
    }

    // The words of a source after its nodes, parentheses and commas taken as blanks outside
    // braces: "PULSE(0 1 0)" gives PULSE, 0, 1, 0.
    static std::vector<std::string> sourceWords(const std::vector<std::string>& tokens) {
        std::vector<std::string> words;
        for (std::size_t k = 3; k < tokens.size(); ++k) {
            const std::string& token = tokens[k];
            if (!token.empty() && (token[0] == '{' || token[0] == '\'')) {
                words.push_back(token);
                continue;
            }
            std::string word;
            for (const char c : token) {
                if (c == '(' || c == ')' || c == ',') {
                    if (!word.empty()) words.push_back(word);
                    word.clear();
                } else {
                    word += c;
                }
            }
            if (!word.empty()) words.push_back(word);
        }
        return words;
    }

    bool isValueWord(const std::string& word) {
        return !word.empty() &&
               (word[0] == '{' || word[0] == '\'' || parseSpiceValue(word).has_value());
    }

    // An AC magnitude makes the source an impulse of that value (the result is then the
    // transfer function); a PULSE that is a step from 0 at t = 0 makes it a step of its
    // height; a DC value alone makes it zero, for a constant does not enter the response.
    void readSource(const Statement& s, const Context& context, char kind) {
        needFields(s, context, 3);
        FlatElement e = begin(s, context, kind);
        e.nodes = {nodeName(s.tokens[1], context), nodeName(s.tokens[2], context)};
        const std::vector<std::string> words = sourceWords(s.tokens);
        std::optional<double> ac;
        std::string waveform;
        std::vector<double> arguments;
        std::size_t i = 0;
        while (i < words.size()) {
            const std::string word = lowered(words[i]);
            if (word == "dc") {
                if (i + 1 >= words.size() || !isValueWord(words[i + 1]))
                    stopAt(e.place, "valor DC ausente em " + shownText(s.tokens[0]));
                value(s, context, words[i + 1]);
                i += 2;
            } else if (word == "ac") {
                ac = 1.0;
                ++i;
                if (i < words.size() && isValueWord(words[i])) ac = value(s, context, words[i++]);
                if (i < words.size() && isValueWord(words[i])) {
                    if (value(s, context, words[i++]) != 0.0) {
                        stopAt(e.place, "fase AC diferente de 0 em " + shownText(s.tokens[0]) +
                                            " não é analisada");
                    }
                }
            } else if (isWaveform(word)) {
                waveform = word;
                ++i;
                while (i < words.size() && isValueWord(words[i])) arguments.push_back(value(s, context, words[i++]));
            } else if (i == 0 && isValueWord(words[i])) {
                value(s, context, words[i++]);
            } else {
                stopAt(e.place, "campo não reconhecido em " + shownText(s.tokens[0]) + ": " +
                                    shownText(words[i]));
            }
        }
        const std::string upperWaveform = uppercased(waveform);
        if (ac) {
            e.value = *ac;
            e.source = SourceType::Impulse;
            if (!waveform.empty()) {
                note(s, "forma de onda " + upperWaveform + " de " + e.name +
                            " ignorada: a fonte entra pelo seu valor AC.");
            }
        } else if (!waveform.empty()) {
            if (!isStep(waveform, arguments)) {
                stopAt(e.place, "a fonte " + e.name + " tem a forma de onda " + upperWaveform +
                                    ", que não é um degrau: só AC (impulso) e PULSE(0 V 0 0) "
                                    "(degrau) entram na análise");
            }
            e.value = arguments[1];
            e.source = SourceType::Step;
        }
        flat_.push_back(std::move(e));
    }

    static std::string uppercased(std::string text) {
        for (char& c : text) c = upper(c);
        return text;
    }

    // PULSE(0 V [0 [0]]): from zero to V at t = 0, at once, and never back.
    static bool isStep(const std::string& waveform, const std::vector<double>& a) {
        if (waveform != "pulse" || a.size() < 2 || a.size() > 5) return false;
        if (a[0] != 0.0) return false;
        if (a.size() >= 3 && a[2] != 0.0) return false;
        if (a.size() >= 4 && a[3] != 0.0) return false;
        return true;
    }

    void readInstance(const Statement& s, const Context& context) {
        const std::vector<std::string>& t = s.tokens;
        const std::string place = placeIn(s, context);
        std::size_t nameAt = t.size();
        for (std::size_t k = 1; k < t.size(); ++k) {
            if (lowered(t[k]) == "params:" || (k + 1 < t.size() && t[k + 1] == "=")) {
                nameAt = k;
                break;
            }
        }
        // The subcircuit's name stands before its parameters, after the nodes.
        if (nameAt < 2) stopAt(place, "campo ausente: " + shownText(t[0]));
        --nameAt;
        const std::string subName = t[nameAt];
        std::vector<std::string> nodes;
        for (std::size_t k = 1; k < nameAt; ++k) nodes.push_back(nodeName(t[k], context));
        const std::string key = lowered(subName);
        if (const auto opAmp = opAmps_.find(key); opAmp != opAmps_.end()) {
            if (nameAt + 1 < t.size()) {
                note(s, "parâmetros de " + elementName(t[0], context) +
                            (opAmp->second.gain
                                 ? " ignorados: o amp-op é o modelo da diretiva *corvane amp-op."
                                 : " ignorados: o amp-op do Corvane é ideal."));
            }
            placeOpAmp(s, context, opAmp->second, nodes);
            return;
        }
        const auto found = subcircuits_.find(key);
        if (found == subcircuits_.end()) stopAt(place, "subcircuito não definido: " + shownText(subName));
        const Subcircuit& sub = *found->second;
        if (std::find(context.chain.begin(), context.chain.end(), key) != context.chain.end()) {
            stopAt(place, "subcircuito " + shownText(subName) + " usado dentro de si mesmo");
        }
        if (static_cast<int>(context.chain.size()) >= MaxSubcircuitDepth) {
            stopAt(place, "subcircuitos aninhados além de " + std::to_string(MaxSubcircuitDepth) +
                              " níveis");
        }
        if (nodes.size() != sub.pins.size()) {
            stopAt(place, shownText(t[0]) + " liga " + std::to_string(nodes.size()) +
                              " nós, e o subcircuito " + shownText(sub.name) + " tem " +
                              std::to_string(sub.pins.size()) + " pinos");
        }
        std::size_t from = nameAt + 1;
        if (from < t.size() && lowered(t[from]) == "params:") ++from;
        std::vector<std::pair<std::string, std::string>> given;
        readParameters(s, from, &given);

        auto scope = std::make_unique<Scope>();
        scope->parent = &global_;
        for (const auto& [name, expression] : sub.parameters)
            scope->parameters.insert_or_assign(name, Parameter{expression, sub.place, {}, false});
        for (const auto& [name, expression] : given) {
            if (!scope->parameters.count(name)) {
                stopAt(place, "o subcircuito " + shownText(sub.name) + " não tem o parâmetro " + name);
            }
            // The value given is read where the instance is written.
            scope->parameters[name] =
                Parameter{"", place, evaluate(expression, *context.scope, place), false};
        }
        for (const auto& [name, expression] : sub.locals)
            scope->parameters.insert_or_assign(name, Parameter{expression, sub.place, {}, false});

        Context inner;
        inner.prefix = elementName(t[0], context) + ".";
        for (std::size_t k = 0; k < nodes.size(); ++k) inner.pinNodes[sub.pins[k]] = nodes[k];
        inner.scope = scope.get();
        inner.chain = context.chain;
        inner.chain.push_back(key);
        inner.instance = " (em " + inner.prefix.substr(0, inner.prefix.size() - 1) + ")";
        scopes_.push_back(std::move(scope));
        instantiate(sub.body, inner);
    }

    void placeOpAmp(const Statement& s, const Context& context, const OpAmpMapping& mapping,
                    const std::vector<std::string>& nodes) {
        const int largest = *std::max_element(mapping.pins.begin(), mapping.pins.end());
        if (static_cast<int>(nodes.size()) < largest) {
            stopAt(placeIn(s, context), shownText(s.tokens[0]) + " liga " +
                                            std::to_string(nodes.size()) +
                                            " nós, e o amp-op da " + mapping.place + " pede " +
                                            std::to_string(largest));
        }
        FlatElement e = begin(s, context, 'O');
        const auto at = [&](int position) { return nodes[static_cast<std::size_t>(position - 1)]; };
        e.nodes = {at(mapping.pins[2]), "0", at(mapping.pins[0]), at(mapping.pins[1])};
        if (mapping.gain) {
            e.finiteGain = true;
            e.value = *mapping.gain;
            e.poleTimeConstant = mapping.poleTimeConstant;
        }
        flat_.push_back(std::move(e));
    }

    // ---- Handing the circuit to the builder ----

    // F and H sense the current of a voltage source; the builder's F and H take it through
    // a short circuit between two nodes instead. A source of 0 V is that short circuit, so
    // it gives its nodes to the controlled source and leaves the circuit.
    void resolveControllingSources() {
        std::map<std::string, std::size_t> sources;
        for (std::size_t k = 0; k < flat_.size(); ++k) {
            if (flat_[k].kind == 'V') sources.emplace(lowered(flat_[k].name), k);
        }
        std::set<std::size_t> used;
        for (FlatElement& e : flat_) {
            if (e.controllingSource.empty()) continue;
            const auto found = sources.find(lowered(e.controllingSource));
            if (found == sources.end()) {
                stopAt(e.place, "fonte de controle " + shownText(e.controllingSource) +
                                    " de " + e.name + " não encontrada");
            }
            FlatElement& source = flat_[found->second];
            if (source.value != 0.0) {
                stopAt(e.place, "a fonte de controle " + source.name + " de " + e.name +
                                    " não é de 0 V: ponha uma fonte de 0 V em série para medir a corrente");
            }
            if (!used.insert(found->second).second) {
                stopAt(e.place, "a fonte de controle " + source.name +
                                    " já controla outro elemento: ponha outra fonte de 0 V em série");
            }
            e.nodes[2] = source.nodes[0];
            e.nodes[3] = source.nodes[1];
        }
        std::vector<FlatElement> kept;
        for (std::size_t k = 0; k < flat_.size(); ++k) {
            if (!used.count(k)) kept.push_back(std::move(flat_[k]));
        }
        flat_ = std::move(kept);
    }

    // Couplings come last: SPICE writes K before or after its inductors, the builder finds
    // them among the elements before it. A K has no node and no current of its own, so the
    // numbering of the variables does not change.
    void build() {
        std::map<std::string, std::string> names;
        for (const FlatElement& e : flat_) names.emplace(lowered(e.name), e.name);
        for (FlatElement& k : couplings_) {
            for (std::string& inductor : k.inductors) {
                const std::string full = elementName(inductor, Context{k.prefix, {}, nullptr, {}, ""});
                const auto found = names.find(lowered(full));
                if (found == names.end() || !isInductor(found->second)) {
                    stopAt(k.place, "indutor " + shownText(inductor) + " de " + k.name +
                                        " não encontrado");
                }
                inductor = found->second;
            }
            flat_.push_back(std::move(k));
        }
        // Names differ by case only: the second is the same name, as the builder sees it.
        std::map<std::string, std::string> spelled;
        for (FlatElement& e : flat_) {
            e.name = spelled.try_emplace(lowered(e.name), e.name).first->second;
            add(e);
        }
    }

    bool isInductor(const std::string& name) const {
        for (const FlatElement& e : flat_) {
            if (e.name == name) return e.kind == 'L';
        }
        return false;
    }

    void add(const FlatElement& e) {
        if (!builder_.beginElement(e.kind, e.name, e.place)) throw ReadingStopped{};
        for (const std::string& node : e.nodes) {
            if (!builder_.acceptsName(node)) throw ReadingStopped{};
        }
        ElementFields fields;
        fields.nodes = e.nodes;
        fields.controllingElements = e.inductors;
        fields.value = e.value;
        fields.initialCondition = e.initialCondition;
        fields.source = e.source;
        fields.finiteGain = e.finiteGain;
        fields.poleTimeConstant = e.poleTimeConstant;
        echo(e);
        if (!builder_.completeElement(fields)) throw ReadingStopped{};
    }

    void echo(const FlatElement& e) {
        std::string line = e.name;
        for (const std::string& node : e.nodes) line += " " + node;
        for (const std::string& inductor : e.inductors) line += " " + inductor;
        char number[64];
        if (e.kind != 'O') {
            std::snprintf(number, sizeof number, " %g", e.value);
            line += number;
        } else if (e.finiteGain) {
            std::snprintf(number, sizeof number, " A0=%g", e.value);
            line += number;
            if (e.poleTimeConstant > 0.0) {
                std::snprintf(number, sizeof number, " GBW=%g",
                              e.value / (2.0 * std::numbers::pi * e.poleTimeConstant));
                line += number;
            }
        }
        if (e.hasInitialCondition) {
            std::snprintf(number, sizeof number, " IC=%g", e.initialCondition);
            line += number;
        }
        if (e.kind == 'V' || e.kind == 'I')
            line += e.source == SourceType::Impulse ? " IMPULSO" : " DEGRAU";
        log_.print("%s", line.c_str());
    }

    RunState& run_;
    AnalysisLog& log_;
    CircuitBuilder builder_;
    fs::path folder_;
    std::vector<std::string> includeChain_;
    std::vector<std::string> includedFiles_;
    bool inControl_ = false;
    std::vector<Statement> topLevel_;
    std::map<std::string, std::unique_ptr<Subcircuit>> subcircuits_;
    std::vector<Subcircuit*> openSubcircuits_;
    std::map<std::string, OpAmpMapping> opAmps_;
    std::vector<std::pair<std::string, std::string>> globalDefinitions_;
    Scope global_;
    std::vector<std::unique_ptr<Scope>> scopes_;
    int parameterDepth_ = 0;
    ExpressionDepth depth_;
    std::map<std::string, std::string> canonicalNodes_;
    std::vector<FlatElement> flat_;
    std::vector<FlatElement> couplings_;
};

}  // namespace

RunLimits spiceLimits(RunLimits limits) {
    limits.nameLength = std::max(limits.nameLength, SpiceNameLength);
    return limits;
}

bool isSpiceNetlist(const std::string& path) {
    for (const char* suffix : ResultFileNames::SpiceSuffixes) {
        if (endsWithIgnoringCase(path, suffix)) return true;
    }
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
    const FileText file = readFileText(path);
    if (!file.text) return false;
    const std::string& text = *file.text;
    std::size_t start = text.find('\n');
    while (start != std::string::npos && start < text.size()) {
        std::size_t end = text.find('\n', start + 1);
        if (end == std::string::npos) end = text.size();
        const std::string_view line(text.data() + start + 1, end - start - 1);
        const std::size_t first = line.find_first_not_of(" \t\r");
        const std::size_t last = line.find_last_not_of(" \t\r");
        if (first != std::string_view::npos && lowered(line.substr(first, last + 1 - first)) == ".end")
            return true;
        start = end;
    }
    return false;
}

bool readSpiceNetlist(RunState& run, AnalysisLog& log, RunLimits limits) {
    SpiceReader reader(run, log, limits);
    return reader.read();
}

}  // namespace corvane
