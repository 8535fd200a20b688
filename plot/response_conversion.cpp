#include "response_conversion.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "listed_curves.h"
#include "loop_curves.h"
#include "plot_list.h"
#include "result_file_names.h"
#include "result_variables.h"
#include "results_json_reader.h"

namespace corvane {

namespace {

struct ChoiceRow {
    ResponseChoice choice;
    Excitation excitation;
    /// What the curves become, as the log names it.
    const char* name;
};

constexpr std::array<ChoiceRow, 3> Conversions{{
    {ResponseChoice::Impulse, Excitation::Impulse, "a resposta ao impulso"},
    {ResponseChoice::Step, Excitation::Step, "a resposta ao degrau"},
    {ResponseChoice::TransferFunction, Excitation::Impulse, "a função de transferência"},
}};

const ChoiceRow* conversionOf(ResponseChoice choice) {
    const auto row = std::find_if(Conversions.begin(), Conversions.end(),
                                  [choice](const ChoiceRow& r) { return r.choice == choice; });
    return row == Conversions.end() ? nullptr : &*row;
}

// A sentence of another reader ("O documento r.json é inválido.") as a clause of a line.
std::string asClause(std::string text) {
    if (!text.empty() && text.back() == '.') text.pop_back();
    if (!text.empty())
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

bool isZero(const Polynomial& p) {
    return p.trimmedDegree() == 0 && p.coef[0] == 0.0;
}

Polynomial trimmed(Polynomial p) {
    p.trimDegree();
    return p;
}

// p·s, or no value past MaxLiftedDegree.
std::optional<Polynomial> timesS(const Polynomial& original) {
    Polynomial p = trimmed(original);
    if (p.degree >= MaxLiftedDegree) return std::nullopt;
    p.coef.reserveDegree(p.degree + 1);
    for (int i = p.degree; i >= 0; --i)
        p.coef[static_cast<std::size_t>(i) + 1] = p.coef[static_cast<std::size_t>(i)];
    p.coef[0] = 0.0;
    ++p.degree;
    return p;
}

// p/s of a polynomial with p(0) = 0 and a degree above 0.
Polynomial overS(const Polynomial& original) {
    Polynomial p = trimmed(original);
    for (int i = 0; i < p.degree; ++i)
        p.coef[static_cast<std::size_t>(i)] = p.coef[static_cast<std::size_t>(i) + 1];
    p.coef[static_cast<std::size_t>(p.degree)] = 0.0;
    --p.degree;
    return p;
}

bool vanishesAtZero(const Polynomial& p) {
    return p.trimmedDegree() > 0 && p.coef[0] == 0.0;
}

std::string degreeProblem(const char* polynomial) {
    std::string text = "o ";
    text += polynomial;
    text += " passaria do grau ";
    text += std::to_string(MaxLiftedDegree);
    return text;
}

}  // namespace

ExcitationFinding excitationOfListLine(const std::string& line) {
    // A loop gain is a network function: the response to an impulse.
    if (isLoopLine(line)) return {Excitation::Impulse, ""};
    if (const std::optional<DocumentLine> document = documentLineOf(line)) {
        std::string error;
        const auto sources = documentSources(document->path, error);
        if (!sources) return {std::nullopt, asClause(error)};
        std::string where = "o documento ";
        where += document->path;
        return excitationOfSources(*sources, where);
    }
    const std::optional<NumeratorFileName> file = parseNumeratorFileName(line);
    if (!file) {
        std::string problem = "o netlist de ";
        problem += line + " não é conhecido (o nome não é <netlist>.n<k>)";
        return {std::nullopt, problem};
    }
    return excitationOfResults(file->stem);
}

std::string netlistsReadForList(std::string_view listText) {
    std::string lines;
    for (const std::string& line : splitListLines(listText)) {
        if (isCommentLine(line) || documentLineOf(line)) continue;
        if (const std::optional<NumeratorFileName> file = parseNumeratorFileName(line)) {
            lines += ResultFileNames::netlistOfResults(file->stem);
            lines += '\n';
        }
    }
    return lines;
}

ConvertedResponse convertResponse(const PlotCurve& x, Excitation from, Excitation to) {
    if (from == to || isZero(x.numerator)) return {x, ""};
    PlotCurve converted = x;
    if (to == Excitation::Impulse) {
        if (vanishesAtZero(x.denominator)) {
            converted.denominator = overS(x.denominator);
            converted.numerator = trimmed(x.numerator);
            return {converted, ""};
        }
        const std::optional<Polynomial> numerator = timesS(x.numerator);
        if (!numerator) return {std::nullopt, degreeProblem("numerador")};
        converted.numerator = *numerator;
        converted.denominator = trimmed(x.denominator);
        return {converted, ""};
    }
    if (vanishesAtZero(x.numerator)) {
        converted.numerator = overS(x.numerator);
        converted.denominator = trimmed(x.denominator);
        return {converted, ""};
    }
    const std::optional<Polynomial> denominator = timesS(x.denominator);
    if (!denominator) return {std::nullopt, degreeProblem("denominador")};
    converted.denominator = *denominator;
    converted.numerator = trimmed(x.numerator);
    return {converted, ""};
}

CurveMask convertListedCurves(PlotCurves& curves, int count,
                              const std::array<std::string, MaxCurves + 1>& lines,
                              ResponseChoice choice, AnalysisLog& log) {
    CurveMask refused{};
    const ChoiceRow* row = conversionOf(choice);
    if (!row) return refused;
    for (int k = 1; k <= std::clamp(count, 0, MaxCurves); ++k) {
        const auto slot = static_cast<std::size_t>(k);
        // A noise density answers no source: it stays as it is.
        if (curves[slot].kind != CurveKind::Transfer) continue;
        const ExcitationFinding run = excitationOfListLine(lines[slot]);
        std::string problem = run.problem;
        if (run.excitation) {
            ConvertedResponse converted =
                convertResponse(curves[slot], *run.excitation, row->excitation);
            if (converted.curve) {
                curves[slot] = *converted.curve;
                continue;
            }
            problem = converted.problem;
        }
        refused[slot] = true;
        log.print("Curva %d (%s): %s não pode ser calculada: %s; curva omitida.", k,
                  lines[slot].c_str(), row->name, problem.c_str());
    }
    return refused;
}

}  // namespace corvane
