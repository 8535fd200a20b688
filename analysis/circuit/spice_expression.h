// The arithmetic of SPICE parameters, as written between braces: numbers with their scale
// factors, parameter names, + - * / ^ (or **), parentheses, unary signs, the constant pi
// and a few functions (sqrt, exp, log or ln, log10, abs, sin, cos, tan, atan, min, max,
// pow). Names are matched without regard to case.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

/// The value of a parameter named (in lower case) in an expression. No value and no error
/// when there is no such parameter; no value and the reason in `error` when it is defined
/// but has none ("laço de parâmetros: a depende de si mesmo").
using ParameterLookup =
    std::function<std::optional<double>(const std::string& name, std::string& error)>;

struct ExpressionValue {
    std::optional<double> value;
    /// Why there is none, in Portuguese: "divisão por zero em 1/(r0-1k)".
    std::string error;
};

/// The deepest nesting of parentheses and unary signs an expression may have.
inline constexpr int MaxExpressionDepth = 100;

/// The nesting used so far by the evaluations under way: an expression that names a
/// parameter evaluates the parameter's expression inside its own, and both count against
/// MaxExpressionDepth, so that a chain of parameters cannot nest without bound either.
struct ExpressionDepth {
    int used = 0;
};

/// Evaluates `text`. A division by zero, a result that is not finite, an unknown name or
/// function, a syntax error and nesting past MaxExpressionDepth are refused with the reason.
ExpressionValue evaluateExpression(std::string_view text, const ParameterLookup& lookup,
                                   ExpressionDepth& depth);

/// The same for an expression evaluated on its own.
ExpressionValue evaluateExpression(std::string_view text, const ParameterLookup& lookup);

}  // namespace corvane
