// The state of one analysis run: the circuit as read from the netlist, the names of its
// variables and the names of the files involved. One instance lives as long as the
// program and is reused by every run.
#pragma once

#include <string>
#include <vector>

namespace corvane {

// The sizes the netlist format allows, and the sizes of the run state before any circuit
// is read. The cofactor expansion is built for these; a larger circuit is read only when
// the run lifts them (see RunLimits) and is solved by an engine made for it.
inline constexpr int MaxElements = 200;
inline constexpr int MaxVariables = 25;
/// The longest element or node name.
inline constexpr int MaxNameLength = 10;
/// The longest variable name is "jx" or "jy" followed by an element name.
inline constexpr int MaxVariableNameLength = MaxNameLength + 2;

/// What one reading of a circuit accepts.
struct RunLimits {
    int elements = MaxElements;
    int variables = MaxVariables;
    /// Of an element or node name, in bytes.
    int nameLength = MaxNameLength;
};

/// What a reading accepts when the user lifts the netlist format's limits: what the exact
/// engine solves on a desktop machine in about a minute (bench/README.md).
inline constexpr RunLimits LiftedRunLimits{10000, 1000, MaxNameLength};

/// How a source (I, V) drives the circuit.
enum class SourceType {
    /// "IMPULSO": its transform is a constant.
    Impulse,
    /// "DEGRAU": its transform is the value over s.
    Step,
};

/// One line of the netlist. Which fields a kind uses:
///   a, b   nodes (K: element numbers of its two inductors)
///   c, d   controlling nodes (G, E, F, H, O)
///   value  the element's value (K: coupling coefficient)
///   value2 initial condition (C, L), mutual inductance (K), the time constant of the
///          pole of an op-amp with finite gain (O with a model)
///   x      extra current variable (V, E, F, O, L; "jx" of H; K: x of its first inductor)
///   y      source type character 'I' or 'D' (I, V); "jy" of H; K: x of its second inductor
/// The reader fills the fields and the stamps of the system read them; everything else
/// reads an element through the accessors, whose names say what a field means for the
/// kinds that have it. The reader clears every field of an element it reads.
struct Element {
    /// As written in the circuit; a flattened subcircuit's element is "X1.R2".
    std::string name;
    double value = 0.0;
    double value2 = 0.0;
    int a = 0;
    int b = 0;
    int c = 0;
    int d = 0;
    int x = 0;
    int y = 0;
    /// O: the line gave a model (A0, GBW) instead of the ideal nullor.
    bool finiteGain = false;
    /// The kind, upper case (R, C, L, I, V, G, E, F, H, O, K), set by the circuit builder:
    /// the first letter of a plain name, the letter of the last part of a hierarchical one.
    char kindLetter = '\0';

    char kind() const { return kindLetter; }

    /// Nodes of the element's own branch (K: none).
    int positiveNode() const { return a; }
    int negativeNode() const { return b; }
    /// Controlling nodes (G, E, F, H) or input nodes (O).
    int controllingPositiveNode() const { return c; }
    int controllingNegativeNode() const { return d; }

    /// I, V.
    SourceType sourceType() const { return y == 'I' ? SourceType::Impulse : SourceType::Step; }
    /// C: the initial voltage; L: the initial current.
    double initialCondition() const { return value2; }
    /// The unknown of the element's own branch current (V, E, F, O, L), or the output
    /// branch current of H ("jx").
    int branchCurrent() const { return x; }
    /// H: the unknown of the controlling branch current ("jy").
    int controllingCurrent() const { return y; }

    /// O with a model: the DC gain A0 and the time constant A0/(2π·GBW) of its single
    /// pole (0 for a gain that does not fall with frequency).
    bool hasFiniteGain() const { return finiteGain; }
    double openLoopGain() const { return value; }
    double poleTimeConstant() const { return value2; }

    /// K: the element numbers of its two inductors.
    int firstInductor() const { return a; }
    int secondInductor() const { return b; }
    /// K: the branch-current unknowns of its two inductors.
    int firstInductorCurrent() const { return x; }
    int secondInductorCurrent() const { return y; }
    /// K: the coupling coefficient and the mutual inductance k·sqrt(L1·L2).
    double couplingCoefficient() const { return value; }
    double mutualInductance() const { return value2; }
};

using VariableName = std::string;

struct RunState {
    /// Entries 1..elementCount are valid; entry 0 is never used. Sized for the netlist
    /// format's limits, and grown by the reading of a larger circuit.
    std::vector<Element> ElementTable = std::vector<Element>(MaxElements + 1);
    int elementCount = 0;
    /// While reading: node names known besides ground. After numbering: unknowns of the
    /// system, node voltages first, then the extra currents.
    int variableCount = 0;
    int nodeCount = 0;
    int commandLineMissing = 0;
    int tooManyNodes = 0;
    /// The netlist's path as opened (".net" appended when its file name has no '.').
    std::string netlistFileName;
    /// The stem of the result files: netlistFileName cut at the last '.' of its file name.
    std::string baseName;
    /// Entry 0 is ground, always "0". Sized as ElementTable is.
    std::vector<VariableName> VariableNames = std::vector<VariableName>(MaxVariables + 1);

    const char* variableName(int k) const {
        return VariableNames[static_cast<std::size_t>(k)].c_str();
    }
};

}  // namespace corvane
