#include "mna.h"

#include <cfenv>
#include <cmath>
#include <string>

#include "floating_point.h"

namespace corvane {

namespace {

double& part(MnaEntry& entry, int which) {
    return which == 0 ? entry.s0 : entry.s1;
}

// Sources of impulse type ('I') drive the s1 part of the excitation (the transform of an
// impulse is a constant, stored times s); steps drive the s0 part.
int sourcePart(const Element& e) {
    return e.sourceType() == SourceType::Impulse ? 1 : 0;
}

class Stamper {
public:
    Stamper(const RunState& run, SystemMatrix& m) : run_(run), m_(m), rhs_(run.variableCount + 1) {}

    void stamp(const Element& e) {
        switch (e.kind()) {
            case 'R':
                stampConductance(m_, e.a, e.b, e.a, e.b, 1.0 / e.value);
                break;
            case 'G':
                stampConductance(m_, e.a, e.b, e.c, e.d, e.value);
                break;
            case 'C':
                stampCapacitance(m_, e.a, e.b, e.a, e.b, e.value);
                stampExcitation(m_, rhs_ - 1, e.b, e.a, e.value * e.initialCondition(), 1);
                break;
            case 'L':
                stampBranchColumn(e.a, e.b, e.x, 1.0);
                m_.at(e.x, e.a).s0 -= 1.0;
                m_.at(e.x, e.b).s0 += 1.0;
                m_.at(e.x, e.x).s1 += e.value;
                m_.at(e.x, rhs_).s1 += e.value * e.initialCondition();
                break;
            case 'K':
                stampCoupling(e);
                break;
            case 'I':
                stampExcitation(m_, rhs_ - 1, e.a, e.b, e.value, sourcePart(e));
                break;
            case 'V':
                stampVoltageBranch(e);
                part(m_.at(e.x, rhs_), sourcePart(e)) += e.value;
                break;
            case 'E':
                stampVoltageBranch(e);
                m_.at(e.x, e.c).s0 -= e.value;
                m_.at(e.x, e.d).s0 += e.value;
                break;
            case 'F':
                stampBranchColumn(e.a, e.b, e.x, e.value);
                stampBranchColumn(e.c, e.d, e.x, 1.0);
                m_.at(e.x, e.c).s0 += 1.0;
                m_.at(e.x, e.d).s0 -= 1.0;
                break;
            case 'H':
                stampBranchColumn(e.a, e.b, e.x, 1.0);
                stampBranchColumn(e.c, e.d, e.controllingCurrent(), 1.0);
                m_.at(e.x, e.a).s0 += 1.0;
                m_.at(e.x, e.b).s0 -= 1.0;
                m_.at(e.controllingCurrent(), e.c).s0 += 1.0;
                m_.at(e.controllingCurrent(), e.d).s0 -= 1.0;
                m_.at(e.x, e.controllingCurrent()).s0 -= e.value;
                break;
            case 'O':
                // The nullor: the output current x flows between vo1 and vo2, and the
                // inputs are held at equal voltage.
                stampBranchColumn(e.a, e.b, e.x, 1.0);
                m_.at(e.x, e.c).s0 += 1.0;
                m_.at(e.x, e.d).s0 -= 1.0;
                break;
            default:
                break;
        }
    }

private:
    // A branch current x leaving node p and entering node q, times v, in the node balances.
    void stampBranchColumn(int p, int q, int x, double v) {
        m_.at(p, x).s0 += v;
        m_.at(q, x).s0 -= v;
    }

    // The current column and the branch row v(a) − v(b) of V and E.
    void stampVoltageBranch(const Element& e) {
        stampBranchColumn(e.a, e.b, e.x, 1.0);
        m_.at(e.x, e.a).s0 += 1.0;
        m_.at(e.x, e.b).s0 -= 1.0;
    }

    // s·M times the other inductor's current in each branch row, and s·M times the other
    // inductor's initial current on each row's right-hand side.
    void stampCoupling(const Element& k) {
        const double m = k.mutualInductance();
        const int first = k.firstInductorCurrent();
        const int second = k.secondInductorCurrent();
        m_.at(first, second).s1 += m;
        m_.at(second, first).s1 += m;
        m_.at(first, rhs_).s1 += m * run_.ElementTable[k.secondInductor()].initialCondition();
        m_.at(second, rhs_).s1 += m * run_.ElementTable[k.firstInductor()].initialCondition();
    }

    const RunState& run_;
    SystemMatrix& m_;
    const int rhs_;
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

void stampConductance(SystemMatrix& m, int p, int q, int r, int t, double v) {
    m.at(p, r).s0 += v;
    m.at(q, t).s0 += v;
    m.at(p, t).s0 -= v;
    m.at(q, r).s0 -= v;
}

void stampCapacitance(SystemMatrix& m, int p, int q, int r, int t, double v) {
    m.at(p, r).s1 += v;
    m.at(q, t).s1 += v;
    m.at(p, t).s1 -= v;
    m.at(q, r).s1 -= v;
}

void stampExcitation(SystemMatrix& m, int n, int p, int q, double v, int which) {
    part(m.at(p, n + 1), which) -= v;
    part(m.at(q, n + 1), which) += v;
}

void listSystem(const SystemMatrix& m, int n, AnalysisLog& log, const char* name) {
    log.print("Sistema após a estampa de %s", name);
    for (int row = 1; row <= n; ++row)
        log.print("%s", formatRow(m, n, row).c_str());
}

void assembleSystem(const RunState& run, SystemMatrix& m, AnalysisLog& log, bool listStamps) {
    const int n = run.variableCount;
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
        checkFloatingPoint([&] { stamper.stamp(e); });
        if (listStamps) listSystem(m, n, log, e.name);
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
