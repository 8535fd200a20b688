// Covers analysis/results_json.cpp: the schema of the results document, every number read
// back bit for bit, the texts of special values, fields added by a front end, and the
// file written whole or not at all.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

#include <nlohmann/json.hpp>

#include "recording_host.h"
#include "results_json.h"
#include "temp_dir.h"

namespace corvane {
namespace {

using json = nlohmann::json;

struct JsonRun {
    test::TempDir dir;
    test::AnalysisFixture fixture;
    std::string netlist;

    explicit JsonRun(const std::string& dataName, bool normalize = true) {
        fixture.host.normalization = normalize;
        netlist = dir.write(
            "c.net", test::readFile(std::string(CORVANE_TEST_DATA_DIR) + "/" + dataName));
        fixture.run(netlist);
    }
    nlohmann::ordered_json document(bool roots) const {
        ResultsJsonOptions options;
        options.normalize = fixture.host.normalization;
        options.dispersion = fixture.analysis.dispersion();
        options.polesAndZeros = roots;
        return resultsDocument(fixture.analysis.runState(),
                               fixture.analysis.networkFunctions(), options,
                               fixture.analysis.warnings());
    }
    // The document as saved and read back by an independent parser.
    json savedAndParsed(bool roots) const {
        const std::string path = dir.file("r.json");
        EXPECT_EQ(saveJson(path, document(roots)), JsonSaveStatus::Saved);
        return json::parse(test::readFile(path));
    }
};

std::uint64_t bits(double x) {
    return std::bit_cast<std::uint64_t>(x);
}

void expectSameBits(const json& saved, const Polynomial& p) {
    ASSERT_EQ(saved.at("grau").get<int>(), p.degree);
    const json& coefficients = saved.at("coeficientes");
    ASSERT_EQ(coefficients.size(), static_cast<std::size_t>(p.degree) + 1);
    for (int i = 0; i <= p.degree; ++i)
        EXPECT_EQ(bits(coefficients[i].get<double>()), bits(p.coef[i])) << "coefficient " << i;
    EXPECT_EQ(bits(saved.at("constante").get<double>()), bits(p.constant));
}

TEST(ResultsJsonTest, EveryCoefficientReadsBackBitForBit) {
    for (const bool normalize : {true, false}) {
        for (const char* name : {"butterworth5.net", "chebyshev_1mhz.net", "transformer.net"}) {
            JsonRun run(name, normalize);
            ASSERT_NE(run.fixture.outcome, RunOutcome::Failed) << name;
            const json saved = run.savedAndParsed(false);
            const NetworkFunctions& f = run.fixture.analysis.networkFunctions();
            expectSameBits(saved.at("denominador"), f.denominator);
            const int n = run.fixture.analysis.runState().variableCount;
            ASSERT_EQ(saved.at("variaveis").size(), static_cast<std::size_t>(n));
            for (int k = 1; k <= n; ++k)
                expectSameBits(saved["variaveis"][k - 1].at("numerador"), f.numerator[k]);
        }
    }
}

TEST(ResultsJsonTest, NumbersAreWrittenWithSeventeenSignificantDigits) {
    JsonRun run("chebyshev_1mhz.net", false);
    const std::string text = jsonText(run.document(false));
    char expected[40];
    std::snprintf(expected, sizeof expected, "%.17g",
                  run.fixture.analysis.networkFunctions().denominator.coef[1]);
    EXPECT_NE(text.find(expected), std::string::npos) << expected;
    EXPECT_EQ(jsonText(nlohmann::ordered_json{{"x", 0.1}, {"y", NAN}, {"z", -INFINITY}}),
              "{\"x\": 0.10000000000000001, \"y\": null, \"z\": null}\n");
    EXPECT_EQ(jsonText(nlohmann::ordered_json::array({-0.0, 0.0, 1e300, -1.5})),
              "[-0.0, 0, 1.0000000000000001e+300, -1.5]\n");
}

bool isNumber(const json& v) {
    return v.is_number();
}

void checkPolynomialSchema(const json& p, bool roots) {
    ASSERT_TRUE(p.is_object());
    EXPECT_TRUE(p.at("grau").is_number_integer());
    ASSERT_TRUE(p.at("coeficientes").is_array());
    for (const json& c : p["coeficientes"])
        EXPECT_TRUE(isNumber(c));
    EXPECT_TRUE(isNumber(p.at("constante")));
    EXPECT_EQ(p.contains("raizes"), roots);
    if (!roots) return;
    int total = 0;
    for (const json& r : p["raizes"]) {
        EXPECT_EQ(r.size(), 3u);
        EXPECT_TRUE(isNumber(r.at("real")));
        EXPECT_TRUE(isNumber(r.at("imag")));
        EXPECT_GE(r.at("multiplicidade").get<int>(), 1);
        total += r["multiplicidade"].get<int>();
    }
    EXPECT_LE(total, p["grau"].get<int>());
}

TEST(ResultsJsonTest, FollowsTheSchemaOfItsVersion) {
    for (const bool roots : {false, true}) {
        JsonRun run("initial_conditions.net");
        const json d = run.savedAndParsed(roots);
        const std::set<std::string> keys{"formato",     "versao",    "netlist", "opcoes", "fontes",
                                         "denominador", "variaveis", "avisos"};
        std::set<std::string> found;
        for (auto it = d.begin(); it != d.end(); ++it)
            found.insert(it.key());
        EXPECT_EQ(found, keys);
        EXPECT_EQ(d["formato"], "corvane-resultados");
        EXPECT_EQ(d["versao"], 1);
        EXPECT_TRUE(d["versao"].is_number_integer());
        EXPECT_EQ(d["netlist"], run.netlist);
        EXPECT_EQ(d["opcoes"], (json{{"normalizar", true}, {"dispersao", 1e9},
                                     {"polos_zeros", roots}}));
        EXPECT_EQ(d["fontes"], (json::array({{{"nome", "C1"}, {"tipo", "condicao_inicial"},
                                              {"valor", 3}},
                                             {{"nome", "L1"}, {"tipo", "condicao_inicial"},
                                              {"valor", 1.5}}})));
        checkPolynomialSchema(d["denominador"], roots);
        EXPECT_EQ(d["denominador"].contains("estabilidade"), roots);
        ASSERT_TRUE(d["variaveis"].is_array());
        int k = 0;
        for (const json& v : d["variaveis"]) {
            EXPECT_EQ(v.at("numero"), ++k);
            EXPECT_EQ(v.at("nome"), run.fixture.analysis.runState().variableName(k));
            EXPECT_EQ(v.contains("K"), roots);
            checkPolynomialSchema(v.at("numerador"), roots);
        }
    }
}

TEST(ResultsJsonTest, RootsStabilityAndSourcesOfAStepIntoAnRc) {
    test::TempDir dir;
    test::AnalysisFixture fixture;
    fixture.run(dir.write("rc.net", "RC\nV1 a 0 2 DEGRAU\nR1 a b 1000\nC1 b 0 1e-6\n"));
    const json d = json::parse(jsonText(resultsDocument(
        fixture.analysis.runState(), fixture.analysis.networkFunctions(), {true, 1e9, true},
        fixture.analysis.warnings())));
    EXPECT_EQ(d["fontes"], (json::array({{{"nome", "V1"}, {"tipo", "degrau"}, {"valor", 2}}})));
    EXPECT_EQ(d["denominador"]["estabilidade"], "estavel");
    const json& poles = d["denominador"]["raizes"];
    ASSERT_EQ(poles.size(), 2u);
    EXPECT_EQ(poles[0], (json{{"real", 0}, {"imag", 0}, {"multiplicidade", 1}}));
    EXPECT_NEAR(poles[1]["real"].get<double>(), -1000.0, 1e-9);
    EXPECT_EQ(poles[1]["imag"], 0);
    // Node b: 2000/(s·(s + 1000)), so K = 2000.
    EXPECT_DOUBLE_EQ(d["variaveis"][1]["K"].get<double>(), 2000.0);
}

TEST(ResultsJsonTest, FrontEndsAddTheirOwnFields) {
    JsonRun run("rc_lowpass.net");
    nlohmann::ordered_json document = run.document(false);
    document["simbolico"] = {{"denominador", "1 + R1·C1·s"}};
    const json d = json::parse(jsonText(document));
    EXPECT_EQ(d["simbolico"]["denominador"], "1 + R1·C1·s");
    EXPECT_EQ(d["versao"], 1);
}

TEST(ResultsJsonTest, TextThatIsNotUtf8StillMakesValidJson) {
    const std::string text = jsonText(nlohmann::ordered_json{{"netlist", "a\xff\xfe.net"}});
    EXPECT_TRUE(json::accept(text));
    EXPECT_NE(json::parse(text)["netlist"].get<std::string>().find("\xEF\xBF\xBD"),
              std::string::npos);  // the replacement character
}

TEST(ResultsJsonTest, TheFileIsReplacedWholeOrLeftAsItWas) {
    test::TempDir dir;
    const nlohmann::ordered_json document{{"versao", 1}};
    EXPECT_EQ(saveJson(dir.file("sem-pasta/r.json"), document), JsonSaveStatus::CannotCreate);
    // A folder cannot be replaced by a file: the rename fails and the temporary goes.
    std::filesystem::create_directory(dir.file("pasta.json"));
    EXPECT_EQ(saveJson(dir.file("pasta.json"), document), JsonSaveStatus::WriteFailed);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
    const std::string path = dir.write("r.json", "antigo");
    EXPECT_EQ(saveJson(path, document), JsonSaveStatus::Saved);
    EXPECT_EQ(test::readFile(path), "{\"versao\": 1}\n");
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

TEST(ResultsJsonTest, CarriesTheRunsWarningsWithWhatTheyConcern) {
    test::TempDir dir;
    test::AnalysisFixture fixture;
    // Q = 1e10: the damping term of every polynomial is cleared, with a warning for each.
    fixture.run(dir.write("q.net", "Q\nV1 1 0 1 IMPULSO\nR1 1 2 1e-10\nL1 2 3 1\nC1 3 0 1\n"));
    const json d = json::parse(jsonText(resultsDocument(fixture.analysis.runState(),
                                                        fixture.analysis.networkFunctions(),
                                                        {true, 1e9, false},
                                                        fixture.analysis.warnings())));
    ASSERT_FALSE(d["avisos"].empty());
    EXPECT_EQ(d["avisos"][0],
              (json{{"texto",
                     "Aviso: a normalização anulou coeficientes significativos do denominador; "
                     "aumente a dispersão para 1e10 ou mais."},
                    {"sobre", "denominador"}}));
    for (const json& warning : d["avisos"]) {
        if (warning["sobre"] == "numerador") {
            EXPECT_TRUE(warning["numero"].is_number_integer());
        }
    }
    // A clean run says so with an empty list.
    fixture.host.dispersionText = "1e12";
    fixture.run(dir.file("q.net"));
    const json clean = json::parse(jsonText(resultsDocument(fixture.analysis.runState(),
                                                            fixture.analysis.networkFunctions(),
                                                            {true, 1e12, false},
                                                            fixture.analysis.warnings())));
    EXPECT_EQ(clean["avisos"], json::array());
}

}  // namespace
}  // namespace corvane
