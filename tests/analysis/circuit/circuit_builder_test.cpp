// Covers the circuit builder fed directly, as any reader feeds it: the numbering of nodes
// and extra currents, ground and its other spellings, the couplings, every limit at and
// past its edge, and the exact message of every refusal.
#include "circuit_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "floating_point.h"
#include "numbered.h"

namespace corvane {
namespace {

using Lines = std::vector<std::string>;

// One element as a reader hands it over: name, line, then nodes or coupled inductors.
struct Fed {
    std::string name;
    std::vector<std::string> connections;
    double value = 1.0;
    int line = 0;
};

class BuilderTest : public ::testing::Test {
protected:
    bool feed(const std::vector<Fed>& elements) { return feed(builder, elements); }

    // Feeds every element, stopping at the first refusal; true when all were taken.
    static bool feed(CircuitBuilder& builder, const std::vector<Fed>& elements) {
        int line = 1;
        for (const Fed& element : elements) {
            ++line;
            if (!builder.beginElement(element.name, element.line ? element.line : line))
                return false;
            ElementFields fields;
            fields.value = element.value;
            if (element.name[0] == 'K') {
                fields.controllingElements = element.connections;
            } else {
                fields.nodes = element.connections;
            }
            if (!builder.completeElement(fields)) return false;
        }
        return true;
    }

    std::vector<std::string> variableNames() const {
        std::vector<std::string> names;
        for (int k = 0; k <= run.variableCount; ++k)
            names.emplace_back(run.variableName(k));
        return names;
    }

    const Element& element(int i) const { return run.ElementTable[i]; }

    RunState run;
    Lines lines;
    AnalysisLog log{[this](std::string_view line) { lines.emplace_back(line); }};
    CircuitBuilder builder{run, log};
};

// Nodes in the order they first appear, then one current per source, inductor, amplifier
// and nullor, two for a transresistance, in the order of the elements.
TEST_F(BuilderTest, NumbersNodesThenExtraCurrentsInElementOrder) {
    ASSERT_TRUE(feed({{"V1", {"in", "0"}},
                      {"R1", {"in", "out"}},
                      {"H1", {"out", "0", "a", "b"}},
                      {"L1", {"a", "0"}},
                      {"L2", {"b", "0"}},
                      {"K1", {"L1", "L2"}, 0.5},
                      {"O1", {"x", "0", "out", "a"}}}));
    ASSERT_TRUE(builder.finish());
    EXPECT_EQ(variableNames(), (std::vector<std::string>{"0", "in", "out", "a", "b", "x", "jV1",
                                                         "jxH1", "jyH1", "jL1", "jL2", "jO1"}));
    EXPECT_EQ(run.nodeCount, 5);
    EXPECT_EQ(run.elementCount, 7);
    EXPECT_EQ(element(3).controllingPositiveNode(), 3);
    EXPECT_EQ(element(3).branchCurrent(), 7);
    EXPECT_EQ(element(3).controllingCurrent(), 8);
    EXPECT_EQ(element(6).firstInductor(), 4);
    EXPECT_EQ(element(6).secondInductor(), 5);
    EXPECT_EQ(element(6).firstInductorCurrent(), 9);
    EXPECT_EQ(element(6).secondInductorCurrent(), 10);
    // k·√(L1·L2) with both inductances 1.
    EXPECT_EQ(element(6).mutualInductance(), 0.5);
    EXPECT_EQ(lines, Lines{"(L1 está na linha 4, L2 está na linha 5)"});
    lines.clear();
    builder.listVariables();
    EXPECT_EQ(lines.back(), "O circuito tem 5 nós, 11 variáveis e 7 elementos");
    EXPECT_EQ(lines[7], "6: jV1");
}

TEST_F(BuilderTest, GroundHasTheSpellingsItIsGiven) {
    builder.addGroundName("gnd");
    ASSERT_TRUE(feed({{"R1", {"X1.a", "gnd"}}, {"R2", {"GND", "0"}}}));
    EXPECT_EQ(element(1).negativeNode(), 0);
    EXPECT_EQ(element(2).positiveNode(), 2);
    EXPECT_EQ(element(2).negativeNode(), 0);
    EXPECT_EQ(variableNames(), (std::vector<std::string>{"0", "X1.a", "GND"}));
}

// Each circuit is refused at its last element or by `finish`, with the last line logged.
TEST_F(BuilderTest, RefusesEveryFaultOfTheCircuitWithItsMessage) {
    struct Case {
        const char* name;
        std::vector<Fed> elements;
        const char* message;
    };
    std::vector<Fed> twentySixNodes;
    std::vector<Fed> twentyFourNodes;
    for (int i = 1; i <= 26; ++i) {
        twentySixNodes.push_back({test::numbered("R", i), {test::numbered("n", i), "0"}});
        if (i <= 24) twentyFourNodes.push_back(twentySixNodes.back());
    }
    std::vector<Fed> twoSourcesTooMany = twentyFourNodes;
    twoSourcesTooMany.push_back({"V1", {"n1", "0"}});
    twoSourcesTooMany.push_back({"V2", {"n2", "0"}});
    std::vector<Fed> transresistanceTooMany = twentyFourNodes;
    transresistanceTooMany.push_back({"H1", {"n1", "0", "n2", "0"}});
    std::vector<Fed> twoHundredOne;
    for (int i = 1; i <= MaxElements + 1; ++i)
        twoHundredOne.push_back({test::numbered("R", i), {"a", "0"}});

    const std::vector<Case> cases{
        {"unknown kind", {{"R1", {"a", "0"}}, {"X1", {"a", "0"}}}, "Elemento desconhecido: X1"},
        {"empty name", {{"", {"a", "0"}}}, "Elemento desconhecido: "},
        {"eleven characters", {{"R1234567890", {"a", "0"}, 1.0, 7}},
         "Linha 7: nome com mais de 10 caracteres: R1234567890"},
        {"repeated name", {{"R1", {"a", "0"}, 1.0, 2}, {"C1", {"a", "0"}}, {"R1", {"a", "b"}, 1.0, 9}},
         "Linha 9: elemento R1 repetido (já definido na linha 2)"},
        {"201st element", twoHundredOne, "O programa só aceita até 200 elementos"},
        {"coupling of a missing inductor", {{"L1", {"a", "0"}}, {"K1", {"L1", "L9"}}},
         "Indutor não encontrado."},
        {"coupling of a resistor", {{"L1", {"a", "0"}}, {"R1", {"b", "0"}}, {"K1", {"L1", "R1"}}},
         "Indutor não encontrado."},
        {"coupling of a later inductor", {{"L1", {"a", "0"}}, {"K1", {"L1", "L2"}}, {"L2", {"b", "0"}}},
         "Indutor não encontrado."},
        {"inductor coupled to itself", {{"L1", {"a", "0"}}, {"K1", {"L1", "L1"}, 0.5, 4}},
         "Linha 4: indutor acoplado a si mesmo: L1"},
        {"26 nodes", twentySixNodes, "Número excessivo de nós (25)"},
        {"two currents past 25 variables", twoSourcesTooMany,
         "As correntes extra excederam o número de variáveis permitido (25)"},
        {"the second current of H past 25", transresistanceTooMany,
         "As correntes extra excederam o número de variáveis permitido (25)"},
    };
    for (const Case& c : cases) {
        lines.clear();
        CircuitBuilder fresh(run, log);
        const bool accepted = feed(fresh, c.elements) && fresh.finish();
        EXPECT_FALSE(accepted) << c.name;
        ASSERT_FALSE(lines.empty()) << c.name;
        EXPECT_EQ(lines.back(), c.message) << c.name;
    }
}

TEST_F(BuilderTest, TakesEveryLimitAtItsEdge) {
    std::vector<Fed> elements{{"R123456789", {"abcdefghij", "0"}}};
    for (int i = 2; i <= 23; ++i)
        elements.push_back({test::numbered("R", i), {test::numbered("n", i), "0"}});
    elements.push_back({"V1", {"n2", "0"}});
    elements.push_back({"V2", {"n3", "0"}});
    ASSERT_TRUE(feed(elements));
    ASSERT_TRUE(builder.finish());
    EXPECT_EQ(run.variableCount, MaxVariables);
    EXPECT_EQ(run.nodeCount, 23);
    EXPECT_TRUE(lines.empty());
}

// Lifted limits let the tables grow past the format's sizes, and the messages name the
// limits in force.
TEST_F(BuilderTest, LiftedLimitsGrowTheTablesAndNameTheirEdge) {
    const RunLimits lifted{400, 300, 40};
    std::vector<Fed> ladder;
    for (int i = 1; i <= 299; ++i)
        ladder.push_back({test::numbered("R", i), {test::numbered("no_de_uma_escada_", i), "0"}});
    ladder.push_back({"Vfonte_de_nome_comprido", {"no_de_uma_escada_1", "0"}});
    CircuitBuilder large(run, log, lifted);
    ASSERT_TRUE(feed(large, ladder));
    ASSERT_TRUE(large.finish());
    EXPECT_EQ(run.variableCount, 300);
    EXPECT_EQ(std::string(run.variableName(299)), "no_de_uma_escada_299");
    EXPECT_EQ(std::string(run.variableName(300)), "jVfonte_de_nome_comprido");

    ladder.push_back({"R_um_a_mais", {"no_novo", "0"}});
    CircuitBuilder full(run, log, lifted);
    EXPECT_FALSE(feed(full, ladder) && full.finish());
    EXPECT_EQ(lines.back(), "As correntes extra excederam o número de variáveis permitido (300)");

    CircuitBuilder few(run, log, RunLimits{2, 300, 40});
    EXPECT_FALSE(feed(few, {{"R1", {"a", "0"}}, {"R2", {"a", "0"}}, {"R3", {"a", "0"}}}));
    EXPECT_EQ(lines.back(), "O programa só aceita até 2 elementos");
    EXPECT_FALSE(few.acceptsName(std::string(41, 'n')));
    EXPECT_EQ(lines.back().substr(0, 36), "Linha 4: nome com mais de 40 caracte");
}

TEST_F(BuilderTest, ACouplingOfInductancesOfOppositeSignsIsAnInvalidOperation) {
    ASSERT_TRUE(feed({{"L1", {"a", "0"}, 1.0}, {"L2", {"b", "0"}, -4.0}}));
    ASSERT_TRUE(builder.beginElement("K1", 4));
    ElementFields coupling;
    coupling.controllingElements = {"L1", "L2"};
    coupling.value = 0.5;
    EXPECT_THROW(static_cast<void>(builder.completeElement(coupling)), FloatingPointFault);
}

}  // namespace
}  // namespace corvane
