#include "element_table.h"

namespace corvane {

namespace {

using enum StampPlace;
using enum StampFactor;
using enum StampPower;

// A conductance-like quartet: +v on (p, r) and (q, t), −v on (p, t) and (q, r).
constexpr std::array<StampTerm, 4> quartet(StampPlace p, StampPlace q, StampPlace r,
                                           StampPlace t, StampPower power) {
    return {{{p, r, +1, Value, power},
             {q, t, +1, Value, power},
             {p, t, -1, Value, power},
             {q, r, -1, Value, power}}};
}

constexpr auto Resistor = quartet(A, B, A, B, Constant);
constexpr auto Transconductance = quartet(A, B, C, D, Constant);

// The initial voltage acts as a current source C·V0 from b to a, an impulse (times s).
constexpr std::array<StampTerm, 6> Capacitor{{{A, A, +1, Value, TimesS},
                                              {B, B, +1, Value, TimesS},
                                              {A, B, -1, Value, TimesS},
                                              {B, A, -1, Value, TimesS},
                                              {B, Excitation, -1, ValueTimesOwnInitial, TimesS},
                                              {A, Excitation, +1, ValueTimesOwnInitial, TimesS}}};

// Branch row: v(b) − v(a) + s·L·x = L·I0 (times s, as the whole excitation).
constexpr std::array<StampTerm, 6> Inductor{{{A, X, +1, One, Constant},
                                             {B, X, -1, One, Constant},
                                             {X, A, -1, One, Constant},
                                             {X, B, +1, One, Constant},
                                             {X, X, +1, Value, TimesS},
                                             {X, Excitation, +1, ValueTimesOwnInitial,
                                              TimesS}}};

// s·M times the other inductor's current in each branch row, and s·M times the other
// inductor's initial current on each row's excitation.
constexpr std::array<StampTerm, 4> Coupling{{{X, Y, +1, Value, TimesS},
                                             {Y, X, +1, Value, TimesS},
                                             {X, Excitation, +1, ValueTimesSecondInitial,
                                              TimesS},
                                             {Y, Excitation, +1, ValueTimesFirstInitial,
                                              TimesS}}};

// A current leaving node a and entering node b.
constexpr std::array<StampTerm, 2> CurrentSource{{{A, Excitation, -1, Value, BySource},
                                                  {B, Excitation, +1, Value, BySource}}};

// The branch current x leaves a and enters b; its row says v(a) − v(b) = the value.
constexpr std::array<StampTerm, 5> VoltageSource{{{A, X, +1, One, Constant},
                                                  {B, X, -1, One, Constant},
                                                  {X, A, +1, One, Constant},
                                                  {X, B, -1, One, Constant},
                                                  {X, Excitation, +1, Value, BySource}}};

// v(a) − v(b) = gain · (v(c) − v(d)).
constexpr std::array<StampTerm, 6> VoltageAmplifier{{{A, X, +1, One, Constant},
                                                     {B, X, -1, One, Constant},
                                                     {X, A, +1, One, Constant},
                                                     {X, B, -1, One, Constant},
                                                     {X, C, -1, Value, Constant},
                                                     {X, D, +1, Value, Constant}}};

// The controlling current x flows through a short circuit from c to d; gain · x leaves a
// and enters b.
constexpr std::array<StampTerm, 6> CurrentAmplifier{{{A, X, +1, Value, Constant},
                                                     {B, X, -1, Value, Constant},
                                                     {C, X, +1, One, Constant},
                                                     {D, X, -1, One, Constant},
                                                     {X, C, +1, One, Constant},
                                                     {X, D, -1, One, Constant}}};

// The output current x ("jx") and the controlling current y ("jy") through a short circuit
// from c to d: v(a) − v(b) = transresistance · y.
constexpr std::array<StampTerm, 9> Transresistance{{{A, X, +1, One, Constant},
                                                    {B, X, -1, One, Constant},
                                                    {C, Y, +1, One, Constant},
                                                    {D, Y, -1, One, Constant},
                                                    {X, A, +1, One, Constant},
                                                    {X, B, -1, One, Constant},
                                                    {Y, C, +1, One, Constant},
                                                    {Y, D, -1, One, Constant},
                                                    {X, Y, -1, Value, Constant}}};

// The nullor: the output current x flows between a and b, and the inputs c and d are held
// at equal voltage.
constexpr std::array<StampTerm, 4> Nullor{{{A, X, +1, One, Constant},
                                           {B, X, -1, One, Constant},
                                           {X, C, +1, One, Constant},
                                           {X, D, -1, One, Constant}}};

using enum Connections;

constexpr std::array<ElementKind, 11> Kinds{{
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

int stampIndex(const Element& e, StampPlace place, int variableCount) {
    switch (place) {
        case A:
            return e.a;
        case B:
            return e.b;
        case C:
            return e.c;
        case D:
            return e.d;
        case X:
            return e.x;
        case Y:
            return e.y;
        case Excitation:
            return variableCount + 1;
    }
    return 0;
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
            return 0;
    }
    return 0;
}

}  // namespace corvane
