#include "element_table.h"

#include <algorithm>

namespace corvane {

namespace {

using enum StampPlace;
using enum StampFactor;
using enum StampPower;

template <std::size_t... N>
constexpr std::array<StampTerm, (N + ...)> join(const std::array<StampTerm, N>&... parts) {
    std::array<StampTerm, (N + ...)> out{};
    auto next = out.begin();
    ((next = std::copy(parts.begin(), parts.end(), next)), ...);
    return out;
}

// A conductance-like quartet: +v on (p, r) and (q, t), −v on (p, t) and (q, r).
constexpr std::array<StampTerm, 4> quartet(StampPlace p, StampPlace q, StampPlace r,
                                           StampPlace t, StampPower power) {
    return {{{p, r, +1, Value, power},
             {q, t, +1, Value, power},
             {p, t, -1, Value, power},
             {q, r, -1, Value, power}}};
}

// A branch current x (times the factor) leaving node p and entering node q.
constexpr std::array<StampTerm, 2> branchColumn(StampPlace p, StampPlace q, StampPlace x,
                                                StampFactor factor) {
    return {{{p, x, +1, factor, Constant}, {q, x, -1, factor, Constant}}};
}

// The voltage v(p) − v(q) in the row of current x.
constexpr std::array<StampTerm, 2> branchRow(StampPlace x, StampPlace p, StampPlace q) {
    return {{{x, p, +1, One, Constant}, {x, q, -1, One, Constant}}};
}

constexpr std::array<StampTerm, 1> term(StampPlace row, StampPlace column, int sign,
                                        StampFactor factor, StampPower power) {
    return {{{row, column, sign, factor, power}}};
}

constexpr auto Resistor = quartet(A, B, A, B, Constant);
constexpr auto Transconductance = quartet(A, B, C, D, Constant);

// The initial voltage acts as a current source C·V0 from b to a, an impulse (times s).
constexpr auto Capacitor = join(quartet(A, B, A, B, TimesS),
                                term(B, Excitation, -1, ValueTimesOwnInitial, TimesS),
                                term(A, Excitation, +1, ValueTimesOwnInitial, TimesS));

// Branch row: v(b) − v(a) + s·L·x = L·I0 (times s, as the whole excitation).
constexpr auto Inductor = join(branchColumn(A, B, X, One), term(X, A, -1, One, Constant),
                               term(X, B, +1, One, Constant), term(X, X, +1, Value, TimesS),
                               term(X, Excitation, +1, ValueTimesOwnInitial, TimesS));

// s·M times the other inductor's current in each branch row, and s·M times the other
// inductor's initial current on each row's excitation.
constexpr auto Coupling = join(term(X, Y, +1, Value, TimesS), term(Y, X, +1, Value, TimesS),
                               term(X, Excitation, +1, ValueTimesSecondInitial, TimesS),
                               term(Y, Excitation, +1, ValueTimesFirstInitial, TimesS));

// A current leaving node a and entering node b.
constexpr auto CurrentSource = join(term(A, Excitation, -1, Value, BySource),
                                    term(B, Excitation, +1, Value, BySource));

// The branch current x leaves a and enters b; its row says v(a) − v(b) = the value.
constexpr auto VoltageBranch = join(branchColumn(A, B, X, One), branchRow(X, A, B));
constexpr auto VoltageSource = join(VoltageBranch, term(X, Excitation, +1, Value, BySource));

// v(a) − v(b) = gain · (v(c) − v(d)).
constexpr auto VoltageAmplifier =
    join(VoltageBranch, term(X, C, -1, Value, Constant), term(X, D, +1, Value, Constant));

// The controlling current x flows through a short circuit from c to d; gain · x leaves a
// and enters b.
constexpr auto CurrentAmplifier =
    join(branchColumn(A, B, X, Value), branchColumn(C, D, X, One), branchRow(X, C, D));

// The output current x ("jx") and the controlling current y ("jy") through a short circuit
// from c to d: v(a) − v(b) = transresistance · y.
constexpr auto Transresistance =
    join(branchColumn(A, B, X, One), branchColumn(C, D, Y, One), branchRow(X, A, B),
         branchRow(Y, C, D), term(X, Y, -1, Value, Constant));

// The nullor: the output current x flows between a and b, and the inputs c and d are held
// at equal voltage.
constexpr auto Nullor = join(branchColumn(A, B, X, One), branchRow(X, C, D));

// The single-pole amplifier: (1 + s·τ)·(v(a) − v(b)) = A0·(v(c) − v(d)), τ = A0/(2π·GBW),
// so that the gain A0 stands alone in its row and the loop gain is affine in it.
constexpr auto FiniteOpAmp =
    join(VoltageAmplifier, term(X, A, +1, SecondValue, TimesS), term(X, B, -1, SecondValue, TimesS));

using enum Connections;

constexpr std::array<ElementKind, 12> Kinds{{
    {'R', TwoNodes, {}, StampedValue::Reciprocal, InitialCondition::None, Resistor},
    {'C', TwoNodes, {}, StampedValue::AsGiven, InitialCondition::Voltage, Capacitor},
    {'L', TwoNodes, {"j"}, StampedValue::AsGiven, InitialCondition::Current, Inductor},
    {'I', TwoNodes, {}, StampedValue::AsGiven, InitialCondition::None, CurrentSource},
    {'V', TwoNodes, {"j"}, StampedValue::AsGiven, InitialCondition::None, VoltageSource},
    {'G', FourNodes, {}, StampedValue::AsGiven, InitialCondition::None, Transconductance},
    {'E', FourNodes, {"j"}, StampedValue::AsGiven, InitialCondition::None, VoltageAmplifier},
    {'F', FourNodes, {"j"}, StampedValue::AsGiven, InitialCondition::None, CurrentAmplifier},
    {'H', FourNodes, {"jx", "jy"}, StampedValue::AsGiven, InitialCondition::None,
     Transresistance},
    {'O', FourNodes, {"j"}, StampedValue::None, InitialCondition::None, Nullor},
    {'O', FourNodes, {"j"}, StampedValue::AsGiven, InitialCondition::None, FiniteOpAmp, true},
    {'K', TwoInductors, {}, StampedValue::MutualInductance, InitialCondition::None, Coupling},
}};

}  // namespace

int ElementKind::nodeCount() const {
    switch (connections) {
        case TwoNodes:
            return 2;
        case FourNodes:
            return 4;
        case TwoInductors:
            return 0;
    }
    return 0;
}

int ElementKind::extraCurrentCount() const {
    int count = 0;
    for (const std::string_view prefix : extraCurrents)
        count += prefix.empty() ? 0 : 1;
    return count;
}

bool ElementKind::hasSourceType() const {
    for (const StampTerm& term : stamp) {
        if (term.power == BySource) return true;
    }
    return false;
}

std::span<const ElementKind> elementKinds() {
    return Kinds;
}

const ElementKind* findElementKind(char letter) {
    for (const ElementKind& kind : Kinds) {
        if (kind.letter == letter) return &kind;
    }
    return nullptr;
}

const ElementKind* kindOf(const Element& e) {
    if (!e.hasFiniteGain()) return findElementKind(e.kind());
    for (const ElementKind& kind : Kinds) {
        if (kind.letter == e.kind() && kind.finiteGain) return &kind;
    }
    return nullptr;
}

std::vector<PlacedTerm> placedStamp(const RunState& run, int i) {
    const Element& e = run.ElementTable[i];
    std::vector<PlacedTerm> placed;
    const ElementKind* kind = kindOf(e);
    if (kind == nullptr) return placed;
    for (const StampTerm& t : kind->stamp) {
        placed.push_back({stampIndex(e, t.row, run.variableCount),
                          stampIndex(e, t.column, run.variableCount), t.sign,
                          stampPower(e, t.power), t.factor,
                          initialConditionHolder(e, i, t.factor)});
    }
    return placed;
}

double numericStampedValue(const Element& e) {
    const ElementKind* kind = kindOf(e);
    switch (kind == nullptr ? StampedValue::None : kind->value) {
        case StampedValue::Reciprocal:
            return 1.0 / e.value;
        case StampedValue::MutualInductance:
            return e.mutualInductance();
        case StampedValue::AsGiven:
        case StampedValue::None:
            break;
    }
    return e.value;
}

int stampIndex(const Element& e, StampPlace place, int variableCount) {
    if (place == Excitation) return variableCount + 1;
    // The places A to Y in the order of the fields that hold them.
    const std::array<int, 6> fields{e.a, e.b, e.c, e.d, e.x, e.y};
    return fields[static_cast<std::size_t>(place)];
}

int stampPower(const Element& e, StampPower power) {
    switch (power) {
        case Constant:
            return 0;
        case TimesS:
            return 1;
        case BySource:
            return e.sourceType() == SourceType::Impulse ? 1 : 0;
    }
    return 0;
}

int initialConditionHolder(const Element& e, int self, StampFactor factor) {
    switch (factor) {
        case ValueTimesOwnInitial:
            return self;
        case ValueTimesFirstInitial:
            return e.firstInductor();
        case ValueTimesSecondInitial:
            return e.secondInductor();
        case One:
        case Value:
        case SecondValue:
            return 0;
    }
    return 0;
}

}  // namespace corvane
