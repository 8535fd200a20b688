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

std::string power(std::string base, ulong exponent, Notation notation) {
    if (exponent == 1) return base;
    const std::string digits = std::to_string(exponent);
    switch (notation) {
        case Notation::Text:
            return base + "^" + digits;
        case Notation::SymPy:
            return base + "**" + digits;
        case Notation::LaTeX:
            return base + "^{" + digits + "}";
    }
    return base;
}

std::string integerText(const fmpz* value) {
    const std::unique_ptr<char, void (*)(void*)> digits(fmpz_get_str(nullptr, 10, value),
                                                        flint_free);
    return digits.get();
}

// One term without its sign: |coefficient| and the symbols' powers.
std::string termText(const ExactPolynomial& p, long i, const std::vector<Symbol>& symbols,
                     Notation notation) {
    const Style style = styleOf(notation);
    Integer coefficient;
    p.termCoefficient(i, coefficient.get());
    fmpz_abs(coefficient.get(), coefficient.get());
    const Exponents exponents = p.termExponents(i);
    std::string text;
    for (std::size_t v = 1; v < exponents.size(); ++v) {
        if (exponents[v] == 0) continue;
        const Symbol& symbol = symbols[v - 1];
        const std::string name = notation == Notation::LaTeX   ? symbol.latex
                                 : notation == Notation::SymPy ? sympyName(symbol.name)
                                                               : symbol.name;
        const bool wrap = notation == Notation::LaTeX && exponents[v] > 1;
        if (!text.empty()) text += style.times;
        text += power(wrap ? "{" + name + "}" : name, exponents[v], notation);
    }
    if (fmpz_is_one(coefficient.get()) && !text.empty()) return text;
    const std::string number = integerText(coefficient.get());
    return text.empty() ? number : number + std::string(style.times) + text;
}

// Terms [begin, end) joined with their signs; a leading minus is written "-".
std::string sumText(const ExactPolynomial& p, long begin, long end,
                    const std::vector<Symbol>& symbols, Notation notation) {
    std::string text;
    for (long i = begin; i < end; ++i) {
        const bool negative = p.termSign(i) < 0;
        if (i == begin) {
            text += negative ? "-" : "";
        } else {
            text += negative ? " - " : " + ";
        }
        text += termText(p, i, symbols, notation);
    }
    return text;
}

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
    const Style style = styleOf(notation);
    const long length = p.length();
    std::string text;
    long begin = 0;
    while (begin < length) {
        const ulong s = p.termExponent(begin, 0);
        long end = begin + 1;
        while (end < length && p.termExponent(end, 0) == s)
            ++end;
        std::string group = sumText(p, begin, end, symbols, notation);
        std::string piece;
        if (s == 0) {
            piece = group;
        } else if (group == "1" || group == "-1") {
            // Appended, not "-" + ...: GCC 12 warns falsely (-Wrestrict) on that at -O3.
            piece = group == "1" ? "" : "-";
            piece += power("s", s, notation);
        } else {
            piece = power("s", s, notation) + std::string(style.groupTimes) +
                    std::string(style.open) + group + std::string(style.close);
        }
        if (text.empty()) {
            text = piece;
        } else if (piece[0] == '-') {
            text += " - " + piece.substr(1);
        } else {
            text += " + " + piece;
        }
        begin = end;
    }
    return text;
}

}  // namespace corvane::symbolic
