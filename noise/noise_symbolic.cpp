#include "noise_symbolic.h"

#include <charconv>
#include <cstdio>
#include <exception>
#include <map>
#include <new>
#include <set>

#include <nlohmann/json.hpp>

#include "expansion_watch.h"
#include "progress_look.h"
#include "symbolic_expansion.h"
#include "symbolic_text.h"

namespace corvane::noise {

using symbolic::ExactPolynomial;
using symbolic::Integer;
using symbolic::SymbolicSystem;

namespace {

// Aᵀ of the circuit's system, excited by a unit at row `output`: its numerator i is the
// cofactor C(i, output) of the stored system. The ring and the symbols move with it.
SymbolicSystem transposedWithUnitExcitation(SymbolicSystem circuit, int output) {
    const int n = circuit.n;
    SymbolicSystem transposed;
    transposed.ring = std::move(circuit.ring);
    transposed.symbols = std::move(circuit.symbols);
    transposed.unknownNames = std::move(circuit.unknownNames);
    transposed.n = n;
    const symbolic::PolynomialRing& ring = *transposed.ring;
    transposed.entries.assign(
        static_cast<std::size_t>(n + 1),
        std::vector<ExactPolynomial>(static_cast<std::size_t>(n + 2), ExactPolynomial(ring)));
    for (int row = 1; row <= n; ++row) {
        for (int column = 1; column <= n; ++column)
            transposed.entries[column][row] = std::move(circuit.entries[row][column]);
    }
    if (output >= 1 && output <= n) transposed.entries[output][n + 1] = ExactPolynomial(ring, 1);
    return transposed;
}

ExactPolynomial times(const ExactPolynomial& p, const Integer& factor) {
    ExactPolynomial constant(p.ring());
    constant.pushTerm(factor.get(),
                      symbolic::Exponents(static_cast<std::size_t>(p.ring().variableCount()), 0));
    constant.finish();
    return p * constant;
}

// The shortest decimal that reads back as `value`, as the user wrote it.
std::string shortestDecimal(double value) {
    char text[64];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    if (error != std::errc{}) return "?";
    return std::string(text, end);
}

std::string temperatureLine(double kelvin) {
    char text[128];
    std::snprintf(text, sizeof text, "k = %.7g J/K, T = %.10g K", BoltzmannConstant, kelvin);
    return text;
}

// "S_s(ω) = 4·k·T·(|N_R1(jω)|²/R1 + ...) / |D(jω)|² [V²/Hz]", the sources whose numerator
// is zero left out.
std::string densityExpression(const SymbolicNoiseFunctions& functions,
                              const std::string& outputName, const std::string& unit) {
    std::string sum;
    for (std::size_t k = 0; k < functions.sources().size(); ++k) {
        if (functions.numerators()[k].isZero()) continue;
        if (!sum.empty()) sum += " + ";
        sum += "|N_";
        sum += functions.sources()[k].element;
        sum += "(jω)|²/";
        sum += functions.resistanceText(k);
    }
    std::string text = "S_";
    text += outputName;
    text += "(ω) = ";
    if (sum.empty()) {
        text += "0";
    } else {
        text += "4·k·T·(";
        text += sum;
        text += ") / |D(jω)|²";
    }
    text += " [";
    text += unit;
    text += "²/Hz]";
    return text;
}

nlohmann::ordered_json textForms(const symbolic::FunctionText& text) {
    return {{"texto", text.text}, {"sympy", text.sympy}, {"latex", text.latex}};
}

}  // namespace

SymbolicNoiseFunctions::SymbolicNoiseFunctions(const RunState& run,
                                               const symbolic::SymbolicOptions& options, int output,
                                               std::vector<NoiseSource> sources)
    : run_(run),
      sources_(std::move(sources)),
      termLimit_(options.termLimit),
      memoryLimit_(options.memoryLimitBytes) {
    SymbolicSystem circuit =
        symbolic::assembleSymbolicSystem(run, symbolic::SymbolSelection{options.symbols});
    rowScale_ = circuit.rowScale;
    system_ = transposedWithUnitExcitation(std::move(circuit), output);
}

std::string SymbolicNoiseFunctions::nodeNumeratorName(int node) const {
    std::string name = "numerador do ruído no nó ";
    name += run_.variableName(node);
    return name;
}

bool SymbolicNoiseFunctions::compute(const std::function<void(double)>& look) {
    std::set<int> nodes;
    for (const NoiseSource& source : sources_) {
        for (const int node : {source.fromNode, source.toNode}) {
            if (node != 0) nodes.insert(node);
        }
    }
    int expanded = 0;
    const auto lookAtDeterminant = [&] {
        if (look) look(static_cast<double>(expanded) / static_cast<double>(nodes.size() + 1));
    };
    symbolic::SymbolicExpansion expansion(system_, termLimit_, memoryLimit_, lookAtDeterminant);
    std::string current = "denominador do ruído";
    std::map<int, ExactPolynomial> cofactors;
    try {
        denominator_ = expansion.determinant(0);
        expansion.countKeptBytes(denominator_->bytes());
        for (const int node : nodes) {
            ++expanded;
            current = nodeNumeratorName(node);
            // The stored row of this node is the circuit's taken rowScale times: a unit
            // current injected there enters as rowScale.
            ExactPolynomial cofactor = times(expansion.determinant(node), rowScale_[node]);
            expansion.countKeptBytes(cofactor.bytes());
            cofactors.emplace(node, std::move(cofactor));
        }
    } catch (const symbolic::TermLimitExceeded& limit) {
        denominator_.reset();
        limitMessage_ = symbolic::describeTermLimit(limit, termLimit_, current);
        return false;
    } catch (const symbolic::MemoryLimitExceeded& limit) {
        denominator_.reset();
        limitMessage_ = symbolic::describeMemoryLimit(limit, current);
        return false;
    }

    const symbolic::PolynomialRing& ring = *system_.ring;
    numerators_.clear();
    for (const NoiseSource& source : sources_) {
        ExactPolynomial numerator(ring);
        if (source.fromNode != 0) numerator += cofactors.at(source.fromNode);
        if (source.toNode != 0) numerator -= cofactors.at(source.toNode);
        numerators_.push_back(std::move(numerator));
    }
    std::vector<ExactPolynomial*> group{&*denominator_};
    for (ExactPolynomial& numerator : numerators_)
        group.push_back(&numerator);
    if (!denominator_->isZero()) {
        ExactPolynomial content = denominator_->termContent();
        for (const ExactPolynomial& numerator : numerators_) {
            if (!numerator.isZero()) content = content.gcd(numerator.termContent());
        }
        for (ExactPolynomial* p : group) {
            if (!p->isZero()) *p = p->exactQuotient(content);
        }
    }
    symbolic::toResistances(group, system_.symbols);
    symbolic::makeDenominatorPositive(*denominator_, group);
    return true;
}

std::string SymbolicNoiseFunctions::resistanceText(std::size_t k) const {
    const std::string& element = sources_[k].element;
    for (const symbolic::Symbol& symbol : system_.symbols) {
        if (symbol.resistance && symbol.name == element) return symbol.name;
    }
    for (int i = 1; i <= run_.elementCount; ++i) {
        const Element& e = run_.ElementTable[static_cast<std::size_t>(i)];
        if (e.name == element) return shortestDecimal(e.value);
    }
    return element;
}

symbolic::FunctionText SymbolicNoiseFunctions::write(const ExactPolynomial& p) const {
    using symbolic::Notation;
    return {symbolic::formatPolynomial(p, system_.symbols, Notation::Text),
            symbolic::formatPolynomial(p, system_.symbols, Notation::SymPy),
            symbolic::formatPolynomial(p, system_.symbols, Notation::LaTeX)};
}

std::string SymbolicNoiseFunctions::verify(const NoiseFunctions& numeric) const {
    using symbolic::Complex;
    if (!denominator_) return "Verificação do ruído simbólico: não feita (expansão incompleta)";
    const long double scale = symbolic::frequencyScale(numeric.denominator);
    const Complex points[] = {scale * Complex(0.3L, 0.8L), scale * Complex(1.2L, 0.5L)};
    std::vector<Complex> values(system_.symbols.size() + 1);
    for (std::size_t v = 0; v < system_.symbols.size(); ++v)
        values[v + 1] = static_cast<long double>(system_.symbols[v].value);
    for (const Complex s : points) {
        values[0] = s;
        const Complex denominator = symbolic::evaluate(*denominator_, values);
        const Complex numericDenominator = symbolic::evaluate(numeric.denominator, s);
        for (std::size_t k = 0; k < sources_.size() && k < numeric.transfers.size(); ++k) {
            const Complex exact = symbolic::evaluate(numerators_[k], values) / denominator;
            const Complex expected =
                symbolic::evaluate(numeric.transfers[k], s) / numericDenominator;
            if (!symbolic::agree(exact, expected)) {
                std::string line = "Verificação do ruído simbólico: falhou em N_";
                line += sources_[k].element;
                line += " em s = ";
                line += symbolic::formatComplex(s);
                line += ": simbólica ";
                line += symbolic::formatComplex(exact);
                line += ", numérica ";
                line += symbolic::formatComplex(expected);
                return line;
            }
        }
    }
    return "Verificação do ruído simbólico: ok";
}

SymbolicNoiseListing listSymbolicNoise(const RunState& run, const NoiseReport& report,
                                       const NoiseOptions& options,
                                       const symbolic::SymbolicOptions& symbolicOptions,
                                       AnalysisLog& log, AnalysisHost* host) {
    symbolic::fenceFlintAborts();
    SymbolicNoiseListing listing;
    listing.kelvin = options.celsius + ZeroCelsiusInKelvin;
    symbolic::ProgressLook progress(host);
    try {
        SymbolicNoiseFunctions functions(run, symbolicOptions,
                                         findOutputVariable(run, options.output),
                                         report.functions.sources);
        log.print("Ruído simbólico na saída %s:", report.outputName.c_str());
        // The symbolic analysis has refused these names already when it ran first.
        if (!functions.unknownNames().empty()) {
            for (const std::string& unknown : functions.unknownNames())
                log.print("Símbolos: nenhum valor do circuito se chama %s", unknown.c_str());
            listing.outcome = ListingOutcome::Failed;
            return listing;
        }
        const bool computed = functions.compute([&](double f) { progress.look(f); });
        progress.end();
        if (!computed) {
            log.print("%s", functions.limitMessage().c_str());
            log.print("%s", symbolic::MixedAnalysisAdvice);
            listing.stopped = functions.limitMessage();
            return listing;
        }
        listing.density = densityExpression(functions, report.outputName, report.unit);
        log.print("%s", listing.density->c_str());
        log.print("%s", temperatureLine(listing.kelvin).c_str());
        listing.denominator = functions.write(*functions.denominator());
        log.print("D(s) = %s", listing.denominator->text.c_str());
        for (std::size_t k = 0; k < functions.sources().size(); ++k) {
            listing.terms.push_back({functions.sources()[k].element, functions.resistanceText(k),
                                     functions.write(functions.numerators()[k])});
            log.print("N_%s(s) = %s", listing.terms.back().element.c_str(),
                      listing.terms.back().numerator.text.c_str());
        }
        listing.verification = functions.verify(report.functions);
        log.print("%s", listing.verification.c_str());
    } catch (const ExpansionCancelled&) {
        progress.end();
        listing = SymbolicNoiseListing{};
        listing.outcome = ListingOutcome::Cancelled;
    } catch (const std::bad_alloc&) {
        progress.end();
        listing.density.reset();
        listing.stopped = symbolic::OutOfMemoryMessage;
        log.print("%s", listing.stopped.c_str());
    } catch (const std::exception& error) {
        progress.end();
        listing.density.reset();
        listing.stopped = "Análise simbólica interrompida: ";
        listing.stopped += error.what();
        log.print("%s", listing.stopped.c_str());
    }
    return listing;
}

nlohmann::ordered_json symbolicNoiseDocument(const SymbolicNoiseListing& listing) {
    nlohmann::ordered_json document;
    if (!listing.density || !listing.denominator) {
        document["interrompida"] = listing.stopped;
        return document;
    }
    document["densidade"] = *listing.density;
    document["k"] = BoltzmannConstant;
    document["temperatura_k"] = listing.kelvin;
    document["denominador"] = textForms(*listing.denominator);
    nlohmann::ordered_json numerators = nlohmann::ordered_json::object();
    nlohmann::ordered_json resistances = nlohmann::ordered_json::object();
    for (const SymbolicNoiseTerm& term : listing.terms) {
        numerators[term.element] = textForms(term.numerator);
        resistances[term.element] = term.resistance;
    }
    document["numeradores"] = numerators;
    document["resistencias"] = resistances;
    document["verificacao"] = listing.verification;
    return document;
}

}  // namespace corvane::noise
