#include "symbolic_document.h"

namespace corvane::symbolic {

namespace {

nlohmann::ordered_json textForms(const symbolic::FunctionText& text) {
    return {{"texto", text.text}, {"sympy", text.sympy}, {"latex", text.latex}};
}

}  // namespace

nlohmann::ordered_json symbolicDocument(const symbolic::SymbolicListing& listing) {
    nlohmann::ordered_json document;
    document["simbolos"] = listing.symbols;
    document["definicoes"] = listing.definitions;
    if (!listing.denominator) {
        document["interrompida"] = listing.stopped;
        return document;
    }
    // The listing wrote the text alone; the analysis it kept writes every form.
    const symbolic::SymbolicAnalysis* analysis = listing.analysis.get();
    document["denominador"] =
        textForms(analysis ? analysis->denominator() : *listing.denominator);
    document["numeradores"] = nlohmann::ordered_json::array();
    for (const auto& [k, numerator] : listing.numerators) {
        nlohmann::ordered_json entry = {{"numero", k}};
        entry.update(textForms(analysis ? analysis->numerator(k) : numerator));
        document["numeradores"].push_back(entry);
    }
    document["funcoes"] = nlohmann::ordered_json::array();
    for (const symbolic::SymbolicFunction& f :
         analysis ? analysis->functions() : listing.functions) {
        document["funcoes"].push_back({{"numero", f.variable},
                                       {"nome", f.name},
                                       {"numerador", textForms(f.numerator)},
                                       {"denominador", textForms(f.denominator)}});
    }
    document["verificacao"] = listing.verification;
    return document;
}

}  // namespace corvane::symbolic
