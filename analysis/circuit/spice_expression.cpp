#include "spice_expression.h"

#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "spice_value.h"

namespace corvane {

namespace {

struct Function {
    std::string_view name;
    int arguments;
    double (*apply)(const std::vector<double>&);
};

// The arguments are checked for count before; a result out of range (log of a negative
// number) is refused afterwards as not finite.
const std::array<Function, 15> Functions{{
    {"sqrt", 1, [](const std::vector<double>& a) { return std::sqrt(a[0]); }},
    {"exp", 1, [](const std::vector<double>& a) { return std::exp(a[0]); }},
    {"log", 1, [](const std::vector<double>& a) { return std::log(a[0]); }},
    {"ln", 1, [](const std::vector<double>& a) { return std::log(a[0]); }},
    {"log10", 1, [](const std::vector<double>& a) { return std::log10(a[0]); }},
    {"abs", 1, [](const std::vector<double>& a) { return std::fabs(a[0]); }},
    {"sin", 1, [](const std::vector<double>& a) { return std::sin(a[0]); }},
    {"cos", 1, [](const std::vector<double>& a) { return std::cos(a[0]); }},
    {"tan", 1, [](const std::vector<double>& a) { return std::tan(a[0]); }},
    {"atan", 1, [](const std::vector<double>& a) { return std::atan(a[0]); }},
    {"asin", 1, [](const std::vector<double>& a) { return std::asin(a[0]); }},
    {"acos", 1, [](const std::vector<double>& a) { return std::acos(a[0]); }},
    {"min", 2, [](const std::vector<double>& a) { return std::fmin(a[0], a[1]); }},
    {"max", 2, [](const std::vector<double>& a) { return std::fmax(a[0], a[1]); }},
    {"pow", 2, [](const std::vector<double>& a) { return std::pow(a[0], a[1]); }},
}};

bool isNameStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool isNameChar(char c) {
    return isNameStart(c) || (c >= '0' && c <= '9');
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Ends the evaluation with the reason already set.
struct Refused {};

// Recursive descent, one function per level of precedence:
//   sum     = product { ('+' | '-') product }
//   product = unary { ('*' | '/') unary }
//   unary   = ('+' | '-') unary | power
//   power   = primary [ ('^' | '**') unary ]     (right-associative: 2^3^2 = 2^9)
//   primary = number | name | name '(' sum { ',' sum } ')' | '(' sum ')'
class Evaluator {
public:
    Evaluator(std::string_view text, const ParameterLookup& lookup, ExpressionDepth& depth)
        : text_(text), lookup_(lookup), depth_(depth) {}

    ExpressionValue evaluate() {
        try {
            const double value = sum();
            skipBlanks();
            if (at_ != text_.size()) refuse("expressão inválida: " + std::string(text_));
            return {value, ""};
        } catch (const Refused&) {
            return {std::nullopt, error_};
        }
    }

private:
    [[noreturn]] void refuse(std::string reason) {
        error_ = std::move(reason);
        throw Refused{};
    }

    void skipBlanks() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t')) ++at_;
    }

    bool take(char c) {
        skipBlanks();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }

    // A result is checked where it is made, so the message names the whole expression.
    double finite(double value) {
        if (!std::isfinite(value)) refuse("resultado não finito em " + std::string(text_));
        return value;
    }

    double sum() {
        double value = product();
        for (;;) {
            if (take('+')) {
                value = finite(value + product());
            } else if (take('-')) {
                value = finite(value - product());
            } else {
                return value;
            }
        }
    }

    double product() {
        double value = unary();
        for (;;) {
            skipBlanks();
            if (text_.substr(at_, 2) == "**") return value;
            if (take('*')) {
                value = finite(value * unary());
            } else if (take('/')) {
                const double divisor = unary();
                if (divisor == 0.0) refuse("divisão por zero em " + std::string(text_));
                value = finite(value / divisor);
            } else {
                return value;
            }
        }
    }

    struct Nesting {
        explicit Nesting(Evaluator& e) : e_(e) {
            if (++e_.depth_.used > MaxExpressionDepth)
                e_.refuse("expressão aninhada além de " + std::to_string(MaxExpressionDepth) +
                          " níveis");
        }
        ~Nesting() { --e_.depth_.used; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;
        Evaluator& e_;
    };

    double unary() {
        const Nesting nesting(*this);
        if (take('-')) return -unary();
        if (take('+')) return unary();
        return power();
    }

    double power() {
        const double base = primary();
        skipBlanks();
        if (take('^') || (text_.substr(at_, 2) == "**" && (at_ += 2, true))) {
            return finite(std::pow(base, unary()));
        }
        return base;
    }

    double primary() {
        skipBlanks();
        if (take('(')) {
            const Nesting nesting(*this);
            const double value = sum();
            if (!take(')')) refuse("parêntese não fechado em " + std::string(text_));
            return value;
        }
        if (at_ < text_.size() && isNameStart(text_[at_])) return nameOrCall();
        if (const std::optional<SpiceNumber> number = readSpiceNumber(text_.substr(at_))) {
            at_ += number->length;
            return number->value;
        }
        refuse("expressão inválida: " + std::string(text_));
    }

    double nameOrCall() {
        std::string name;
        while (at_ < text_.size() && isNameChar(text_[at_])) name += lower(text_[at_++]);
        if (take('(')) return call(name);
        std::string error;
        const std::optional<double> value = lookup_(name, error);
        if (value) return *value;
        if (!error.empty()) refuse(error);
        // A parameter of the netlist's own named pi comes first.
        if (name == "pi") return std::numbers::pi;
        refuse("parâmetro desconhecido: " + name);
    }

    double call(const std::string& name) {
        const Nesting nesting(*this);
        const Function* function = nullptr;
        for (const Function& f : Functions) {
            if (f.name == name) function = &f;
        }
        if (function == nullptr) refuse("função desconhecida: " + name);
        std::vector<double> arguments{sum()};
        while (take(',')) arguments.push_back(sum());
        if (!take(')')) refuse("parêntese não fechado em " + std::string(text_));
        if (static_cast<int>(arguments.size()) != function->arguments) {
            refuse("a função " + name + " pede " + std::to_string(function->arguments) +
                   (function->arguments == 1 ? " argumento" : " argumentos"));
        }
        return finite(function->apply(arguments));
    }

    std::string_view text_;
    const ParameterLookup& lookup_;
    std::size_t at_ = 0;
    ExpressionDepth& depth_;
    std::string error_;
};

}  // namespace

ExpressionValue evaluateExpression(std::string_view text, const ParameterLookup& lookup,
                                   ExpressionDepth& depth) {
    return Evaluator(text, lookup, depth).evaluate();
}

ExpressionValue evaluateExpression(std::string_view text, const ParameterLookup& lookup) {
    ExpressionDepth depth;
    return evaluateExpression(text, lookup, depth);
}

}  // namespace corvane
