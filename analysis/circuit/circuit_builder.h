// The circuit builder. A reader of a circuit format parses its lines and hands the builder
// one element at a time; the builder numbers the nodes and the extra currents, names the
// variables, applies the limits of the run state and reports the faults of the circuit
// itself. The syntax of a line, and its messages, stay with the reader.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analysis_log.h"
#include "run_state.h"

namespace corvane {

/// What a reader found for one element, names as written in the circuit.
struct ElementFields {
    /// Two nodes (R, C, L, I, V), or four: the output or branch pair, then the controlling or
    /// input pair (G, E, F, H, O).
    std::vector<std::string> nodes;
    /// K: the names of the two coupled inductors.
    std::vector<std::string> controllingElements;
    /// The element's value (K: the coupling coefficient; the nullor has none).
    double value = 0.0;
    /// C: the initial voltage; L: the initial current.
    double initialCondition = 0.0;
    /// I, V.
    SourceType source = SourceType::Impulse;
    /// O with a model: `value` is its DC gain A0 and this the time constant A0/(2π·GBW)
    /// of its pole (0 without GBW).
    bool finiteGain = false;
    double poleTimeConstant = 0.0;
};

/// Messages name the line the reader gave for the element; each refusal is logged and
/// answered with false, after which the circuit is not to be used.
class CircuitBuilder {
public:
    /// Starts an empty circuit in `run`: no element, ground as variable 0, named "0". The
    /// node count is set by `finish`.
    CircuitBuilder(RunState& run, AnalysisLog& log, RunLimits limits = {});

    /// Makes `name` one more spelling of ground (a format may write "gnd").
    void addGroundName(std::string name);

    /// Whether `name` fits the limits as an element or node name; when it does not, logs
    /// "Linha N: nome com mais de 10 caracteres: <name>" (10 being the limit).
    [[nodiscard]] bool acceptsName(std::string_view name) const;

    /// Opens the next element, written at `line`. Refuses, in this order, a name whose
    /// first letter is no kind, one element more than the limit, a long name and a name
    /// already used.
    [[nodiscard]] bool beginElement(std::string_view name, int line);

    /// The same for an element whose kind is not its name's first letter ("X1.R2" is an R)
    /// or whose place is more than a line number: `place` is how messages name where the
    /// element was written, in lower case ("linha 4 de filtro.cir"); they start with it
    /// capitalised.
    [[nodiscard]] bool beginElement(char kind, std::string_view name, std::string place);

    /// Completes the element begun last. Numbers its nodes: a node past the limit is
    /// logged and the circuit is refused by `finish`. A coupling finds its inductors among
    /// the elements before it and refuses anything else.
    [[nodiscard]] bool completeElement(const ElementFields& fields);

    /// After the last element: refuses too many nodes, then numbers and names the extra
    /// currents after the nodes.
    [[nodiscard]] bool finish();

    /// Logs every variable and the size of the circuit.
    void listVariables() const;

private:
    int node(const std::string& name);
    bool coupleInductors(Element& k, const std::string& first, const std::string& second);
    bool addExtraCurrents(int count);
    bool isInductor(int i) const;

    RunState& run_;
    AnalysisLog& log_;
    RunLimits limits_;
    std::vector<std::string> groundNames_;
    /// Where the element being built was written, and every element, for the messages
    /// ("linha 4").
    std::string place_ = "linha 0";
    std::vector<std::string> elementPlaces_;
};

/// Looks `name` up among the known variables (entry 0 is ground, "0") and adds it as the
/// next one when it is new. A name past `maxVariables` is refused with a log line and sets
/// tooManyNodes.
int findOrAddNode(RunState& run, AnalysisLog& log, const char* name,
                  int maxVariables = MaxVariables);

}  // namespace corvane
