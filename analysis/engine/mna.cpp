#include "mna.h"

#include <cfenv>
#include <cmath>
#include <stdexcept>
#include <string>

#include "element_table.h"
#include "floating_point.h"

namespace corvane {

namespace {

double& part(MnaEntry& entry, int which) {
    return which == 0 ? entry.s0 : entry.s1;
}

class Stamper {
public:
    Stamper(const RunState& run, SystemMatrix& m) : run_(run), m_(m) {}

    // Element i's terms, in the table's order. A term whose initial condition is zero is
    // still added, as every other: the sum then stays the same to the last bit.
    void stamp(int i) {
        const Element& e = run_.ElementTable[i];
        for (const PlacedTerm& term : placedStamp(run_, i)) {
            double& entry = part(m_.at(term.row, term.column), term.power);
            const double v = factor(e, term);
            if (term.sign > 0) {
                entry += v;
            } else {
                entry -= v;
            }
        }
    }

private:
    double factor(const Element& e, const PlacedTerm& term) const {
        if (term.factor == StampFactor::One) return 1.0;
        if (term.factor == StampFactor::SecondValue) return e.poleTimeConstant();
        const double value = numericStampedValue(e);
        if (term.initialConditionOf == 0) return value;
        return value * run_.ElementTable[term.initialConditionOf].initialCondition();
    }

    const RunState& run_;
    SystemMatrix& m_;
};

std::string formatRow(const SystemMatrix& m, int n, int row) {
    std::string line;
    char field[64];
    for (int column = 1; column <= n + 1; ++column) {
        const MnaEntry& e = m.at(row, column);
        if (isZero(e)) {
            line += "......... ";
            continue;
        }
        const int length = std::snprintf(field, sizeof field, "%+3.1fs%+3.1f ", e.s1, e.s0);
        if (length < static_cast<int>(sizeof field)) {
            line += field;
        } else {
            // "%+3.1f" prints every integer digit: extreme values make long fields.
            std::string wide(static_cast<std::size_t>(length) + 1, '\0');
            std::snprintf(wide.data(), wide.size(), "%+3.1fs%+3.1f ", e.s1, e.s0);
            wide.resize(static_cast<std::size_t>(length));
            line += wide;
        }
    }
    return line;
}

}  // namespace

void listSystem(const SystemMatrix& m, int n, AnalysisLog& log, const char* name) {
    log.print("Sistema após a estampa de %s", name);
    for (int row = 1; row <= n; ++row)
        log.print("%s", formatRow(m, n, row).c_str());
}

void assembleSystem(const RunState& run, SystemMatrix& m, AnalysisLog& log, bool listStamps) {
    const int n = run.variableCount;
    // A circuit read with the limits lifted goes to the exact engine, never here.
    if (n > MaxVariables) throw std::length_error("sistema maior que a matriz da expansão");
    log.print("Calculando...");
    for (int row = 0; row <= n; ++row) {
        for (int column = 0; column <= n + 1; ++column) {
            m.at(row, column).s0 = 0.0;
            m.at(row, column).s1 = 0.0;
        }
    }
    Stamper stamper(run, m);
    for (int i = 1; i <= run.elementCount; ++i) {
        const Element& e = run.ElementTable[i];
        // A resistor of value 0 divides by zero here; huge values overflow.
        checkFloatingPoint([&] { stamper.stamp(i); });
        if (listStamps) listSystem(m, n, log, e.name.c_str());
    }
    bool holdsNaN = false;
    for (int row = 1; row <= n; ++row) {
        for (int column = 1; column <= n + 1; ++column) {
            MnaEntry& e = m.at(row, column);
            e.degree = e.s1 != 0.0 ? 1 : 0;
            holdsNaN = holdsNaN || std::isnan(e.s0) || std::isnan(e.s1);
        }
    }
    // The reader takes "nan" for a number, and quiet NaNs raise no flag in arithmetic:
    // left alone, one would flow into every result. It is an invalid operand.
    checkFloatingPoint([&] {
        if (holdsNaN) std::feraiseexcept(FE_INVALID);
    });
}

}  // namespace corvane
