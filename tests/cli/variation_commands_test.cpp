// corvane-cli varrer, sensibilidade and tolerancia: what they refuse, with the option
// named and nothing written; the step's denominators of a series RLC against the closed
// form; the MFB's sensitivities in the table against the textbook; the seed in the log
// and the same document for the same seed.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli_runner.h"
#include "temp_dir.h"

namespace corvane {
namespace {

const std::string DataDir = CORVANE_TEST_DATA_DIR;

std::string contents(const std::string& path) {
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string firstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

struct Refused {
    std::vector<std::string> args;
    int status;
    const char* message;
};

TEST(VariationCommandsTest, RefuseWhatTheyCannotTakeNamingTheOptionAndWriteNothing) {
    test::TempDir dir;
    const std::string netlist = DataDir + "/mfb_lowpass.net";
    const std::string table = dir.file("t.csv");
    const std::string json = dir.file("t.json");
    const Refused cases[] = {
        {{"varrer", "--valores", "1k"}, 2, "corvane-cli: falta a opção --elemento"},
        {{"varrer", "--elemento", "R1"}, 2, "corvane-cli: varrer pede --valores ou --de e --ate"},
        {{"varrer", "--elemento", "R9", "--valores", "1k"},
         2,
         "corvane-cli: --elemento: o elemento R9 não existe no circuito"},
        {{"varrer", "--elemento", "O1", "--valores", "1k"},
         2,
         "corvane-cli: --elemento: o elemento O1 não tem valor"},
        {{"varrer", "--elemento", "R1", "--de", "-1k", "--ate", "10k", "--log"},
         2,
         "corvane-cli: uma faixa logarítmica (--log) pede --de maior que zero: -1k"},
        {{"varrer", "--elemento", "R1", "--de", "0", "--ate", "10k", "--log"},
         2,
         "corvane-cli: uma faixa logarítmica (--log) pede --de maior que zero: 0"},
        {{"varrer", "--elemento", "R1", "--de", "10k", "--ate", "1k"},
         2,
         "corvane-cli: a faixa deve ir de um valor a outro maior: 10k a 1k"},
        {{"varrer", "--elemento", "R1", "--de", "1k", "--ate", "1k"},
         2,
         "corvane-cli: a faixa deve ir de um valor a outro maior: 1k a 1k"},
        {{"varrer", "--elemento", "R1", "--de", "1k"}, 2, "corvane-cli: a opção --de pede --ate"},
        {{"varrer", "--elemento", "R1", "--valores", "1k", "--log"},
         2,
         "corvane-cli: a opção --log pede --de e --ate"},
        {{"varrer", "--elemento", "R1", "--valores", "1k", "--de", "1", "--ate", "2"},
         2,
         "corvane-cli: a opção --valores não se usa com --de e --ate"},
        {{"varrer", "--elemento", "R1", "--valores", "1k,abc"},
         2,
         "corvane-cli: a opção --valores pede valores (número com . ou , e sufixo opcional, "
         "como 4.7k): abc"},
        {{"varrer", "--elemento", "R1", "--valores", ""},
         2,
         "corvane-cli: a opção --valores pede valores (número com . ou , e sufixo opcional, "
         "como 4.7k): "},
        {{"varrer", "--elemento", "R1", "--valores", "1e9x"},
         2,
         "corvane-cli: a opção --valores pede valores (número com . ou , e sufixo opcional, "
         "como 4.7k): 1e9x"},
        {{"varrer", "--elemento", "R1", "--de", "1", "--ate", "2", "--pontos", "1"},
         2,
         "corvane-cli: a opção --pontos pede um número de 2 a 1000: 1"},
        {{"varrer", "--elemento", "R1", "--de", "1", "--ate", "2", "--pontos", "1001"},
         2,
         "corvane-cli: a opção --pontos pede um número de 2 a 1000: 1001"},
        {{"varrer", "--elemento", "R1", "--valores", "1k", "--variavel", "x9"},
         2,
         "corvane-cli: --variavel: a variável x9 não existe no circuito"},
        {{"sensibilidade", "--em", "abc"},
         2,
         "corvane-cli: a opção --em pede uma frequência (número com . ou , e sufixo opcional, "
         "como 1k ou 2.5MEG): abc"},
        {{"sensibilidade", "--variavel", "x9"},
         2,
         "corvane-cli: --variavel: a variável x9 não existe no circuito"},
        {{"tolerancia"}, 2, "corvane-cli: falta a opção --tol"},
        {{"tolerancia", "--tol", "R=150%"},
         2,
         "corvane-cli: --tol: tolerância de 100% ou mais em R: 150%"},
        {{"tolerancia", "--tol", "R=100"},
         2,
         "corvane-cli: --tol: tolerância de 100% ou mais em R: 100"},
        {{"tolerancia", "--tol", "R9=1%"},
         2,
         "corvane-cli: --tol: o elemento R9 não existe no circuito"},
        {{"tolerancia", "--tol", "L=1%"},
         2,
         "corvane-cli: --tol: o circuito não tem elementos do tipo L"},
        {{"tolerancia", "--tol", "R=1%", "--n", "0"},
         2,
         "corvane-cli: a opção --n pede um número de 1 a 100000: 0"},
        {{"tolerancia", "--tol", "R=1%", "--n", "100001"},
         2,
         "corvane-cli: a opção --n pede um número de 1 a 100000: 100001"},
        {{"tolerancia", "--tol", "R=1%", "--n", "9999999999999"},
         2,
         "corvane-cli: a opção --n pede um número de 1 a 100000: 9999999999999"},
        {{"tolerancia", "--tol", "R=1%", "--semente", "-1"},
         2,
         "corvane-cli: a opção --semente pede um número inteiro de 0 a 18446744073709551615: -1"},
        {{"tolerancia", "--tol", "R=1%", "--semente", "18446744073709551616"},
         2,
         "corvane-cli: a opção --semente pede um número inteiro de 0 a 18446744073709551615: "
         "18446744073709551616"},
    };
    for (const Refused& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--tabela", table, "--json", json, netlist});
        const test::CliResult result = test::runCliWith(args);
        EXPECT_EQ(result.status, c.status) << c.message;
        EXPECT_EQ(firstLine(result.err), c.message);
        EXPECT_FALSE(std::filesystem::exists(table)) << c.message;
        EXPECT_FALSE(std::filesystem::exists(json)) << c.message;
    }
}

TEST(VariationCommandsTest, NoOutputIsTheNetlistOrAnotherOutput) {
    test::TempDir dir;
    const std::string netlist = dir.write("c.net", contents(DataDir + "/rc_lowpass.net"));
    const std::string table = dir.file("t.csv");
    const std::string link = dir.file("link.json");
    std::filesystem::create_symlink(netlist, link);
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{"sensibilidade", "--tabela", netlist},
         "corvane-cli: a tabela " + netlist + " seria o próprio netlist"},
        {{"sensibilidade", "--json", link},
         "corvane-cli: o documento JSON " + link + " seria o próprio netlist"},
        {{"sensibilidade", "--tabela", table, "--json", table},
         "corvane-cli: --tabela e --json são o mesmo arquivo: " + table},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        args.push_back(netlist);
        const test::CliResult result = test::runCliWith(args);
        EXPECT_EQ(result.status, 1) << c.message;
        EXPECT_EQ(firstLine(result.err), c.message);
        EXPECT_FALSE(std::filesystem::exists(table)) << c.message;
    }
    EXPECT_EQ(contents(netlist), contents(DataDir + "/rc_lowpass.net"));
}

// The table and the document are one set: a table that cannot be written keeps the
// document from being written too.
TEST(VariationCommandsTest, TableAndDocumentAreWrittenBothOrNeither) {
    test::TempDir dir;
    const std::string json = dir.file("s.json");
    const std::string table = dir.file("sem-pasta/s.csv");
    const test::CliResult result = test::runCliWith(
        {"sensibilidade", "--tabela", table, "--json", json, DataDir + "/rc_lowpass.net"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(firstLine(result.err), "corvane-cli: não foi possível gravar " + table);
    EXPECT_FALSE(std::filesystem::exists(json));
}

// V1 → R → L = 2 H → C = 0.25 F: the denominator is s² + (R/2)s + 2 at every value.
TEST(VariationCommandsTest, StepOfASeriesRlcGivesTheClosedFormDenominators) {
    test::TempDir dir;
    const std::string json = dir.file("rlc.varrer.json");
    const test::CliResult result =
        test::runCliWith({"varrer", "--elemento", "R1", "--de", "0.5", "--ate", "8", "--pontos",
                          "16", "--log", "--json", json, DataDir + "/rlc_series.net"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("Passo de R1: 16 valores\n"), std::string::npos);
    const nlohmann::json document = nlohmann::json::parse(contents(json));
    ASSERT_EQ(document["valores"].size(), 16u);
    for (const auto& value : document["valores"]) {
        const double r = value["valor"];
        const auto& d = value["denominador"];
        ASSERT_EQ(d["grau"], 2);
        const double lead = d["coeficientes"][2].get<double>() * d["constante"].get<double>();
        EXPECT_NEAR(d["coeficientes"][1].get<double>() / lead, r / 2, 1e-12 * r) << r;
        EXPECT_NEAR(d["coeficientes"][0].get<double>() / lead, 2.0, 1e-12) << r;
    }
    EXPECT_DOUBLE_EQ(document["valores"][0]["valor"].get<double>(), 0.5);
    EXPECT_DOUBLE_EQ(document["valores"][15]["valor"].get<double>(), 8.0);
    EXPECT_EQ(document["valores"][0]["legenda"], "R1 = 500 mΩ");
}

// The MFB's ω0 goes as (R2R3C1C2)^(-1/2) and does not depend on R1.
TEST(VariationCommandsTest, SensitivityTableHoldsTheTextbookValues) {
    test::TempDir dir;
    const std::string table = dir.file("s.csv");
    const test::CliResult result = test::runCliWith(
        {"sensibilidade", "--variavel", "out", "--tabela", table, DataDir + "/mfb_lowpass.net"});
    ASSERT_EQ(result.status, 0) << result.err;
    std::istringstream lines(contents(table));
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "figura,elemento,sensibilidade");
    int omegaRows = 0;
    double previous = INFINITY;
    while (std::getline(lines, line)) {
        const std::size_t first = line.find(',');
        const std::size_t second = line.find(',', first + 1);
        const std::string figure = line.substr(0, first);
        const std::string element = line.substr(first + 1, second - first - 1);
        const double s = std::stod(line.substr(second + 1));
        EXPECT_LE(std::fabs(s), previous) << line;
        previous = std::fabs(s);
        if (figure != "par1_f0_hz") continue;
        ++omegaRows;
        const double expected = element == "R1" || element == "V1" ? 0.0 : -0.5;
        EXPECT_NEAR(s, expected, 1e-9) << line;
    }
    EXPECT_EQ(omegaRows, 6);
}

// The same sensitivities inside an analysis: in its log and in its JSON document. The MFB's
// gain at s = 0 is -R2/R1, so it goes as R2 and as 1/R1 exactly.
TEST(VariationCommandsTest, AnalysisListsTheSensitivitiesAndPutsThemInItsDocument) {
    test::TempDir dir;
    std::filesystem::copy(DataDir + "/mfb_lowpass.net", dir.file("mfb.net"));
    const std::string json = dir.file("mfb.json");
    const test::CliResult result = test::runCliWith({"analisar", "--sensibilidades", "--variaveis",
                                                     "out", "--json", json, dir.file("mfb.net")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("  S(f0 do par 1, R3) = -0.5\n"), std::string::npos) << result.out;
    const nlohmann::json members = nlohmann::json::parse(contents(json))["sensibilidades"];
    EXPECT_EQ(members["frequencia_hz"], 1000.0);
    const struct {
        const char* column;
        const char* element;
        double s;
    } expected[] = {{"par1_f0_hz", "R1", 0.0},     {"par1_f0_hz", "R2", -0.5},
                    {"par1_f0_hz", "C2", -0.5},    {"ganho_s0_out", "R2", 1.0},
                    {"ganho_s0_out", "R1", -1.0},  {"ganho_s0_out", "C1", 0.0}};
    for (const auto& row : expected) {
        SCOPED_TRACE(std::string(row.column) + " " + row.element);
        int found = 0;
        for (const nlohmann::json& entry : members["sensibilidades"]) {
            if (entry["coluna"] != row.column || entry["elemento"] != row.element) continue;
            EXPECT_NEAR(entry["s"].get<double>(), row.s, 1e-12);
            ++found;
        }
        EXPECT_EQ(found, 1);
    }
    // Without the option the document has no such member.
    ASSERT_EQ(test::runCliWith({"analisar", "--json", json, dir.file("mfb.net")}).status, 0);
    EXPECT_FALSE(nlohmann::json::parse(contents(json)).contains("sensibilidades"));
}

TEST(VariationCommandsTest, ToleranceRunsAreSeededAndTheSeedIsLogged) {
    test::TempDir dir;
    const std::string first = dir.file("a.json");
    const std::string second = dir.file("b.json");
    for (const std::string& json : {first, second}) {
        const test::CliResult result = test::runCliWith(
            {"tolerancia", "--tol", "R=1%,C=5%", "--n", "50", "--semente", "7", "--variavel", "out",
             "--json", json, DataDir + "/sallen_key_practical.net"});
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_NE(result.out.find("Monte Carlo: 50 circuitos, semente 7\n"), std::string::npos);
        EXPECT_NE(result.out.find("Tolerâncias: R1 1%, R2 1%, C1 5%, C2 5% (uniformes)\n"),
                  std::string::npos);
    }
    EXPECT_EQ(contents(first), contents(second));
    const nlohmann::json document = nlohmann::json::parse(contents(first));
    EXPECT_EQ(document["semente"], 7);
    EXPECT_EQ(document["circuitos"], 50);
    // Every circuit within the worst-case corners of f0.
    double largest = 0.0;
    double smallest = 0.0;
    for (const auto& c : document["pior_caso"]) {
        if (c["coluna"] != "par1_f0_hz") continue;
        largest = c["maximo"];
        smallest = c["minimo"];
    }
    ASSERT_GT(largest, smallest);
    for (const auto& f : document["figuras"]) {
        if (f["coluna"] != "par1_f0_hz") continue;
        EXPECT_GE(f["minimo"].get<double>(), smallest);
        EXPECT_LE(f["maximo"].get<double>(), largest);
    }
}

}  // namespace
}  // namespace corvane
