#include "exact_system.h"

#include <cmath>

#include "element_table.h"

namespace corvane::exact {

ExactSystem::ExactSystem(int n) : n_(n), rows_(static_cast<std::size_t>(n + 1)) {
    if (n < 0) throw std::invalid_argument("ordem negativa");
}

void ExactSystem::add(int row, int column, int sign, const Fraction& value, int power) {
    if (row <= 0 || row > n_ || column <= 0 || column > n_ + 1) return;
    ExactEntry& entry = rows_[static_cast<std::size_t>(row)][column];
    fmpq* part = power == 0 ? entry.g.get() : entry.c.get();
    if (sign > 0) {
        fmpq_add(part, part, value.get());
    } else {
        fmpq_sub(part, part, value.get());
    }
}

std::size_t ExactSystem::entryCount() const {
    std::size_t count = 0;
    for (const auto& r : rows_)
        count += r.size();
    return count;
}

namespace {

Fraction exactValue(double value, const Element& e) {
    (void)e;
    if (!std::isfinite(value)) throw ExactValueError("Operação inválida em ponto flutuante");
    return Fraction::fromDouble(value);
}

// What a term with StampFactor::Value carries, read as the symbolic analysis reads it: a
// resistor stamps the exact reciprocal of its decimal, not the decimal of 1/R.
Fraction stampedValue(const Element& e) {
    const ElementKind* kind = findElementKind(e.kind());
    const StampedValue how = kind == nullptr ? StampedValue::None : kind->value;
    switch (how) {
        case StampedValue::Reciprocal: {
            const Fraction r = exactValue(e.value, e);
            if (r.isZero()) throw ExactValueError("Divisão por zero em ponto flutuante");
            return r.inverse();
        }
        case StampedValue::MutualInductance:
            return exactValue(e.mutualInductance(), e);
        case StampedValue::AsGiven:
        case StampedValue::None:
            break;
    }
    return exactValue(e.value, e);
}

}  // namespace

ExactSystem exactSystemOf(const RunState& run) {
    ExactSystem system(run.variableCount);
    const Fraction one(1);
    for (int i = 1; i <= run.elementCount; ++i) {
        const Element& e = run.ElementTable[i];
        const std::vector<PlacedTerm> terms = placedStamp(run, i);
        bool needsValue = false;
        for (const PlacedTerm& term : terms)
            needsValue = needsValue || term.factor != StampFactor::One;
        const Fraction value = needsValue ? stampedValue(e) : one;
        for (const PlacedTerm& term : terms) {
            if (term.factor == StampFactor::One) {
                system.add(term.row, term.column, term.sign, one, term.power);
            } else if (term.initialConditionOf == 0) {
                system.add(term.row, term.column, term.sign, value, term.power);
            } else {
                const Element& holder = run.ElementTable[term.initialConditionOf];
                const Fraction initial = exactValue(holder.initialCondition(), holder);
                system.add(term.row, term.column, term.sign, value * initial, term.power);
            }
        }
    }
    return system;
}

}  // namespace corvane::exact
