// The table of element kinds: what each kind connects, which extra currents it brings and
// its stamp in the modified nodal system. The circuit builder, the numeric system and the
// symbolic system all read it, so that a kind is described once, in one row.
#pragma once

#include <array>
#include <span>
#include <string_view>
#include <vector>

#include "run_state.h"

namespace corvane {

/// Where a stamp term lands: a node or a current of the element, named after the Element
/// field that holds its number (in the order of those fields), or the excitation column.
enum class StampPlace { A, B, C, D, X, Y, Excitation };

/// What a term carries besides its sign and its power of s.
enum class StampFactor {
    One,
    /// The element's stamped value (see StampedValue).
    Value,
    /// The stamped value times the element's own initial condition: the charge C·V0 of a
    /// capacitor, the flux L·I0 of an inductor.
    ValueTimesOwnInitial,
    /// K: the mutual inductance times the initial current of its first or second inductor.
    ValueTimesFirstInitial,
    ValueTimesSecondInitial,
    /// The element's second value as given: the time constant of a finite op-amp's pole.
    SecondValue,
};

/// The power of s a term is multiplied by. The excitation is stored multiplied by s, so an
/// impulse (whose transform is a constant) drives it times s and a step without s.
enum class StampPower { Constant, TimesS, BySource };

/// entry(row, column) += sign · factor · s^power.
struct StampTerm {
    StampPlace row;
    StampPlace column;
    int sign;
    StampFactor factor;
    StampPower power;
};

/// What the element's fields a, b, c, d name.
enum class Connections {
    /// a, b: the nodes of its branch.
    TwoNodes,
    /// a, b: the output (or branch) nodes; c, d: the controlling (or input) nodes.
    FourNodes,
    /// a, b: the element numbers of two inductors; x, y: their currents.
    TwoInductors,
};

/// How the stamped value follows from the element's numbers.
enum class StampedValue {
    /// The kind stamps no value (the nullor).
    None,
    AsGiven,
    /// The resistor stamps its conductance.
    Reciprocal,
    /// The coupling stamps its mutual inductance k·√(L1·L2).
    MutualInductance,
};

enum class InitialCondition { None, Voltage, Current };

struct ElementKind {
    /// The first letter of the names of the elements of this kind.
    char letter;
    Connections connections;
    /// The prefixes of the names of the extra current variables, in the order they are
    /// numbered ("j" for x; "jx" and "jy" for x and y); empty for none.
    std::array<std::string_view, 2> extraCurrents;
    StampedValue value;
    InitialCondition initialCondition;
    /// In the order the terms are added; a numeric entry hit twice is summed in this order.
    std::span<const StampTerm> stamp;
    /// The row of an element whose line gave a model (the op-amp with finite gain): it
    /// shares its letter with the ideal kind, which `findElementKind` gives.
    bool finiteGain = false;

    int nodeCount() const;
    int extraCurrentCount() const;
    /// Whether the element is an independent source, whose type (impulse or step) decides
    /// the power of s of its excitation.
    bool hasSourceType() const;
};

/// Every kind, in the order of the netlist's letters R C L I V G E F H O K, the op-amp with
/// finite gain right after the ideal one.
std::span<const ElementKind> elementKinds();

/// The row of the kind whose letter is `letter` (for O the ideal op-amp), or nullptr.
const ElementKind* findElementKind(char letter);

/// The row element e is stamped by: its letter's, or the finite op-amp's for an O line
/// with a model; nullptr for a letter of no kind.
const ElementKind* kindOf(const Element& e);

/// A term of one element of a circuit, placed in its system.
struct PlacedTerm {
    int row;
    int column;
    int sign;
    /// 0 or 1.
    int power;
    StampFactor factor;
    /// The element whose initial condition multiplies the stamped value, or 0.
    int initialConditionOf;
};

/// The terms of element i of `run`, in the table's order; none for a letter of no kind.
std::vector<PlacedTerm> placedStamp(const RunState& run, int i);

/// The number element e stamps where a term says Value (see StampedValue).
double numericStampedValue(const Element& e);

/// The row or column a place stands for in element e's stamp; the excitation is column
/// variableCount + 1. Ground is 0.
int stampIndex(const Element& e, StampPlace place, int variableCount);

/// The power of s, 0 or 1, of a term of element e.
int stampPower(const Element& e, StampPower power);

/// The element whose initial condition a factor multiplies (element `self` is e), or 0
/// when the factor holds none.
int initialConditionHolder(const Element& e, int self, StampFactor factor);

}  // namespace corvane
