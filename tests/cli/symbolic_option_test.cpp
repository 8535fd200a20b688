// corvane-cli analisar --simbolica, --simbolos and --limite-termos.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "command_line.h"
#include "temp_dir.h"

#include <nlohmann/json.hpp>

namespace corvane {
namespace {

using cli::ExitSuccess;
using cli::ExitUsage;
using test::runCli;

// A step into an RC low-pass: V(2) = V1 / (s (1 + s R1 C1)).
constexpr const char* StepRc = "t\nV1 1 0 1 DEGRAU\nR1 1 2 1000\nC1 2 0 1e-6\n";

// The lines of `text` from the one equal to `first` up to the end.
std::vector<std::string> linesFrom(const std::string& text, const std::string& first) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    bool found = false;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end - start);
        found = found || line == first;
        if (found) lines.push_back(line);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

TEST(SymbolicOptionTest, ListsTheFunctionsAfterTheNumericListingAndStillSavesTheFiles) {
    test::TempDir dir;
    const std::string path = dir.write("rc.net", StepRc);
    const test::CliResult result =
        runCli({"analisar", "--simbolica", "--variaveis", "2", path.c_str()});
    EXPECT_EQ(result.status, ExitSuccess);
    EXPECT_EQ(result.err, "");
    const std::vector<std::string> expected{
        "Análise simbólica",
        "Símbolos: C1 R1 V1",
        "Denominador simbólico: s^2·(C1·R1) + s",
        "Numerador simbólico 2 (2): V1",
        "Função 2 (2) reduzida: (V1) / (s^2·(C1·R1) + s)",
        "Verificação simbólica: ok",
        "Resultados salvos como " + dir.file("rc") + ".*",
        "Análise terminada com sucesso.",
    };
    EXPECT_EQ(linesFrom(result.out, "Análise simbólica"), expected) << result.out;
    for (const char* file : {"rc.d", "rc.n1", "rc.n2", "rc.n3"})
        EXPECT_TRUE(std::filesystem::exists(dir.file(file))) << file;
}

TEST(SymbolicOptionTest, KeepsOnlyTheListedSymbols) {
    test::TempDir dir;
    const std::string path = dir.write("rc.net", StepRc);
    const test::CliResult result =
        runCli({"analisar", "--simbolica", "--simbolos", "C1", "--variaveis", "2", path.c_str()});
    EXPECT_EQ(result.status, ExitSuccess);
    EXPECT_NE(result.out.find("\nSímbolos: C1\n"), std::string::npos);
    EXPECT_NE(result.out.find("\nFunção 2 (2) reduzida: (1) / (s^2·(1000·C1) + s)\n"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("\nVerificação simbólica: ok\n"), std::string::npos);
}

TEST(SymbolicOptionTest, ATermLimitIsReportedAndTheNumericRunGoesOn) {
    test::TempDir dir;
    // G1 + G2 in the constant coefficient of the determinant: two terms.
    const std::string path = dir.write("rc.net", std::string(StepRc) + "R2 2 0 2000\n");
    const test::CliResult result =
        runCli({"analisar", "--simbolica", "--limite-termos", "1", path.c_str()});
    EXPECT_EQ(result.status, ExitSuccess);
    const std::vector<std::string> lines = linesFrom(result.out, "Análise simbólica");
    ASSERT_EQ(lines.size(), 6u) << result.out;
    EXPECT_EQ(lines[2],
              "Limite de termos: no cálculo do denominador, o coeficiente de s^0 passou de 1 "
              "termos (2).");
    EXPECT_EQ(lines[3],
              "Use a análise mista: deixe simbólicos só alguns elementos (Símbolos, ou "
              "--simbolos na linha de comando).");
    EXPECT_EQ(lines[5], "Análise terminada com sucesso.");
    EXPECT_TRUE(std::filesystem::exists(dir.file("rc.d")));
}

TEST(SymbolicOptionTest, WithoutTheOptionItsSymbolsAreAUsageError) {
    test::TempDir dir;
    const std::string path = dir.write("rc.net", StepRc);
    const test::CliResult result = runCli({"analisar", "--simbolos", "R1", path.c_str()});
    EXPECT_EQ(result.status, ExitUsage);
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(std::filesystem::exists(dir.file("rc.d")));
}

TEST(SymbolicOptionTest, RejectsABadTermLimit) {
    for (const char* value : {"0", "-5", "abc", "", "12x", "99999999999999999999"}) {
        const test::CliResult result =
            runCli({"analisar", "--simbolica", "--limite-termos", value, "a.net"});
        EXPECT_EQ(result.status, ExitUsage) << value;
        EXPECT_NE(result.err.find("--limite-termos precisa de um número inteiro positivo"),
                  std::string::npos)
            << result.err;
    }
    EXPECT_EQ(runCli({"analisar", "a.net", "--simbolos"}).status, ExitUsage);
    EXPECT_EQ(runCli({"analisar", "a.net", "--limite-termos"}).status, ExitUsage);
}

// The first Python that has SymPy (the system's own, where python3-sympy installs it, before
// one found on the PATH), or an empty text.
std::string pythonWithSymPy() {
    for (const char* candidate : {"/usr/bin/python3", "python3"}) {
        const std::string probe = std::string(candidate) + " -c 'import sympy' >/dev/null 2>&1";
        if (std::system(probe.c_str()) == 0) return candidate;
    }
    return {};
}

TEST(SymbolicOptionTest, TheJsonHoldsTheFunctionsAsTextSymPyAndLatex) {
    test::TempDir dir;
    const std::string path = dir.write("rc.net", StepRc);
    const std::string json = dir.file("rc.json");
    ASSERT_EQ(runCli({"analisar", "--simbolica", "--variaveis", "2", "--json", json.c_str(),
                      path.c_str()})
                  .status,
              ExitSuccess);
    const nlohmann::json document = nlohmann::json::parse(test::readFile(json));
    const nlohmann::json& symbolic = document.at("simbolica");
    EXPECT_EQ(symbolic.at("simbolos"), (nlohmann::json{"C1", "R1", "V1"}));
    EXPECT_EQ(symbolic.at("denominador").at("texto"), "s^2·(C1·R1) + s");
    EXPECT_EQ(symbolic.at("numeradores").at(0).at("numero"), 2);
    EXPECT_EQ(symbolic.at("numeradores").at(0).at("texto"), "V1");
    EXPECT_EQ(symbolic.at("verificacao"), "Verificação simbólica: ok");
    const nlohmann::json& function = symbolic.at("funcoes").at(0);
    EXPECT_EQ(function.at("nome"), "2");
    EXPECT_FALSE(function.at("denominador").at("latex").get<std::string>().empty());

    // Without the option the document has no symbolic part.
    ASSERT_EQ(runCli({"analisar", "--json", json.c_str(), path.c_str()}).status, ExitSuccess);
    EXPECT_FALSE(nlohmann::json::parse(test::readFile(json)).contains("simbolica"));

    const std::string python = pythonWithSymPy();
    if (python.empty()) GTEST_SKIP() << "python3-sympy não está instalado";
    // SymPy reads the function back as the step response of the RC low-pass.
    const std::string script = dir.write(
        "check.py",
        "import sys\n"
        "from sympy import sympify, symbols, simplify\n"
        "s, C1, R1, V1 = symbols('s C1 R1 V1')\n"
        "h = sympify(r\"\"\"(" + function.at("numerador").at("sympy").get<std::string>() +
            ")/(" + function.at("denominador").at("sympy").get<std::string>() +
            ")\"\"\")\n"
            "sys.exit(0 if simplify(h - V1/(s*(1 + s*R1*C1))) == 0 else 1)\n");
    EXPECT_EQ(std::system((python + " '" + script + "'").c_str()), 0);
}

}  // namespace
}  // namespace corvane
