// The bad-input catalogue: malformed netlists, analysis options and inputs that drive the
// computation into floating-point faults, each with the exact outcome it must produce
// through corvane-cli (the last log line and the exit status, or the fault's message).
// Nothing may crash, hang or be lost whatever the input.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "command_line.h"
#include "temp_dir.h"

namespace corvane::cli {
namespace {

struct Outcome {
    int status;
    std::string lastLine;  // of standard output, or of standard error for a fault
};

class Catalogue : public ::testing::Test {
protected:
    // Runs corvane-cli with `args` and the netlist path last.
    Outcome analyse(const std::string& path, std::vector<std::string> args = {}) {
        std::vector<const char*> argv{"corvane-cli", "analisar"};
        for (const std::string& a : args)
            argv.push_back(a.c_str());
        argv.push_back(path.c_str());
        char* outText = nullptr;
        char* errText = nullptr;
        std::size_t outSize = 0;
        std::size_t errSize = 0;
        std::FILE* out = open_memstream(&outText, &outSize);
        std::FILE* err = open_memstream(&errText, &errSize);
        const int status = runCommandLine(static_cast<int>(argv.size()), argv.data(), out, err);
        std::fclose(out);
        std::fclose(err);
        output = std::string(outText, outSize);
        errors = std::string(errText, errSize);
        std::free(outText);
        std::free(errText);
        const std::string& shown = status == ExitFloatingPointFault ? errors : output;
        return {status, lastLine(shown)};
    }

    Outcome analyseText(const std::string& netlist, std::vector<std::string> args = {}) {
        return analyse(dir.write("c.net", netlist), std::move(args));
    }

    static std::string lastLine(const std::string& text) {
        if (text.empty()) return "";
        const std::size_t end = text.back() == '\n' ? text.size() - 1 : text.size();
        const std::size_t start = text.rfind('\n', end - 1);
        return text.substr(start == std::string::npos ? 0 : start + 1, end - (start + 1));
    }

    test::TempDir dir;
    std::string output;
    std::string errors;
};

const std::string Success = "Análise terminada com sucesso.";

std::string resistorsToNewNodes(int count) {
    std::string text = "t\n";
    for (int i = 1; i <= count; ++i) {
        text += "R" + std::to_string(i) + " n" + std::to_string(i) + " 0 1\n";
    }
    return text;
}

TEST_F(Catalogue, EveryReaderFailure) {
    struct Case {
        const char* name;
        std::string netlist;
        std::string last;
    };
    std::string twoHundredOne = "t\n";
    for (int i = 1; i <= 201; ++i)
        twoHundredOne += "R" + std::to_string(i) + " 1 0 1\n";
    const std::vector<Case> cases{
        {"too many elements", twoHundredOne, "O programa só aceita até 200 elementos"},
        {"bad source type", "t\nV1 1 0 1 seno\n", "Fonte inválida Seno"},
        {"coupling before its inductors", "t\nK1 L1 L2 0.5\nL1 1 0 1\nL2 2 0 1\n",
         "Indutor não encontrado."},
        {"coupling of a resistor", "t\nL1 1 0 1\nR2 1 0 1\nK1 L1 R2 0.5\n",
         "Indutor não encontrado."},
        {"coupling in lower case", "t\nL1 1 0 1\nL2 2 0 1\nK1 l1 l2 0.5\n",
         "Indutor não encontrado."},
        {"unknown kind", "t\nR1 1 0 1\nz1 1 0 1\n", "Elemento desconhecido: Z1"},
        {"26 nodes", resistorsToNewNodes(26), "Número excessivo de nós (25)"},
        {"extra currents with V", resistorsToNewNodes(25) + "V1 n1 0 1 DEGRAU\n",
         "As correntes extra excederam o número de variáveis permitido (25)"},
        {"extra currents with H", resistorsToNewNodes(24) + "H1 n1 0 n2 0 1\n",
         "As correntes extra excederam o número de variáveis permitido (25)"},
        {"binary garbage", std::string("t\n\x01\x02\xff\xfe rest\n", 12),
         std::string("Elemento desconhecido: \x01\x02\xff\xfe")},
        {"a 10 MB name", "t\nR" + std::string(10'000'000, 'x') + "\n",
         "Elemento desconhecido: Xxxxxxxxxx"},
        {"CR-only line ends: all one title line", "t\rV1 1 0 1 DEGRAU\rR1 1 0 1\r",
         "Circuito sem solução"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = analyseText(c.netlist);
        EXPECT_EQ(outcome.status, ExitFailure) << c.name;
        EXPECT_EQ(outcome.lastLine, c.last) << c.name;
    }
    EXPECT_EQ(analyse(dir.file("nada")).lastLine,
              "Arquivo " + dir.file("nada") + ".net inexistente");
}

TEST_F(Catalogue, OddButReadableNetlists) {
    struct Case {
        const char* name;
        std::string netlist;
        std::string expectedInLog;
    };
    const std::vector<Case> cases{
        {"names of ten characters",
         "t\nV123456789 n123456789 0 1 DEGRAU\nR123456789 n123456789 0 2\n", "2: jV123456789"},
        {"a 10 MB comment",
         "t\n*" + std::string(10'000'000, 'c') + "\nI1 0 1 1 IMPULSO\nR1 1 0 1\n",
         "O circuito tem 1 nós, 1 variáveis e 2 elementos"},
        {"a 10 MB tail after the value",
         "t\nI1 0 1 1 IMPULSO\nR1 1 0 1 " + std::string(10'000'000, 'k') + "\n", "R1 1 0 1"},
        {"NUL bytes inside a field", std::string("t\nI1 0 1\0x 1 IMPULSO\nR1 1 0 1\n", 30),
         "I1 0 1 1 IMPULSO"},
        {"UTF-8 node names", "t\nI1 0 saída 1 IMPULSO\nR1 saída 0 1\nC1 saída ção 1\nR2 ção 0 1\n",
         "2: ção"},
        {"CR LF line ends", "t\r\nI1 0 1 1 IMPULSO\r\nR1 1 0 1\r\nC1 1 0 1 IC=2\r\n",
         "C1 1 0 1 ( IC=) 2"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = analyseText(c.netlist);
        EXPECT_EQ(outcome.status, ExitSuccess) << c.name << ": " << outcome.lastLine;
        EXPECT_EQ(outcome.lastLine, Success) << c.name;
        EXPECT_NE(output.find("\n" + c.expectedInLog + "\n"), std::string::npos) << c.name;
    }
}

TEST_F(Catalogue, ShortLinesTakeTheirFieldsFromWhatFollows) {
    // A name of eleven characters: its last character becomes the first node.
    Outcome outcome = analyseText("t\nR1234567890 a 0 1\n");
    EXPECT_NE(output.find("\nR123456789 0 a 0\n"), std::string::npos);
    EXPECT_EQ(outcome.status, ExitFloatingPointFault);  // a resistance of 0
    EXPECT_EQ(outcome.lastLine, "Divisão por zero em ponto flutuante");

    // A line cut short at the end of the file keeps the table's value: 0 here.
    outcome = analyseText("t\nI1 0 1 1 IMPULSO\nR1 1");
    EXPECT_EQ(outcome.status, ExitFloatingPointFault);
    EXPECT_EQ(outcome.lastLine, "Divisão por zero em ponto flutuante");

    // A source cut short is an impulse of value 0: every numerator is zero.
    outcome = analyseText("t\nR1 1 0 1\nV1 1 0");
    EXPECT_EQ(outcome.status, ExitSuccess);
    EXPECT_NE(output.find("\nV1 1 0 0 Impulso\n"), std::string::npos);
}

TEST_F(Catalogue, PathsWithPercentSignsSpacesAndGreatLength) {
    const std::string odd = dir.file("a %s b/x %d.net");
    std::filesystem::create_directories(dir.file("a %s b"));
    dir.write("a %s b/x %d.net", "t\nI1 0 1 1 IMPULSO\nR1 1 0 1\n");
    Outcome outcome = analyse(odd);
    EXPECT_EQ(outcome.lastLine, Success);
    EXPECT_NE(output.find("Resultados salvos como " + dir.file("a %s b/x %d") + ".*"),
              std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir.file("a %s b/x %d.n1")));

    // Folders nested until the path has 1999, then 2100 characters: read and saved whole.
    for (const std::size_t length : {std::size_t{1999}, std::size_t{2100}}) {
        std::string path = dir.path().string();
        while (path.size() + 200 < length)
            path += "/" + std::string(150, 'p');
        std::filesystem::create_directories(path);
        path += "/" + std::string(length - path.size() - 5, 'n') + ".net";
        ASSERT_EQ(path.size(), length);
        std::FILE* file = std::fopen(path.c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fputs("t\nI1 0 1 1 IMPULSO\nR1 1 0 1\n", file);
        std::fclose(file);
        outcome = analyse(path);
        EXPECT_EQ(outcome.lastLine, Success) << length;
        EXPECT_TRUE(std::filesystem::exists(path.substr(0, path.size() - 4) + ".n1")) << length;
    }

    // Beyond what the system can open: reported, not cut.
    const std::string tooLong = dir.file(std::string(5000, 'l'));
    outcome = analyse(tooLong);
    EXPECT_EQ(outcome.status, ExitFailure);
    EXPECT_EQ(outcome.lastLine, "Arquivo " + tooLong + ".net inexistente");
}

TEST_F(Catalogue, AnalysisOptions) {
    const std::string rc = "t\nV1 1 0 1 DEGRAU\nR1 1 2 1000\nC1 2 0 1e-6\n";
    for (const char* text : {"0", "abc", ""}) {
        const Outcome outcome = analyseText(rc, {"--dispersao", text});
        EXPECT_EQ(outcome.status, ExitFloatingPointFault) << text;
        EXPECT_EQ(outcome.lastLine, "Divisão por zero em ponto flutuante") << text;
    }
    for (const char* text : {"-1", "1e400"}) {
        const Outcome outcome = analyseText(rc, {"--dispersao", text, "--variaveis", "2"});
        EXPECT_EQ(outcome.status, ExitSuccess) << text;
        EXPECT_NE(output.find("Numerador 2 (2):\na0:  1.000000000000\nCte: 1000.000000000000\n"),
                  std::string::npos)
            << text;
    }
    // "1,5" reads as 1: only the largest coefficient of each polynomial stands.
    const Outcome outcome = analyseText(rc, {"--dispersao", "1,5"});
    EXPECT_EQ(outcome.status, ExitSuccess);
    EXPECT_NE(output.find("\nAviso: a normalização anulou coeficientes significativos do "
                          "denominador; aumente a dispersão.\n"),
              std::string::npos);
}

TEST_F(Catalogue, FloatingPointFaults) {
    struct Case {
        const char* name;
        const char* netlist;
        const char* message;
    };
    const Case cases[] = {
        {"resistor of 0", "t\nV1 1 0 1 DEGRAU\nR1 1 0 0\n", "Divisão por zero em ponto flutuante"},
        {"coupling with a negative product", "t\nL1 1 0 -1\nL2 2 0 1\nK1 L1 L2 0.5\n",
         "Operação inválida em ponto flutuante"},
        {"values that overflow the expansion",
         "t\nI1 0 1 1 IMPULSO\nG1 1 2 2 0 1e300\nG2 2 1 1 0 1e300\nR1 1 0 1\nR2 2 0 1\n",
         "Estouro em ponto flutuante"},
        {"a value that is not a number", "t\nI1 0 1 1 IMPULSO\nR1 1 0 nan\n",
         "Operação inválida em ponto flutuante"},
        {"a capacitance of 1e999 (infinite)",
         "t\nI1 0 1 1 IMPULSO\nR1 1 0 1\nC1 1 2 1e999\nR2 2 0 1\n",
         "Operação inválida em ponto flutuante"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = analyseText(c.netlist);
        EXPECT_EQ(outcome.status, ExitFloatingPointFault) << c.name;
        EXPECT_EQ(outcome.lastLine, c.message) << c.name;
    }
}

}  // namespace
}  // namespace corvane::cli
