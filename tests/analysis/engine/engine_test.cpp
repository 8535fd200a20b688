// Covers the network-function engine on worked examples: the stamps and their listing,
// the cofactor expansion with its prunings and counts, the estimate, integration and
// normalisation, the full log of a run, and the floating-point faults of the computation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "plain_expansion.h"
#include "determinant.h"
#include "floating_point.h"
#include "mna.h"
#include "post_process.h"
#include "recording_host.h"
#include "temp_dir.h"

namespace corvane {
namespace {

using Lines = std::vector<std::string>;

const char* const ThreeVariableCircuit = "Exemplo\nV1 1 0 1 DEGRAU\nR1 1 2 1000\nC1 2 0 1e-6\n";

// A clock that advances three seconds between its readings.
long steppingClock() {
    static long now = 1000;
    return now += 3;
}

struct RunFixture {
    test::TempDir dir;
    test::AnalysisFixture fixture;

    Lines run(const std::string& netlist, const std::string& name = "c.net") {
        return fixture.run(dir.write(name, netlist));
    }
    // The lines from the first one equal to `from` to the end.
    Lines from(const std::string& from) const {
        const auto start = std::find(fixture.lines.begin(), fixture.lines.end(), from);
        return Lines(start, fixture.lines.end());
    }
};

TEST(AssemblyTest, ListsTheSystemAfterEachStamp) {
    RunFixture f;
    f.fixture.host.stamps = true;
    f.run(ThreeVariableCircuit);
    const Lines afterC1 = f.from("Sistema após a estampa de C1");
    ASSERT_GE(afterC1.size(), 4u);
    EXPECT_EQ(Lines(afterC1.begin(), afterC1.begin() + 5),
              (Lines{"Sistema após a estampa de C1", "+0.0s+0.0 +0.0s-0.0 +0.0s+1.0 ......... ",
                     "+0.0s-0.0 +0.0s+0.0 ......... ......... ",
                     "+0.0s+1.0 ......... ......... +0.0s+1.0 ", "Tempo usado: 0 s"}));
    // One block of a title and n lines per element.
    EXPECT_EQ(f.from("Sistema após a estampa de V1")[1],
              "......... ......... +0.0s+1.0 ......... ");
    EXPECT_EQ(std::count_if(f.fixture.lines.begin(), f.fixture.lines.end(),
                            [](const std::string& l) { return l.rfind("Sistema após", 0) == 0; }),
              3);

    const SystemMatrix& m = f.fixture.analysis.systemMatrix();
    EXPECT_EQ(m.at(2, 2).s0, 0.001);
    EXPECT_EQ(m.at(2, 2).s1, 1e-6);
    EXPECT_EQ(m.at(1, 2).s0, -0.001);
    EXPECT_EQ(m.at(2, 2).degree, 1);
    EXPECT_EQ(m.at(1, 1).degree, 0);
}

TEST(AssemblyTest, StampsSourcesInTheirPartAndListsLongFieldsWhole) {
    RunFixture f;
    f.fixture.host.stamps = true;
    f.run("t\nI1 1 0 1 IMPULSO\nI2 1 0 1 DEGRAU\nC1 1 2 2 IC=0.5\nR1 2 0 1e300\n");
    EXPECT_EQ(f.from("Sistema após a estampa de I1")[1], "......... ......... -1.0s+0.0 ");
    EXPECT_EQ(f.from("Sistema após a estampa de I2")[1], "......... ......... -1.0s-1.0 ");
    const Lines afterC1 = f.from("Sistema após a estampa de C1");
    EXPECT_EQ(afterC1[1], "+2.0s+0.0 -2.0s+0.0 +0.0s-1.0 ");
    EXPECT_EQ(afterC1[2], "-2.0s+0.0 +2.0s+0.0 -1.0s+0.0 ");
    // A conductance of 1e-300 prints as +0.0; a field of 300 digits would be kept whole.
    EXPECT_EQ(f.from("Sistema após a estampa de R1")[2], "-2.0s+0.0 +2.0s+0.0 -1.0s+0.0 ");

    RunFixture big;
    big.fixture.host.stamps = true;
    big.run("t\nG1 1 0 1 0 1e300\nR1 1 0 1\n");
    const std::string row = big.from("Sistema após a estampa de G1")[1];
    EXPECT_EQ(row.size(),
              std::string("+0.0s+").size() + 301 + 2 + std::string(" ......... ").size());
}

TEST(AssemblyTest, EveryElementKindStampsItsTable) {
    RunState run;
    auto add = [&](const char* name, int a, int b, int c, int d, double value, double value2, int x,
                   int y) {
        Element& e = run.ElementTable[++run.elementCount];
        e = Element{name, value, value2, a, b, c, d, x, y, false, name[0]};
    };
    run.variableCount = 9;
    add("L1", 1, 2, 0, 0, 3.0, 0.5, 3, 0);   // x = 3
    add("L2", 2, 0, 0, 0, 5.0, 0.25, 4, 0);  // x = 4
    add("K1", 1, 2, 0, 0, 0.5, 7.0, 3, 4);
    add("E1", 1, 0, 2, 0, 10.0, 0, 5, 0);
    add("F1", 2, 1, 1, 0, 4.0, 0, 6, 0);
    add("H1", 1, 2, 2, 0, 6.0, 0, 7, 8);
    add("O1", 2, 1, 1, 2, 0, 0, 9, 0);
    AnalysisLog log;
    SystemMatrix m;
    assembleSystem(run, m, log, false);
    const int rhs = 10;
    auto s0 = [&](int r, int c) { return m.at(r, c).s0; };
    auto s1 = [&](int r, int c) { return m.at(r, c).s1; };
    // Inductor L1 (a=1, b=2, x=3): column +1/−1, branch row −1/+1, sL and s·L·I0.
    EXPECT_EQ(s0(1, 3), 1.0);
    EXPECT_EQ(s0(3, 1), -1.0);
    EXPECT_EQ(s0(3, 2), 1.0);
    EXPECT_EQ(s1(3, 3), 3.0);
    // Coupling: s·M between the branch rows, s·M times the other initial current.
    EXPECT_EQ(s1(3, 4), 7.0);
    EXPECT_EQ(s1(4, 3), 7.0);
    EXPECT_EQ(s1(3, rhs), 3.0 * 0.5 + 7.0 * 0.25);
    EXPECT_EQ(s1(4, rhs), 5.0 * 0.25 + 7.0 * 0.5);
    // E1: branch row v(1) − 10·v(2) = 0.
    EXPECT_EQ(s0(5, 1), 1.0);
    EXPECT_EQ(s0(5, 2), -10.0);
    EXPECT_EQ(s0(1, 5), 1.0);
    // F1: output 4·x from 2 to 1, input short from 1 to 0.
    EXPECT_EQ(s0(2, 6), 4.0);
    EXPECT_EQ(s0(1, 6), -4.0 + 1.0);
    EXPECT_EQ(s0(6, 1), 1.0);
    // H1: row x is v(1) − v(2) − 6·y, row y is v(2) = 0 (input from 2 to ground).
    EXPECT_EQ(s0(7, 1), 1.0);
    EXPECT_EQ(s0(7, 2), -1.0);
    EXPECT_EQ(s0(7, 8), -6.0);
    EXPECT_EQ(s0(8, 2), 1.0);
    EXPECT_EQ(s0(2, 8), 1.0);
    // O1: output current between 2 and 1, inputs 1 and 2 held equal.
    EXPECT_EQ(s0(2, 9), 1.0);
    EXPECT_EQ(s0(1, 9), -1.0);
    EXPECT_EQ(s0(9, 1), 1.0);
    EXPECT_EQ(s0(9, 2), -1.0);
    EXPECT_EQ(m.at(3, 3).degree, 1);
    EXPECT_EQ(m.at(9, 1).degree, 0);
}

TEST(DeterminantTest, ComputesTheThreeVariableExample) {
    RunFixture f;
    f.fixture.host.details = true;
    f.fixture.host.normalization = false;
    f.fixture.analysis.setEngineOptions({ExpansionMethod::Plain, steppingClock});
    f.run(ThreeVariableCircuit);
    const Lines computing = f.from("Calculando...");
    ASSERT_GE(computing.size(), 8u);
    EXPECT_EQ(Lines(computing.begin(), computing.begin() + 8),
              (Lines{"Calculando...", "Máximo número de multiplicações esperado: 9",
                     "Denominador: Multiplicações no cálculo do denominador: 2",
                     "Multiplicações no cálculo do numerador 1: 2",
                     "Multiplicações no cálculo do numerador 2: 2",
                     "Multiplicações no cálculo do numerador 3: 4", "Tempo usado: 3 s",
                     "Integração: Grau do denominador aumentado para 2"}));

    // Raw determinants, then the denominator times s (no normalisation).
    const NetworkFunctions& r = f.fixture.analysis.networkFunctions();
    EXPECT_EQ(r.denominator.degree, 2);
    EXPECT_EQ(r.denominator.coef[0], 0.0);
    EXPECT_DOUBLE_EQ(r.denominator.coef[1], -0.001);
    EXPECT_DOUBLE_EQ(r.denominator.coef[2], -1e-6);
    EXPECT_EQ(r.numerator[1].degree, 1);
    EXPECT_DOUBLE_EQ(r.numerator[1].coef[0], -0.001);
    EXPECT_DOUBLE_EQ(r.numerator[1].coef[1], -1e-6);
    EXPECT_EQ(r.numerator[2].degree, 0);
    EXPECT_DOUBLE_EQ(r.numerator[2].coef[0], -0.001);
    EXPECT_EQ(r.numerator[3].degree, 1);
    EXPECT_EQ(r.numerator[3].coef[0], 0.0);
    EXPECT_DOUBLE_EQ(r.numerator[3].coef[1], 1e-9);
    for (int k = 1; k <= 3; ++k)
        EXPECT_EQ(r.numerator[k].constant, 1.0);
    EXPECT_EQ(r.denominator.constant, 1.0);
}

TEST(DeterminantTest, PrintsTheCountsOnlyWithDetails) {
    RunFixture f;
    f.run(ThreeVariableCircuit);
    const Lines lines = f.from("Calculando...");
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 3),
              (Lines{"Calculando...", "Tempo usado: 0 s",
                     "Integração: Grau do denominador aumentado para 2"}));
}

// A matrix whose entries are given as {s0, s1} pairs, row by row.
SystemMatrix matrixOf(const std::vector<std::vector<std::pair<double, double>>>& rows) {
    SystemMatrix m;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            MnaEntry& e = m.at(static_cast<int>(r) + 1, static_cast<int>(c) + 1);
            e.s0 = rows[r][c].first;
            e.s1 = rows[r][c].second;
            e.degree = e.s1 != 0.0 ? 1 : 0;
        }
    }
    return m;
}

Polynomial determinantOf(const SystemMatrix& m, int n, ProductCount* count = nullptr) {
    IndexList list{};
    for (int i = 1; i <= n; ++i)
        list[i] = i;
    PlainExpansion expansion(m);
    Polynomial result;
    expansion.expandDeterminant(n, result, list, list);
    if (count) *count = expansion.multiplicationCount;
    return result;
}

TEST(DeterminantTest, ExpandsAlongTheFirstColumnWithBothPrunings) {
    // [[1/R1 + sC, −1/R1], [−1/R1, 1/R1 + 1/R2]] with R1 = 2, R2 = 4, C = 3.
    ProductCount count = 0;
    Polynomial d =
        determinantOf(matrixOf({{{0.5, 3}, {-0.5, 0}}, {{-0.5, 0}, {0.75, 0}}}), 2, &count);
    EXPECT_EQ(d.degree, 1);
    EXPECT_EQ(d.coef[0], 0.5 * 0.75 - 0.25);
    EXPECT_EQ(d.coef[1], 3 * 0.75);
    EXPECT_EQ(count, 2u);

    // A first column with one non-zero entry: one (n−1)-sized determinant plus one.
    const SystemMatrix sparse =
        matrixOf({{{0, 0}, {1, 0}, {2, 0}}, {{5, 0}, {3, 1}, {4, 0}}, {{0, 0}, {6, 0}, {7, 2}}});
    d = determinantOf(sparse, 3, &count);
    EXPECT_EQ(count, 3u);
    // −5·det[[1, 2], [6, 7 + 2s]] = −5·(7 + 2s − 12)
    EXPECT_EQ(d.degree, 1);
    EXPECT_EQ(d.coef[0], 25.0);
    EXPECT_EQ(d.coef[1], -10.0);

    // A zero minor is not multiplied; a minor that cancelled at degree > 0 still is.
    const SystemMatrix cancels = matrixOf({{{0, 1}, {0, 1}}, {{0, 1}, {1, 1}}});
    d = determinantOf(cancels, 2, &count);
    EXPECT_EQ(d.degree, 2);  // s(s + 1) − s·s, untrimmed
    EXPECT_EQ(d.coef[0], 0.0);
    EXPECT_EQ(d.coef[1], 1.0);
    EXPECT_EQ(d.coef[2], 0.0);

    const SystemMatrix zeroMinor =
        matrixOf({{{1, 0}, {2, 0}, {3, 0}}, {{1, 0}, {0, 0}, {0, 0}}, {{1, 0}, {0, 0}, {0, 0}}});
    d = determinantOf(zeroMinor, 3, &count);
    EXPECT_TRUE(d.isZero());
    // Every minor is zero: nothing is ever multiplied.
    EXPECT_EQ(count, 0u);
}

TEST(DeterminantTest, SmallSizes) {
    const SystemMatrix m = matrixOf({{{4, 2}}});
    ProductCount count = 7;
    Polynomial d = determinantOf(m, 1, &count);
    EXPECT_EQ(d.degree, 1);
    EXPECT_EQ(d.coef[0], 4.0);
    EXPECT_EQ(d.coef[1], 2.0);
    EXPECT_EQ(count, 0u);
    d = determinantOf(m, 0, &count);
    EXPECT_TRUE(d.isZero());
    EXPECT_EQ(count, 0u);
}

TEST(DeterminantTest, EstimateFollowsTheRecurrence) {
    EXPECT_EQ(expectedMultiplications(0), 0.0L);
    EXPECT_EQ(expectedMultiplications(1), 0.0L);
    EXPECT_EQ(expectedMultiplications(2), 2.0L);
    EXPECT_EQ(expectedMultiplications(3), 9.0L);
    EXPECT_EQ(expectedMultiplications(4), 40.0L);
    EXPECT_EQ(expectedMultiplications(5), 205.0L);
    char text[32];
    std::snprintf(text, sizeof text, "%Lg", expectedMultiplications(25));
    EXPECT_STREQ(text, "2.66526e+25");
}

TEST(DeterminantTest, FormatsCountsBeyondSixtyFourBits) {
    EXPECT_EQ(formatCount(0), "0");
    EXPECT_EQ(formatCount(4), "4");
    EXPECT_EQ(formatCount(static_cast<ProductCount>(UINT64_MAX)), "18446744073709551615");
    const ProductCount big = static_cast<ProductCount>(UINT64_MAX) * 1000 + 7;
    EXPECT_EQ(formatCount(big), "18446744073709551615007");
}

TEST(DeterminantTest, AnOverflowAbandonsTheRun) {
    RunFixture f;
    try {
        f.run("t\nI1 0 1 1 IMPULSO\nG1 1 2 2 0 1e300\nG2 2 1 1 0 1e300\nR1 1 0 1\nR2 2 0 1\n");
        FAIL() << "no fault";
    } catch (const FloatingPointFault& fault) {
        EXPECT_STREQ(fault.what(), "Estouro em ponto flutuante");
    }
    EXPECT_EQ(f.fixture.lines.back(), "Calculando...");
    EXPECT_FALSE(f.fixture.host.listResultsEnabled);
}

TEST(AssemblyTest, AResistorOfZeroDividesByZero) {
    RunFixture f;
    try {
        f.run("t\nV1 1 0 1 DEGRAU\nR1 1 0 0\n");
        FAIL() << "no fault";
    } catch (const FloatingPointFault& fault) {
        EXPECT_STREQ(fault.what(), "Divisão por zero em ponto flutuante");
    }
    EXPECT_EQ(f.fixture.lines.back(), "Calculando...");
    EXPECT_FALSE(f.fixture.analysis.running());
}

Polynomial polynomialOf(std::vector<double> coefficients, double constant = 1.0) {
    Polynomial p;
    p.degree = static_cast<int>(coefficients.size()) - 1;
    std::copy(coefficients.begin(), coefficients.end(), p.coef.begin());
    p.constant = constant;
    return p;
}

TEST(CleanPolynomialTest, ClearsCoefficientsBelowTheDispersionAndMakesMonic) {
    Polynomial p = polynomialOf({1, 1e-12, 1});
    cleanPolynomial(p, 1e9);
    EXPECT_EQ(p.degree, 2);
    EXPECT_EQ(p.coef[0], 1.0);
    EXPECT_EQ(p.coef[1], 0.0);
    EXPECT_EQ(p.coef[2], 1.0);
    EXPECT_EQ(p.constant, 1.0);

    p = polynomialOf({1, 1e-12, 1});
    cleanPolynomial(p, 1e12);
    EXPECT_EQ(p.coef[1], 1e-12);

    // A coefficient exactly at the threshold stays; leading zeros are trimmed.
    p = polynomialOf({-4, 4e-9, 2, 0, 1e-10});
    cleanPolynomial(p, 1e9);
    EXPECT_EQ(p.degree, 2);
    EXPECT_EQ(p.constant, 2.0);
    EXPECT_EQ(p.coef[0], -2.0);
    EXPECT_EQ(p.coef[1], 2e-9);
    EXPECT_EQ(p.coef[2], 1.0);

    // The zero polynomial ends with degree 0 and constant 1.
    p = polynomialOf({0, 0, 0});
    cleanPolynomial(p, 1e9);
    EXPECT_TRUE(p.isZero());
    EXPECT_EQ(p.constant, 1.0);

    // A negative dispersion clears nothing.
    p = polynomialOf({1e-20, 1});
    cleanPolynomial(p, -1.0);
    EXPECT_EQ(p.coef[0], 1e-20);
}

TEST(PostProcessTest, OneVariableRcWithImpulseAndStepSources) {
    struct Case {
        const char* type;
        bool normalize;
        Lines integration;
        std::vector<double> denominator;
        std::vector<double> numerator;
        double constant;
    };
    const Case cases[] = {
        {"IMPULSO", true, {"Integração: Graus dos numeradores reduzidos"}, {2, 1}, {1}, 4},
        {"IMPULSO", false, {"Integração: Graus dos numeradores reduzidos"}, {0.5, 0.25}, {1}, 1},
        {"DEGRAU", true, {"Integração: Grau do denominador aumentado para 2"}, {0, 2, 1}, {1}, 4},
        {"DEGRAU",
         false,
         {"Integração: Grau do denominador aumentado para 2"},
         {0, 0.5, 0.25},
         {1},
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.type) + (c.normalize ? " normalised" : " raw"));
        RunFixture f;
        f.fixture.host.normalization = c.normalize;
        f.run(std::string("t\nI1 0 1 1 ") + c.type + "\nR1 1 0 2\nC1 1 0 0.25\n");
        ASSERT_EQ(f.fixture.outcome, RunOutcome::Succeeded);
        EXPECT_EQ(f.from("Tempo usado: 0 s")[1], c.integration[0]);
        const NetworkFunctions& r = f.fixture.analysis.networkFunctions();
        EXPECT_EQ(r.denominator.degree + 1, static_cast<int>(c.denominator.size()));
        for (std::size_t i = 0; i < c.denominator.size(); ++i) {
            EXPECT_EQ(r.denominator.coef[i], c.denominator[i]) << i;
        }
        EXPECT_EQ(r.numerator[1].degree, 0);
        EXPECT_EQ(r.numerator[1].coef[0], c.numerator[0]);
        EXPECT_EQ(r.numerator[1].constant, c.constant);
        EXPECT_EQ(r.denominator.constant, 1.0);
    }
}

TEST(PostProcessTest, NormalisesTheThreeVariableExample) {
    RunFixture f;
    f.fixture.host.selected = {1, 2, 3};
    f.run(ThreeVariableCircuit);
    const NetworkFunctions& r = f.fixture.analysis.networkFunctions();
    EXPECT_EQ(r.denominator.degree, 2);
    EXPECT_EQ(r.denominator.coef[0], 0.0);
    EXPECT_TRUE(std::signbit(r.denominator.coef[0]));  // 0 / −1e-6
    EXPECT_DOUBLE_EQ(r.denominator.coef[1], 1000.0);
    EXPECT_EQ(r.denominator.coef[2], 1.0);
    EXPECT_DOUBLE_EQ(r.numerator[1].coef[0], 1000.0);
    EXPECT_EQ(r.numerator[1].coef[1], 1.0);
    EXPECT_DOUBLE_EQ(r.numerator[1].constant, 1.0);
    EXPECT_EQ(r.numerator[2].degree, 0);
    EXPECT_DOUBLE_EQ(r.numerator[2].constant, 1000.0);
    EXPECT_EQ(r.numerator[3].coef[1], 1.0);
    EXPECT_DOUBLE_EQ(r.numerator[3].constant, -0.001);
    EXPECT_EQ(std::count_if(f.fixture.lines.begin(), f.fixture.lines.end(),
                            [](const std::string& l) { return l.rfind("Aviso", 0) == 0; }),
              0);
}

TEST(PostProcessTest, ACircuitWithoutSolutionWritesNothing) {
    for (const bool normalize : {true, false}) {
        RunFixture f;
        f.fixture.host.details = true;
        f.fixture.host.normalization = normalize;
        f.run("t\nR1 0 0 1\n", "vazio.net");
        EXPECT_EQ(
            f.from("Calculando..."),
            (Lines{"Calculando...", "Máximo número de multiplicações esperado: 0",
                   "Denominador: Multiplicações no cálculo do denominador: 0", "Tempo usado: 0 s",
                   "Integração: Graus dos numeradores reduzidos", "Circuito sem solução"}));
        EXPECT_EQ(f.fixture.outcome, RunOutcome::Failed);
        EXPECT_FALSE(std::filesystem::exists(f.dir.file("vazio.d")));
        // No results: nothing to list.
        EXPECT_FALSE(f.fixture.host.listResultsEnabled);
    }
    // A floating pair of nodes: the determinant cancels to zero at degree 2. Normalisation
    // trims it to a degree-0 zero; without it every coefficient is still zero.
    for (const bool normalize : {true, false}) {
        RunFixture f;
        f.fixture.host.normalization = normalize;
        f.run("t\nI1 0 1 1 IMPULSO\nR1 1 0 1\nC1 2 3 1\n", "flutua.net");
        EXPECT_EQ(f.fixture.lines.back(), "Circuito sem solução") << normalize;
        EXPECT_EQ(f.fixture.outcome, RunOutcome::Failed);
        EXPECT_FALSE(std::filesystem::exists(f.dir.file("flutua.d")));
        EXPECT_FALSE(f.fixture.host.listResultsEnabled);
    }
}

TEST(PostProcessTest, ADispersionOfZeroOrLessClearsNothing) {
    // 0 used to divide by zero; like a negative value it now clears nothing, and the
    // functions are those of a dispersion too large to clear anything.
    RunFixture wide;
    wide.fixture.host.dispersionText = "1e300";
    wide.run(ThreeVariableCircuit);
    for (const char* text : {"0", "-1"}) {
        RunFixture f;
        f.fixture.host.dispersionText = text;
        f.run(ThreeVariableCircuit);
        EXPECT_EQ(f.fixture.outcome, RunOutcome::Succeeded) << text;
        const NetworkFunctions& got = f.fixture.analysis.networkFunctions();
        const NetworkFunctions& want = wide.fixture.analysis.networkFunctions();
        EXPECT_EQ(got.denominator.coef, want.denominator.coef) << text;
        for (int k = 1; k <= 3; ++k)
            EXPECT_EQ(got.numerator[k].coef, want.numerator[k].coef) << text << k;
    }
}

TEST(PostProcessTest, APracticalFilterKeepsItsOrderWithTheDefaults) {
    // A third-order low-pass at 1 MHz: its coefficients span 1e20, yet every term weighs
    // alike at ω0 ≈ 1e7.
    RunFixture f;
    f.run(test::readFile(std::string(CORVANE_TEST_DATA_DIR) + "/chebyshev_1mhz.net"));
    EXPECT_EQ(f.fixture.analysis.networkFunctions().denominator.degree, 3);
    EXPECT_EQ(std::count_if(f.fixture.lines.begin(), f.fixture.lines.end(),
                            [](const std::string& l) { return l.rfind("Aviso", 0) == 0; }),
              0);
    EXPECT_EQ(f.fixture.lines.back(), "Análise terminada com sucesso.");
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

// The product of an entry by a polynomial, summed term by term into zeroed coefficients.
Polynomial referenceProduct(const MnaEntry& e, const Polynomial& p) {
    Polynomial out;
    out.degree = e.degree + p.degree;
    for (int i = 0; i <= out.degree; ++i)
        out.coef[i] = 0.0;
    const double ec[2] = {e.s0, e.s1};
    for (int i = 0; i <= e.degree; ++i) {
        for (int j = 0; j <= p.degree; ++j)
            out.coef[i + j] += ec[i] * p.coef[j];
    }
    return out;
}

TEST(DeterminantTest, MultipliesAndAddsAnEntryBitForBitAsTermByTermSums) {
    std::mt19937 random(20261208);
    const double values[] = {0.0, -0.0, 1.0, -1.0, 0.1, -3.7, 1e-300, -2.5e300, 7.0 / 3.0};
    std::uniform_int_distribution<int> pick(0, static_cast<int>(std::size(values)) - 1);
    for (int trial = 0; trial < 2000; ++trial) {
        MnaEntry e{values[pick(random)], values[pick(random)], 0};
        e.degree = e.s1 != 0.0 ? 1 : 0;
        Polynomial p;
        p.degree = trial % (MaxDegree - 1);
        for (int i = 0; i <= p.degree; ++i)
            p.coef[i] = values[pick(random)];
        Polynomial out;
        multiplyEntry(e, p, out);
        const Polynomial want = referenceProduct(e, p);
        ASSERT_EQ(out.degree, want.degree);
        for (int i = 0; i <= want.degree; ++i) {
            ASSERT_EQ(std::memcmp(&out.coef[i], &want.coef[i], sizeof(double)), 0)
                << "trial " << trial << ", coefficient " << i << ": " << out.coef[i]
                << " != " << want.coef[i];
        }

        // Added into an accumulator in one pass: the bits of addScaled after multiplyEntry.
        Polynomial acc;
        acc.degree = (trial * 7) % (MaxDegree - 1);
        for (int i = 0; i <= acc.degree; ++i)
            acc.coef[i] = values[pick(random)];
        Polynomial fused = acc;
        const int sign = trial % 2 == 0 ? 1 : -1;
        addScaled(sign, want, acc);
        addProduct(sign, e, p, fused);
        ASSERT_EQ(fused.degree, acc.degree);
        for (int i = 0; i <= acc.degree; ++i) {
            ASSERT_EQ(std::memcmp(&fused.coef[i], &acc.coef[i], sizeof(double)), 0)
                << "trial " << trial << ", accumulated coefficient " << i;
        }
    }
}

}  // namespace
}  // namespace corvane
