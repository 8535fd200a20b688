// The state of one analysis run: the circuit as read from the netlist, the names of its
// variables and the names of the files involved. One instance lives as long as the
// program and is reused by every run.
#pragma once

#include <array>
#include <string>

namespace corvane {

inline constexpr int MaxElements = 200;
inline constexpr int MaxVariables = 25;
/// Element and node names are read with "%10s".
inline constexpr int MaxNameLength = 10;
/// The longest variable name is "jx" or "jy" followed by an element name.
inline constexpr int MaxVariableNameLength = MaxNameLength + 2;

/// One line of the netlist. Which fields a kind uses:
///   a, b   nodes (K: element numbers of its two inductors)
///   c, d   controlling nodes (G, E, F, H, O)
///   value  the element's value (K: coupling coefficient)
///   value2 initial condition (C, L), mutual inductance (K)
///   x      extra current variable (V, E, F, O, L; "jx" of H; K: x of its first inductor)
///   y      source type character 'I' or 'D' (I, V); "jy" of H; K: x of its second inductor
/// Fields a kind does not use keep whatever an earlier run left there.
struct Element {
    char name[MaxNameLength + 1] = {};
    double value = 0.0;
    double value2 = 0.0;
    int a = 0;
    int b = 0;
    int c = 0;
    int d = 0;
    int x = 0;
    int y = 0;
};

using VariableName = std::array<char, MaxVariableNameLength + 1>;

struct RunState {
    /// Entries 1..elementCount are valid; entry 0 is never used.
    std::array<Element, MaxElements + 1> ElementTable{};
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
    /// Entry 0 is ground, always "0".
    std::array<VariableName, MaxVariables + 1> VariableNames{};

    const char* variableName(int k) const { return VariableNames[k].data(); }
};

}  // namespace corvane
