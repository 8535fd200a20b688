#include "circuit_builder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "element_table.h"
#include "floating_point.h"
#include "netlist_scanner.h"

namespace corvane {

namespace {

void nameVariable(RunState& run, int k, std::string_view prefix, const std::string& elementName) {
    VariableName& name = run.VariableNames[static_cast<std::size_t>(k)];
    name = prefix;
    name += elementName;
}

// Makes entry `index` of `table` exist, keeping the table at least at its initial size.
template <typename T>
T& growTo(std::vector<T>& table, int index) {
    const auto slot = static_cast<std::size_t>(index);
    if (table.size() <= slot) table.resize(slot + 1);
    return table[slot];
}

// "linha 4 de x.cir" at the start of a message.
std::string capitalised(std::string place) {
    if (!place.empty() && place[0] >= 'a' && place[0] <= 'z')
        place[0] = static_cast<char>(place[0] - 'a' + 'A');
    return place;
}

}  // namespace

CircuitBuilder::CircuitBuilder(RunState& run, AnalysisLog& log, RunLimits limits)
    : run_(run), log_(log), limits_(limits), elementPlaces_(1) {
    run_.elementCount = 0;
    run_.variableCount = 0;
    run_.tooManyNodes = 0;
    run_.VariableNames[0] = VariableName{'0'};
}

void CircuitBuilder::addGroundName(std::string name) {
    groundNames_.push_back(std::move(name));
}

bool CircuitBuilder::acceptsName(std::string_view name) const {
    if (name.size() <= static_cast<std::size_t>(limits_.nameLength)) return true;
    log_.print("%s: nome com mais de %d caracteres: %s", capitalised(place_).c_str(),
               limits_.nameLength, shownText(std::string(name)).c_str());
    return false;
}

bool CircuitBuilder::beginElement(std::string_view name, int line) {
    std::string place = "linha ";
    place += std::to_string(line);
    return beginElement(name.empty() ? '\0' : name[0], name, std::move(place));
}

bool CircuitBuilder::beginElement(char kind, std::string_view name, std::string place) {
    place_ = std::move(place);
    if (name.empty() || findElementKind(kind) == nullptr) {
        log_.print("Elemento desconhecido: %s", shownText(std::string(name)).c_str());
        return false;
    }
    if (++run_.elementCount > limits_.elements) {
        log_.print("O programa só aceita até %d elementos", limits_.elements);
        return false;
    }
    if (!acceptsName(name)) return false;
    Element& e = growTo(run_.ElementTable, run_.elementCount);
    e = Element{};
    // A name holding a NUL byte is kept up to it, as the messages show it.
    e.name = std::string(name).c_str();
    e.kindLetter = kind;
    for (int i = 1; i < run_.elementCount; ++i) {
        if (run_.ElementTable[static_cast<std::size_t>(i)].name == e.name) {
            log_.print("%s: elemento %s repetido (já definido na %s)",
                       capitalised(place_).c_str(), e.name.c_str(),
                       elementPlaces_[static_cast<std::size_t>(i)].c_str());
            return false;
        }
    }
    growTo(elementPlaces_, run_.elementCount) = place_;
    return true;
}

bool CircuitBuilder::completeElement(const ElementFields& fields) {
    Element& e = run_.ElementTable[run_.elementCount];
    const ElementKind& kind = *findElementKind(e.kind());
    e.value = fields.value;
    if (kind.initialCondition != InitialCondition::None) e.value2 = fields.initialCondition;
    if (kind.hasSourceType()) e.y = fields.source == SourceType::Impulse ? 'I' : 'D';
    if (fields.finiteGain) {
        e.finiteGain = true;
        e.value2 = fields.poleTimeConstant;
    }
    if (kind.connections == Connections::TwoInductors) {
        return coupleInductors(e, fields.controllingElements.at(0),
                               fields.controllingElements.at(1));
    }
    const std::array<int*, 4> ends{&e.a, &e.b, &e.c, &e.d};
    for (int k = 0; k < kind.nodeCount(); ++k)
        *ends[static_cast<std::size_t>(k)] = node(fields.nodes.at(static_cast<std::size_t>(k)));
    return true;
}

int CircuitBuilder::node(const std::string& name) {
    if (std::find(groundNames_.begin(), groundNames_.end(), name) != groundNames_.end()) return 0;
    return findOrAddNode(run_, log_, name.c_str(), limits_.variables);
}

bool CircuitBuilder::isInductor(int i) const {
    return run_.ElementTable[i].kind() == 'L';
}

// The two names of a coupling are element names, matched exactly against every element
// before it (names are unique). Only inductors can be coupled, and two different ones.
bool CircuitBuilder::coupleInductors(Element& k, const std::string& first,
                                     const std::string& second) {
    k.a = 0;
    k.b = 0;
    for (int i = 1; i < run_.elementCount; ++i) {
        const std::string& name = run_.ElementTable[static_cast<std::size_t>(i)].name;
        if (name == first) k.a = i;
        if (name == second) k.b = i;
    }
    if (k.a == 0 || k.b == 0 || !isInductor(k.a) || !isInductor(k.b)) {
        log_.print("Indutor não encontrado.");
        return false;
    }
    if (k.a == k.b) {
        log_.print("%s: indutor acoplado a si mesmo: %s", capitalised(place_).c_str(),
                   first.c_str());
        return false;
    }
    log_.print("(%s está na linha %d, %s está na linha %d)", first.c_str(), k.a, second.c_str(),
               k.b);
    const double l1 = run_.ElementTable[k.a].value;
    const double l2 = run_.ElementTable[k.b].value;
    // A negative product of inductances is an invalid operation here.
    checkFloatingPoint([&] { k.value2 = std::sqrt(l1 * l2) * k.value; });
    return true;
}

bool CircuitBuilder::finish() {
    if (run_.tooManyNodes) {
        log_.print("Número excessivo de nós (%d)", limits_.variables);
        return false;
    }
    run_.nodeCount = run_.variableCount;
    for (int i = 1; i <= run_.elementCount; ++i) {
        Element& e = run_.ElementTable[i];
        const ElementKind& kind = *findElementKind(e.kind());
        if (kind.connections == Connections::TwoInductors) {
            // Its inductors come before it: their currents are numbered already.
            e.x = run_.ElementTable[e.firstInductor()].branchCurrent();
            e.y = run_.ElementTable[e.secondInductor()].branchCurrent();
            continue;
        }
        const int count = kind.extraCurrentCount();
        if (count == 0) continue;
        if (!addExtraCurrents(count)) return false;
        const int first = run_.variableCount - count + 1;
        const std::array<int*, 2> currents{&e.x, &e.y};
        for (int k = 0; k < count; ++k) {
            const auto slot = static_cast<std::size_t>(k);
            nameVariable(run_, first + k, kind.extraCurrents[slot], e.name);
            *currents[slot] = first + k;
        }
    }
    return true;
}

bool CircuitBuilder::addExtraCurrents(int count) {
    run_.variableCount += count;
    if (run_.variableCount > limits_.variables) {
        log_.print("As correntes extra excederam o número de variáveis permitido (%d)",
                   limits_.variables);
        return false;
    }
    growTo(run_.VariableNames, run_.variableCount);
    return true;
}

void CircuitBuilder::listVariables() const {
    log_.print("Variáveis: ");
    for (int k = 0; k <= run_.variableCount; ++k) {
        log_.print("%d: %s", k, run_.variableName(k));
    }
    log_.print("O circuito tem %d nós, %d variáveis e %d elementos", run_.nodeCount,
               run_.variableCount, run_.elementCount);
}

int findOrAddNode(RunState& run, AnalysisLog& log, const char* name, int maxVariables) {
    for (int i = 0; i <= run.variableCount; ++i) {
        if (std::strcmp(run.variableName(i), name) == 0) return i;
    }
    if (run.variableCount == maxVariables) {
        log.print("O programa só aceita até %d nós", maxVariables);
        run.tooManyNodes = 1;
        return maxVariables;
    }
    ++run.variableCount;
    growTo(run.VariableNames, run.variableCount) = name;
    return run.variableCount;
}

}  // namespace corvane
