// Covers the response to the other excitation (response_conversion.h, run_excitation.h):
// s·X(s) and X(s)/s against the original function evaluated at complex points, the pole
// or zero at 0 cancelled rather than added, the degree limit, the identity; the kind of
// excitation of a run from its sources, its netlist beside the result files and its JSON
// document, with the exact reason of every refusal.
#include <gtest/gtest.h>

#include <chrono>
#include <complex>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "response_conversion.h"
#include "temp_dir.h"
#include "test_polynomial.h"

namespace corvane {
namespace {

using test::polynomial;
using Complex = std::complex<double>;

Complex valueAt(const Polynomial& p, Complex s) {
    Complex sum = 0.0;
    for (int i = p.degree; i >= 0; --i)
        sum = sum * s + p.coef[static_cast<std::size_t>(i)];
    return sum * p.constant;
}

// Every coefficient, those above the degree too: the identity leaves the record as it was.
bool sameRecord(const Polynomial& a, const Polynomial& b) {
    return a.coef == b.coef && a.degree == b.degree && a.constant == b.constant;
}

bool sameRecord(const PlotCurve& a, const PlotCurve& b) {
    return sameRecord(a.numerator, b.numerator) && sameRecord(a.denominator, b.denominator);
}

Complex functionAt(const PlotCurve& f, Complex s) {
    return valueAt(f.numerator, s) / valueAt(f.denominator, s);
}

struct ConversionRow {
    const char* name;
    std::vector<double> numerator;
    std::vector<double> denominator;
    Excitation from;
    Excitation to;
    int numeratorDegree;
    int denominatorDegree;
};

// RC = 1 ms throughout; the degrees say which polynomial took or lost the s.
const std::vector<ConversionRow> Conversions = {
    {"step run, its pole at 0 cancelled",
     {1000},
     {0, 1000, 1},
     Excitation::Step,
     Excitation::Impulse,
     0,
     1},
    {"step run of a high-pass, s times N",
     {0, 1},
     {1000, 1},
     Excitation::Step,
     Excitation::Impulse,
     2,
     1},
    {"impulse run, zero at 0 cancelled",
     {0, 1},
     {1000, 1},
     Excitation::Impulse,
     Excitation::Step,
     0,
     1},
    {"impulse run of a low-pass, s times D",
     {1000},
     {1000, 1},
     Excitation::Impulse,
     Excitation::Step,
     0,
     2},
    {"untrimmed polynomials",
     {1000, 0, 0},
     {0, 1000, 1, 0},
     Excitation::Step,
     Excitation::Impulse,
     0,
     1},
};

TEST(ResponseConversionTest, MultipliesOrDividesBySExactly) {
    for (const ConversionRow& row : Conversions) {
        SCOPED_TRACE(row.name);
        const PlotCurve x{polynomial(row.numerator, 2.0), polynomial(row.denominator, 0.5)};
        const ConvertedResponse converted = convertResponse(x, row.from, row.to);
        ASSERT_TRUE(converted.curve) << converted.problem;
        EXPECT_EQ(converted.curve->numerator.degree, row.numeratorDegree);
        EXPECT_EQ(converted.curve->denominator.degree, row.denominatorDegree);
        for (const Complex s : {Complex(0.3, 0.7), Complex(-50, 2000), Complex(1e4, -1)}) {
            const Complex sx = row.to == Excitation::Impulse ? s : 1.0 / s;
            const Complex expected = sx * functionAt(x, s);
            EXPECT_LT(std::abs(functionAt(*converted.curve, s) - expected),
                      1e-12 * std::abs(expected));
        }
    }
}

TEST(ResponseConversionTest, TheSameExcitationOrAZeroNumeratorIsTheIdentity) {
    const PlotCurve x{polynomial({0, 1000, 0}), polynomial({0, 1000, 1, 0})};
    const PlotCurve zero{polynomial({0, 0}), polynomial({5, 1})};
    for (const auto& [curve, from, to] : {std::tuple{x, Excitation::Step, Excitation::Step},
                                          {x, Excitation::Impulse, Excitation::Impulse},
                                          {zero, Excitation::Step, Excitation::Impulse},
                                          {zero, Excitation::Impulse, Excitation::Step}}) {
        const ConvertedResponse same = convertResponse(curve, from, to);
        ASSERT_TRUE(same.curve);
        EXPECT_TRUE(sameRecord(*same.curve, curve));
    }
}

TEST(ResponseConversionTest, NoPolynomialPassesTheDegreeLimit) {
    std::vector<double> full(MaxLiftedDegree + 1, 1.0);
    const PlotCurve highNumerator{polynomial(full), polynomial({1, 1})};
    const PlotCurve highDenominator{polynomial({1}), polynomial(full)};
    EXPECT_EQ(convertResponse(highNumerator, Excitation::Step, Excitation::Impulse).problem,
              "o numerador passaria do grau 1001");
    EXPECT_EQ(convertResponse(highDenominator, Excitation::Impulse, Excitation::Step).problem,
              "o denominador passaria do grau 1001");
    // One degree less still fits.
    full.pop_back();
    EXPECT_TRUE(convertResponse({polynomial(full), polynomial({1, 1})}, Excitation::Step,
                                Excitation::Impulse)
                    .curve);
}

TEST(RunExcitationTest, SourcesGiveOneExcitationOrTheReason) {
    using enum SourceKind;
    struct Row {
        std::vector<RunSource> sources;
        std::optional<Excitation> excitation;
        std::string problem;
    };
    const std::vector<Row> rows = {
        {{{"V1", Impulse}, {"I2", Impulse}}, Excitation::Impulse, ""},
        {{{"V1", Step}}, Excitation::Step, ""},
        {{{"V1", Step}, {"I1", Impulse}},
         std::nullopt,
         "o netlist x.net tem fontes de impulso e de degrau"},
        {{{"V1", Step}, {"C1", InitialCondition}, {"L2", InitialCondition}},
         std::nullopt,
         "o netlist x.net tem condições iniciais (C1, L2), cujos termos não acompanham a fonte"},
        {{{"C1", InitialCondition}},
         std::nullopt,
         "o netlist x.net tem condições iniciais (C1), cujos termos não acompanham a fonte"},
        {{}, std::nullopt, "o netlist x.net não tem fonte independente"},
    };
    for (const Row& row : rows) {
        const ExcitationFinding found = excitationOfSources(row.sources, "o netlist x.net");
        EXPECT_EQ(found.excitation, row.excitation) << row.problem;
        EXPECT_EQ(found.problem, row.problem);
    }
}

// A run of the RC written by hand: the netlist first, then its three numerators and the
// denominator.
struct ListLineTest : ::testing::Test {
    test::TempDir dir;
    std::string netlist = dir.write("rc.net", "RC\nV1 1 0 1 DEGRAU\nR1 1 2 1k\nC1 2 0 1u\n");

    void SetUp() override {
        for (const char* name : {"rc.n1", "rc.n2", "rc.n3", "rc.d"})
            dir.write(name, "0\n1\n1\n");
        // Older than its results by a second, whatever the file system's clock resolution.
        std::filesystem::last_write_time(
            netlist, std::filesystem::last_write_time(dir.file("rc.d")) - std::chrono::seconds(1));
    }
};

TEST_F(ListLineTest, TheNetlistBesideTheFilesOrTheDocumentTellsTheExcitation) {
    EXPECT_EQ(excitationOfListLine(dir.file("rc.n2")).excitation, Excitation::Step);
    dir.write("r.json", R"({"formato": "corvane-resultados", "versao": 1,
        "fontes": [{"nome": "I1", "tipo": "impulso", "valor": 1}]})");
    EXPECT_EQ(excitationOfListLine(dir.file("r.json") + "#2").excitation, Excitation::Impulse);
}

TEST_F(ListLineTest, ADoubtfulRunIsRefusedWithTheReason) {
    const std::string net = dir.file("rc.net");
    struct Row {
        const char* name;
        std::function<void()> spoil;
        std::string line;
        std::string problem;
    };
    const std::vector<Row> rows = {
        {"a numerator beyond the netlist's variables", [&] { dir.write("rc.n4", "0\n1\n1\n"); },
         dir.file("rc.n2"),
         "o netlist " + net + " não confere com os arquivos de resultados ao lado dele"},
        {"edited after the results",
         [&] {
             std::filesystem::last_write_time(
                 net, std::filesystem::last_write_time(dir.file("rc.d")) + std::chrono::seconds(2));
         },
         dir.file("rc.n2"), "o netlist " + net + " foi mudado depois dos arquivos de resultados"},
        {"missing", [&] { std::filesystem::remove(net); }, dir.file("rc.n2"),
         "o netlist " + net + " não foi encontrado ao lado dos arquivos de resultados"},
        {"a folder",
         [&] {
             std::filesystem::remove(net);
             std::filesystem::create_directory(net);
         },
         dir.file("rc.n2"), "o netlist " + net + " não é um arquivo comum"},
        {"no numerator name", [] {}, dir.file("rc.d"),
         "o netlist de " + dir.file("rc.d") + " não é conhecido (o nome não é <netlist>.n<k>)"},
        {"a document without sources",
         [&] { dir.write("r.json", R"({"formato": "corvane-resultados", "versao": 1})"); },
         dir.file("r.json") + "#out",
         "o documento " + dir.file("r.json") + " não lista as fontes da análise"},
        {"a document of an unknown kind of source",
         [&] {
             dir.write("r.json", R"({"formato": "corvane-resultados", "versao": 1,
                 "fontes": [{"nome": "V1", "tipo": "rampa"}]})");
         },
         dir.file("r.json") + "#out",
         "o documento " + dir.file("r.json") + " não lista as fontes da análise"},
        {"a missing document", [] {}, dir.file("s.json") + "#out",
         "arquivo " + dir.file("s.json") + " não encontrado"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        row.spoil();
        const ExcitationFinding found = excitationOfListLine(row.line);
        EXPECT_FALSE(found.excitation);
        EXPECT_EQ(found.problem, row.problem);
        std::filesystem::remove_all(net);
        std::filesystem::remove(dir.file("rc.n4"));
        dir.write("rc.net", "RC\nV1 1 0 1 DEGRAU\nR1 1 2 1k\nC1 2 0 1u\n");
    }
}

}  // namespace
}  // namespace corvane
