#include "symbolic_text.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <memory>
#include <string_view>

namespace corvane::symbolic {

namespace {

// The names beginning with an element letter that `from sympy import *` defines (SymPy
// 1.14): sympify would read them as its own constants, functions or classes.
constexpr std::string_view SymPyNames[] = {
    "CC",         "CRootOf",    "Catalan",  "Chi",      "Ci",         "Circle",     "Complement",
    "Complexes",  "Contains",   "Curve",    "E",        "E1",         "EPath",      "EX",
    "EXRAW",      "Ei",         "Eijk",     "Ellipse",  "EmptySet",   "Eq",         "Equality",
    "Equivalent", "EulerGamma", "Expr",     "FF",       "FF_gmpy",    "FF_python",  "FU",
    "FiniteSet",  "FlagError",  "Float",    "Function", "GF",         "Ge",         "Gt",
    "Heaviside",  "I",          "ITE",      "Id",       "Identity",   "Idx",        "ImageSet",
    "Implies",    "Indexed",    "Integer",  "Integers", "Integral",   "Interval",   "Inverse",
    "LC",         "LM",         "LT",       "Lambda",   "LambertW",   "Le",         "LessThan",
    "LeviCivita", "Li",         "Limit",    "Line",     "Line2D",     "Line3D",     "Lt",
    "MatAdd",     "MatMul",     "MatPow",   "Matrix",   "MatrixBase", "MatrixExpr", "Max",
    "Min",        "Mod",        "Monomial", "Mul",      "O",          "OmegaPower", "OneMatrix",
    "Options",    "Or",         "Order",    "Ordinal",  "RR",         "Range",      "Rational",
    "Rationals",  "Ray",        "Ray2D",    "Ray3D",    "RealField",  "RealNumber", "Reals",
    "Rel",        "Rem",        "RootOf",   "RootSum",  "N",          "Q",          "S",
    "False",      "None",       "True",     "Symbol",   "Poly",       "Add",        "Pow",
};

bool isIdentifier(const std::string& name) {
    if (name.empty() || !std::isalpha(static_cast<unsigned char>(name[0]))) return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    });
}

struct Style {
    std::string_view times;       // between factors
    std::string_view groupTimes;  // between s^k and its parenthesised coefficient
    std::string_view open;
    std::string_view close;
};

Style styleOf(Notation notation) {
    switch (notation) {
        case Notation::Text:
            return {"·", "·", "(", ")"};
        case Notation::SymPy:
            return {"*", "*", "(", ")"};
        case Notation::LaTeX:
            return {" ", " ", "\\left(", "\\right)"};
    }
    return {"·", "·", "(", ")"};
}

// "^2", "**2" or "^{2}"; nothing for the first power.
void appendExponent(std::string& out, ulong exponent, Notation notation) {
    if (exponent == 1) return;
    const std::string digits = std::to_string(exponent);
    switch (notation) {
        case Notation::Text:
            out += "^";
            out += digits;
            return;
        case Notation::SymPy:
            out += "**";
            out += digits;
            return;
        case Notation::LaTeX:
            out += "^{";
            out += digits;
            out += "}";
            return;
    }
}

std::string integerText(const fmpz* value) {
    const std::unique_ptr<char, void (*)(void*)> digits(fmpz_get_str(nullptr, 10, value),
                                                        flint_free);
    return digits.get();
}

// A determinant of a hundred thousand terms is written term by term into one string: each
// term is appended where it goes, with the symbols' names made once per polynomial.
struct TermWriter {
    const ExactPolynomial& p;
    Notation notation;
    Style style;
    std::vector<std::string> names;  // of variable v + 1
    Exponents exponents;

    TermWriter(const ExactPolynomial& polynomial, const std::vector<Symbol>& symbols,
               Notation how)
        : p(polynomial), notation(how), style(styleOf(how)) {
        for (const Symbol& symbol : symbols) {
            names.push_back(notation == Notation::LaTeX   ? symbol.latex
                            : notation == Notation::SymPy ? sympyName(symbol.name)
                                                          : symbol.name);
        }
    }

    // Term i without its sign: |coefficient| and the symbols' powers.
    void appendTerm(std::string& out, long i) {
        p.termExponents(i, exponents);
        const bool anySymbol =
            std::any_of(exponents.begin() + 1, exponents.end(), [](ulong e) { return e != 0; });
        const fmpz* coefficient = p.raw()->coeffs + i;
        if (!anySymbol || !fmpz_is_pm1(coefficient)) {
            Integer magnitude;
            fmpz_abs(magnitude.get(), coefficient);
            out += integerText(magnitude.get());
            if (anySymbol) out += style.times;
        }
        bool first = true;
        for (std::size_t v = 1; v < exponents.size(); ++v) {
            if (exponents[v] == 0) continue;
            if (!first) out += style.times;
            first = false;
            const std::string& name = names[v - 1];
            if (notation == Notation::LaTeX && exponents[v] > 1) {
                out += "{";
                out += name;
                out += "}";
            } else {
                out += name;
            }
            appendExponent(out, exponents[v], notation);
        }
    }

    // Terms [begin, end) joined with their signs; a leading minus is written "-".
    void appendSum(std::string& out, long begin, long end) {
        for (long i = begin; i < end; ++i) {
            const bool negative = p.termSign(i) < 0;
            if (i == begin) {
                if (negative) out += "-";
            } else {
                out += negative ? " - " : " + ";
            }
            appendTerm(out, i);
        }
    }
};

}  // namespace

std::string sympyName(const std::string& name) {
    const bool clashes =
        std::find(std::begin(SymPyNames), std::end(SymPyNames), name) != std::end(SymPyNames);
    if (isIdentifier(name) && !clashes) return name;
    std::string quoted;
    for (const char c : name) {
        if (c == '\'' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return "Symbol('" + quoted + "')";
}

std::string formatPolynomial(const ExactPolynomial& p, const std::vector<Symbol>& symbols,
                             Notation notation) {
    if (p.isZero()) return "0";
    TermWriter writer(p, symbols, notation);
    const Style style = writer.style;
    const long length = p.length();
    std::string text;
    std::string group;
    long begin = 0;
    while (begin < length) {
        const ulong s = p.termExponent(begin, 0);
        long end = begin + 1;
        while (end < length && p.termExponent(end, 0) == s)
            ++end;
        group.clear();
        writer.appendSum(group, begin, end);
        // Each piece after the first is joined by " + ", or by " - " in place of its own
        // leading minus.
        const bool first = text.empty();
        if (s == 0) {
            const bool negative = group[0] == '-';
            if (!first) text += negative ? " - " : " + ";
            text.append(group, !first && negative ? 1 : 0);
        } else if (group == "1" || group == "-1") {
            const bool negative = group == "-1";
            if (first) {
                if (negative) text += "-";
            } else {
                text += negative ? " - " : " + ";
            }
            text += "s";
            appendExponent(text, s, notation);
        } else {
            if (!first) text += " + ";
            text += "s";
            appendExponent(text, s, notation);
            text += style.groupTimes;
            text += style.open;
            text += group;
            text += style.close;
        }
        begin = end;
    }
    return text;
}

}  // namespace corvane::symbolic
