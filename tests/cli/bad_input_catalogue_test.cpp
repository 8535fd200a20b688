// The bad-input catalogue: malformed netlists, analysis options and inputs that drive the
// computation into floating-point faults, each with the exact outcome it must produce
// through corvane-cli (the last log line and the exit status, or the fault's message).
// Nothing may crash, hang or be lost whatever the input.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli_runner.h"
#include "command_line.h"
#include "numbered.h"
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
        args.insert(args.begin(), "analisar");
        args.push_back(path);
        const test::CliResult result = test::runCliWith(args);
        output = result.out;
        errors = result.err;
        const std::string& shown = result.status == ExitFloatingPointFault ? errors : output;
        return {result.status, test::lastLine(shown)};
    }

    Outcome analyseText(const std::string& netlist, std::vector<std::string> args = {}) {
        return analyse(dir.write("c.net", netlist), std::move(args));
    }

    test::TempDir dir;
    std::string output;
    std::string errors;
};

const std::string Success = "Análise terminada com sucesso.";

std::string resistorsToNewNodes(int count) {
    std::string text = "t\n";
    for (int i = 1; i <= count; ++i) {
        text += test::numbered("R", i) + test::numbered(" n", i) + " 0 1\n";
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
    for (int i = 1; i <= 200; ++i)
        twoHundredOne += test::numbered("R", i) + " 1 0 1\n";
    twoHundredOne += "* the last ones\nR201 1 0 1\n";
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
         "Linha 2: nome com mais de 10 caracteres: R" + std::string(59, 'x') + "..."},
        {"CR-only line ends: all one title line", "t\rV1 1 0 1 DEGRAU\rR1 1 0 1\r",
         "Circuito sem solução"},
        {"a value no field received", "t\nV1 1 0 1 DEGRAU\nR2 1 0 -\n",
         "Linha 3: valor ausente ou inválido: R2 1 0 -"},
        {"a unit with no scale", "t\nV1 1 0 1 DEGRAU\nR1 1 0 10ohm\n",
         "Linha 3: valor ausente ou inválido: R1 1 0 10ohm"},
        {"a line cut short at the end", "t\nI1 0 1 1 IMPULSO\nR1 1",
         "Linha 3: campo ausente: R1 1"},
        {"a source cut short at the end", "t\nR1 1 0 1\nV1 1 0",
         "Linha 3: valor ausente ou inválido: V1 1 0"},
        {"a name split at ten characters", "t\nLcarga_longa saida 0 1e-3\n",
         "Linha 2: nome com mais de 10 caracteres: Lcarga_longa"},
        {"the same name twice", "t\nV1 1 0 1 DEGRAU\nR1 1 0 1\nV1 1 0 2 DEGRAU\n",
         "Linha 4: elemento V1 repetido (já definido na linha 2)"},
        {"an inductor coupled with itself", "t\nV1 1 0 1 DEGRAU\nL1 1 0 1e-3\nK1 L1 L1 0.5\n",
         "Linha 4: indutor acoplado a si mesmo: L1"},
        {"an op-amp gain no double holds", "t\nV1 1 0 1 DEGRAU\nO1 2 0 1 2 A0=1e400\n",
         "Linha 3: valor de A0 ausente ou inválido (um número positivo): O1 2 0 1 2 A0=1e400"},
        {"an op-amp pole that overflows",
         "t\nV1 1 0 1 DEGRAU\nO1 2 0 1 2 A0=1e300 GBW=1e-300\n",
         "Linha 3: valor de GBW ausente ou inválido (um número positivo): O1 2 0 1 2 "
         "A0=1e300 GBW=1e-300"},
        {"an op-amp model with an empty value", "t\nV1 1 0 1 DEGRAU\nO1 2 0 1 2 a0=\n",
         "Linha 3: valor de A0 ausente ou inválido (um número positivo): O1 2 0 1 2 a0="},
        {"a 10 MB op-amp gain",
         "t\nV1 1 0 1 DEGRAU\nO1 2 0 1 2 A0=" + std::string(10'000'000, '1') + "\n",
         "Linha 3: valor de A0 ausente ou inválido (um número positivo): O1 2 0 1 2 A0=" +
             std::string(46, '1') + "..."},
        {"an op-amp model on the next line", "t\nV1 1 0 1 DEGRAU\nO1 2 0 1 2\nA0=5\n",
         "Elemento desconhecido: A0=5"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = analyseText(c.netlist);
        EXPECT_EQ(outcome.status, ExitFailure) << c.name;
        EXPECT_EQ(outcome.lastLine, c.last) << c.name;
    }
    EXPECT_EQ(analyse(dir.file("nada")).lastLine,
              "Arquivo " + dir.file("nada") + ".net inexistente");
}

// The SPICE reader's hostile inputs: each ends the run before anything is computed, with
// the file and the line.
TEST_F(Catalogue, EverySpiceReaderFailure) {
    struct Case {
        const char* name;
        std::string netlist;
        std::string last;
    };
    dir.write("loop_a.inc", "R1 a 0 1\n.include loop_b.inc\n");
    dir.write("loop_b.inc", "* back again\n.include loop_a.inc\n");
    const std::string c = dir.file("c.cir");
    const std::vector<Case> cases{
        {"an unbalanced .subckt", "t\nV1 a 0 AC 1\n.subckt amp i o\nR1 i o 1k\nX1 a b amp\n",
         "Linha 3 de " + c + ": .subckt amp sem .ends"},
        {"a parameter loop", "t\n.param a={b} b={c} c={a}\nR1 x 0 {a}\n",
         "Linha 3 de " + c + ": laço de parâmetros: a depende de si mesmo"},
        {"an include loop", "t\n.include loop_a.inc\n",
         "Linha 2 de " + dir.file("loop_b.inc") + ": inclusão circular de " +
             dir.file("loop_a.inc")},
        {"a 1 MB line", "t\nR1 a 0 1\nR2 a 0 {" + std::string(1 << 20, '1') + "}\n",
         "Linha 3 de " + c + ": linha com mais de 65536 bytes"},
        {"a name of 10 000 characters", "t\nV1 a 0 AC 1\nR" + std::string(10'000, 'x') + " a 0 1\n",
         "Linha 3 de " + c + ": nome com mais de 255 caracteres: R" + std::string(59, 'x') +
             "..."},
        {"a file past 16 MiB", "t\n" + std::string(17 << 20, '*') + "\n",
         "Não foi possível ler o arquivo " + c + ": passa de 16 MiB"},
        {"binary garbage", std::string("t\n\x01\x02\xff\xfe rest\n", 12),
         "Linha 2 de " + c + ": elemento desconhecido: \x01\x02\xff\xfe"},
        {"a parameter chain past its depth", [] {
             std::string text = "t\n.param p0=1\n";
             for (int i = 1; i <= 150; ++i)
                 text += ".param p" + std::to_string(i) + "={p" + std::to_string(i - 1) + "+1}\n";
             return text + "R1 a 0 {p150}\n";
         }(),
         "Linha 153 de " + c + ": parâmetros encadeados além de 50 níveis"},
    };
    for (const Case& k : cases) {
        const Outcome outcome = analyse(dir.write("c.cir", k.netlist));
        EXPECT_EQ(outcome.status, ExitFailure) << k.name;
        EXPECT_EQ(outcome.lastLine, k.last) << k.name;
    }
    EXPECT_EQ(analyse(dir.file("nada.cir")).lastLine,
              "Arquivo " + dir.file("nada.cir") + " inexistente");
    std::filesystem::create_directory(dir.file("pasta.cir"));
    EXPECT_EQ(analyse(dir.file("pasta.cir")).lastLine,
              "Não foi possível ler o arquivo " + dir.file("pasta.cir") + ": " +
                  std::strerror(EISDIR));
    std::filesystem::create_symlink("/dev/zero", dir.file("zero.cir"));
    EXPECT_EQ(analyse(dir.file("zero.cir")).lastLine,
              "Não foi possível ler o arquivo " + dir.file("zero.cir") +
                  ": não é um arquivo comum");
    EXPECT_EQ(analyse(dir.write("c.cir", "t\n.include pasta.cir\n")).lastLine,
              "Linha 2 de " + dir.file("c.cir") + ": não foi possível ler " +
                  dir.file("pasta.cir") + ": " + std::strerror(EISDIR));
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
        {"an ideal op-amp with a 10 MB tail",
         "t\nV1 1 0 1 DEGRAU\nR1 1 2 1\nR2 2 3 1\nO1 3 0 0 2 " + std::string(10'000'000, 'k') +
             "\n",
         "O1 3 0 0 2"},
        {"an op-amp model in lower case with a CR LF",
         "t\r\nV1 1 0 1 DEGRAU\r\nR1 1 2 1\r\nR2 2 3 1\r\nO1 3 0 0 2 a0=2k gbw=1meg\r\n",
         "O1 3 0 0 2 A0=2000 GBW=1e+06"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = analyseText(c.netlist);
        EXPECT_EQ(outcome.status, ExitSuccess) << c.name << ": " << outcome.lastLine;
        EXPECT_EQ(outcome.lastLine, Success) << c.name;
        EXPECT_NE(output.find("\n" + c.expectedInLog + "\n"), std::string::npos) << c.name;
    }
}

TEST_F(Catalogue, ShortLinesTakeTheirFieldsFromWhatFollows) {
    // A line whose last field is on the next line still converts every field.
    Outcome outcome = analyseText("t\nI1 0 1 1 IMPULSO\nR1 1 0\n1k\n");
    EXPECT_EQ(outcome.status, ExitSuccess);
    EXPECT_NE(output.find("\nR1 1 0 1000\n"), std::string::npos);

    // A source whose type the file does not hold is an impulse.
    outcome = analyseText("t\nR1 1 0 1\nV1 1 0 2");
    EXPECT_EQ(outcome.status, ExitSuccess);
    EXPECT_NE(output.find("\nV1 1 0 2 Impulso\n"), std::string::npos);
}

TEST_F(Catalogue, ValuesWithScaleSuffixes) {
    // 1 kΩ and 1 µF: the pole at 1000 rad/s, as with plain numbers.
    Outcome outcome = analyseText("t\nV1 1 0 1 DEGRAU\nR1 1 2 1kohm\nC1 2 0 1uF\n",
                                  {"--variaveis", "2"});
    EXPECT_EQ(outcome.lastLine, Success);
    EXPECT_NE(output.find("\nR1 1 2 1000\nC1 2 0 1e-06 () 0\n"), std::string::npos);
    EXPECT_NE(output.find("Numerador 2 (2):\na0:  1.000000000000\nCte: 1000.000000000000\n"),
              std::string::npos);
    // M is milli: 1M is a milliohm, 1MEG a megaohm.
    analyseText("t\nV1 1 0 1 DEGRAU\nR1 1 0 1M\nR2 1 0 1MEG\n");
    EXPECT_NE(output.find("\nR1 1 0 0.001\nR2 1 0 1e+06\n"), std::string::npos);
}

TEST_F(Catalogue, FilesThatCannotBeRead) {
    std::filesystem::create_directories(dir.file("pasta.net"));
    Outcome outcome = analyse(dir.file("pasta.net"));
    EXPECT_EQ(outcome.status, ExitFailure);
    EXPECT_EQ(outcome.lastLine, "Não foi possível ler o arquivo " + dir.file("pasta.net") + ": " +
                                    std::strerror(EISDIR));
    const std::string zero = dir.file("zero.net");
    std::filesystem::create_symlink("/dev/zero", zero);
    outcome = analyse(zero);
    EXPECT_EQ(outcome.status, ExitFailure);
    EXPECT_EQ(outcome.lastLine, "Não foi possível ler o arquivo " + zero + ": não é um arquivo comum");
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

    // Beyond what the system can open: reported with the system's reason, not cut.
    const std::string tooLong = dir.file(std::string(5000, 'l'));
    outcome = analyse(tooLong);
    EXPECT_EQ(outcome.status, ExitFailure);
    EXPECT_EQ(outcome.lastLine, "Não foi possível ler o arquivo " + tooLong + ".net: " +
                                    std::strerror(ENAMETOOLONG));
}

TEST_F(Catalogue, RunsWhoseResultsCannotStand) {
    // A capacitor alone between two floating nodes: the determinant is zero, with or
    // without normalisation, and no file is written.
    for (const bool normalize : {true, false}) {
        std::vector<std::string> args;
        if (!normalize) args.push_back("--nao-normalizar");
        const Outcome outcome = analyse(dir.write("zero.net", "t\nC1 1 2 1\n"), args);
        EXPECT_EQ(outcome.status, ExitFailure) << normalize;
        EXPECT_EQ(outcome.lastLine, "Circuito sem solução") << normalize;
        EXPECT_FALSE(std::filesystem::exists(dir.file("zero.d"))) << normalize;
    }
    // A netlist saved under a result file's name is not replaced by its own results.
    const std::string netlist = dir.write("filtro.d", "t\nV1 1 0 1 DEGRAU\nR1 1 0 1\n");
    const Outcome outcome = analyse(netlist);
    EXPECT_EQ(outcome.status, ExitFailure);
    EXPECT_EQ(outcome.lastLine,
              "O netlist " + netlist + " seria substituído pelo arquivo de resultados " + netlist);
    EXPECT_EQ(test::readFile(netlist), "t\nV1 1 0 1 DEGRAU\nR1 1 0 1\n");
}

TEST_F(Catalogue, AnalysisOptions) {
    const std::string rc = "t\nV1 1 0 1 DEGRAU\nR1 1 2 1000\nC1 2 0 1e-6\n";
    // A dispersion is read whole, with either separator, or refused before the run; zero
    // (a division by zero) and values no double holds are refused too.
    for (const char* text :
         {"2,5e9x", "1e9x", "abc", "", "inf", "nan", "0", "-0", "1e400", "1,5.0", "0x10"}) {
        const Outcome outcome = analyseText(rc, {"--dispersao", text});
        EXPECT_EQ(outcome.status, ExitUsage) << text;
        EXPECT_EQ(errors.substr(0, errors.find('\n')),
                  "corvane-cli: a opção --dispersao pede um número finito diferente de zero (. ou "
                  ", decimal): " +
                      std::string(text))
            << text;
        EXPECT_FALSE(std::filesystem::exists(dir.file("c.d"))) << text;
    }
    struct Taken {
        const char* text;
        double value;
    };
    // A negative dispersion clears nothing, as documented.
    for (const Taken& c :
         {Taken{"2,5e9", 2.5e9}, Taken{"2.5e9", 2.5e9}, Taken{" 1,5 ", 1.5}, Taken{"-1", -1.0}}) {
        const std::string json = dir.file("c.json");
        const Outcome outcome = analyseText(rc, {"--dispersao", c.text, "--json", json});
        EXPECT_EQ(outcome.status, ExitSuccess) << c.text;
        EXPECT_EQ(nlohmann::json::parse(test::readFile(json))["opcoes"]["dispersao"], c.value)
            << c.text;
    }

    // Memory for minors below what the engine can work with would run for minutes.
    for (const char* text : {"0", "1", "63"}) {
        EXPECT_EQ(analyseText(rc, {"--memoria-cache", text}).status, ExitUsage) << text;
        EXPECT_EQ(
            errors.substr(0, errors.find('\n')),
            "corvane-cli: a opção --memoria-cache pede pelo menos 64 MiB: " + std::string(text));
    }
    EXPECT_EQ(analyseText(rc, {"--memoria-cache", "64"}).lastLine, Success);
}

TEST_F(Catalogue, SymbolOptions) {
    const std::string rc = "t\nV1 1 0 1 DEGRAU\nR1 1 2 1000\nC1 2 0 1e-6\n";
    // Options of the symbolic analysis without it.
    for (const char* option : {"--simbolos", "--limite-termos"}) {
        EXPECT_EQ(analyseText(rc, {option, "1"}).status, ExitUsage) << option;
        EXPECT_EQ(errors.substr(0, errors.find('\n')),
                  "corvane-cli: a opção " + std::string(option) + " precisa de --simbolica");
    }
    // A name that names no value of the circuit ends the run before anything is saved.
    Outcome outcome = analyseText(rc, {"--simbolica", "--simbolos", "R1,R9"});
    EXPECT_EQ(outcome.status, ExitFailure);
    EXPECT_EQ(outcome.lastLine, "Símbolos: nenhum valor do circuito se chama R9");
    EXPECT_FALSE(std::filesystem::exists(dir.file("c.d")));
    // Names are matched as the netlist matches them: the kind letter in either case.
    outcome = analyseText(rc, {"--simbolica", "--simbolos", "r1"});
    EXPECT_EQ(outcome.lastLine, Success);
    EXPECT_NE(output.find("\nSímbolos: R1\n"), std::string::npos);
}

TEST_F(Catalogue, SymbolicAnalysisPastItsMemory) {
    // An 18-section RC ladder fully symbolic with no term limit: FLINT would allocate
    // until the machine gives out. The symbolic part stops within --memoria-cache, the
    // numeric results are saved.
    std::string ladder = "t\nV1 1 0 1 DEGRAU\n";
    for (int i = 1; i <= 18; ++i) {
        const std::string a = std::to_string(i);
        const std::string b = std::to_string(i + 1);
        ladder += "R" + a + " " + a + " " + b + " 1000\nC" + a + " " + b + " 0 1e-6\n";
    }
    const Outcome outcome = analyseText(
        ladder, {"--simbolica", "--limite-termos", "1000000000000", "--memoria-cache", "64"});
    EXPECT_EQ(outcome.status, ExitSuccess);
    EXPECT_EQ(outcome.lastLine, Success);
    EXPECT_NE(output.find("\nLimite de memória: no cálculo do denominador, a análise simbólica "
                          "passaria de 64 MiB.\n"),
              std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir.file("c.n19")));
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

namespace corvane::cli {
namespace {

// The plotter's part of the catalogue: result files, plot lists and limits, through
// corvane-cli plotar.
class PlotCatalogue : public ::testing::Test {
protected:
    PlotCatalogue() {
        dir.write("d.d", "1\n 1\n 1\n 1\n");
        dir.write("n.n1", "0\n 1\n 1\n");
    }

    Outcome plot(const std::string& list, std::vector<std::string> args = {}) {
        args.insert(args.begin(), "plotar");
        args.push_back(dir.write("lista", list));
        const test::CliResult result = test::runCliWith(args);
        output = result.out;
        const std::string& shown = result.status == ExitFloatingPointFault ? result.err : output;
        return {result.status, test::lastLine(shown)};
    }

    // A numerator file holding `text`, over the denominator 1 + s.
    Outcome plotNumerator(const std::string& text) {
        return plot(dir.write("x.n1", text) + "\n" + dir.file("d.d") + "\n");
    }

    test::TempDir dir;
    std::string output;
};

std::string numbers(int from, int to) {
    std::string text;
    for (int i = from; i <= to; ++i)
        text += std::to_string(i) + "\n";
    return text;
}

TEST_F(PlotCatalogue, ResultFiles) {
    const std::string invalid = "Arquivo " + dir.file("x.n1") + " inválido.";
    struct Case {
        const char* name;
        std::string file;
        int status;
        std::string last;
    };
    const std::vector<Case> cases{
        {"empty", "", ExitFailure, invalid},
        {"not a number", "1\n0.5\nabc\n1\n", ExitFailure, invalid},
        {"no constant", "1\n1\n2\n", ExitFailure, invalid},
        {"degree 30", "30\n" + numbers(1, 32), ExitSuccess, "Lidas 1 funções"},
        // A truncated polynomial would be a wrong curve.
        {"degree 1002", "1002\n" + numbers(1, 1004), ExitFailure, invalid},
        {"degree 1500", "1500\n" + numbers(1, 1502), ExitFailure, invalid},
        // Values no curve can be drawn from, and degrees that are not whole numbers of an
        // int, are refused before anything is read into the curve.
        {"NaN", "1\nnan\n1\n1\n", ExitFailure, invalid},
        {"infinities", "2\n1\ninf\n-inf\n1\n", ExitFailure, invalid},
        {"infinite constant", "0\n1\ninf\n", ExitFailure, invalid},
        {"CR LF", "1\r\n1\r\n1\r\n1\r\n", ExitSuccess, "Lidas 1 funções"},
        {"degree -1", "-1\n7\n", ExitFailure, invalid},
        {"degree 2^31", "2147483648\n1\n1\n", ExitFailure, invalid},
        {"degree 2^32 + 1", "4294967297\n1\n1\n1\n", ExitFailure, invalid},
        {"degree 1.5", "1.5\n1\n1\n1\n", ExitFailure, invalid},
    };
    for (const Case& c : cases) {
        const Outcome outcome = plotNumerator(c.file);
        EXPECT_EQ(outcome.status, c.status) << c.name;
        EXPECT_EQ(outcome.lastLine, c.last) << c.name;
        const bool excessive = output.find("Polinômio com grau excessivo\n") != std::string::npos;
        const bool pastTheLimit = c.file.rfind("1002\n", 0) == 0 || c.file.rfind("1500\n", 0) == 0;
        EXPECT_EQ(excessive, pastTheLimit) << c.name;
    }
}

TEST_F(PlotCatalogue, PlotLists) {
    const std::string n = dir.file("n.n1");
    const std::string d = dir.file("d.d");
    std::string twentyOne;
    for (int i = 0; i < 21; ++i)
        twentyOne += n + "\n" + d + "\n";
    std::filesystem::create_directories(dir.file("pasta.n1"));
    struct Case {
        const char* name;
        std::string list;
        std::string last;
    };
    const std::vector<Case> cases{
        {"a leading blank", " " + n + "\n" + d + "\n", "Arquivo  " + n + " não encontrado."},
        {"an empty line between", n + "\n\n" + d + "\n", "Arquivo  não encontrado."},
        {"21 curves", twentyOne, "Número excessivo de curvas"},
        {"a numerator without denominator", n + "\n" + d + "\n" + n + "\n",
         "Falta o denominador do arquivo " + n},
        {"a folder named as a file", dir.file("pasta.n1") + "\n" + d + "\n",
         "Arquivo " + dir.file("pasta.n1") + " inválido."},
        {"a line of 2000 characters", std::string(2000, 'a') + "\n" + d + "\n",
         "Arquivo " + std::string(2000, 'a') + " não encontrado."},
    };
    for (const Case& c : cases) {
        const Outcome outcome = plot(c.list);
        EXPECT_EQ(outcome.status, ExitFailure) << c.name;
        EXPECT_EQ(outcome.lastLine, c.last) << c.name;
    }
    // Comments anywhere are fine, also between a numerator and its denominator.
    const Outcome outcome = plot("* a\n" + n + "\n* b\n" + d + "\n");
    EXPECT_EQ(outcome.status, ExitSuccess);
    EXPECT_EQ(outcome.lastLine, "Lidas 1 funções");
}

TEST_F(PlotCatalogue, ListFilesAreReadAlikeByPlotarAndTempo) {
    std::filesystem::create_directories(dir.file("pasta"));
    std::string tooMany;
    for (int i = 0; i < 10001; ++i)
        tooMany += "* comentário\n";
    const std::string many = dir.write("muitas", tooMany);
    const std::string zero = dir.file("zero");
    std::filesystem::create_symlink("/dev/zero", zero);
    struct Case {
        std::string list;
        std::string message;
    };
    const std::vector<Case> cases{
        {dir.file("pasta"), "corvane-cli: a lista " + dir.file("pasta") + " é uma pasta\n"},
        {zero, "corvane-cli: a lista " + zero + " passa de 1 MiB ou de 10000 linhas\n"},
        {many, "corvane-cli: a lista " + many + " passa de 1 MiB ou de 10000 linhas\n"},
        {dir.file("nada"), "corvane-cli: não foi possível ler a lista " + dir.file("nada") + "\n"},
    };
    for (const Case& c : cases) {
        for (const char* command : {"plotar", "tempo"}) {
            const test::CliResult result = test::runCliWith({command, c.list});
            EXPECT_EQ(result.status, ExitFailure) << command << " " << c.list;
            EXPECT_EQ(result.err, c.message) << command;
            EXPECT_EQ(result.out, "") << command;
        }
    }
}

TEST_F(PlotCatalogue, LimitsThatFault) {
    const std::string list = dir.file("n.n1") + "\n" + dir.file("d.d") + "\n";
    Outcome outcome = plot(list, {"--wmin", "1", "--wmax", "1"});
    EXPECT_EQ(outcome.status, ExitFloatingPointFault);
    EXPECT_EQ(outcome.lastLine, "Divisão por zero em ponto flutuante");
    outcome = plot(list, {"--gmin", "20", "--gmax", "20"});
    EXPECT_EQ(outcome.status, ExitFloatingPointFault);
    // Reversed limits: the grid takes the logarithm of a negative span; without the grid
    // the same maps simply draw upside down.
    outcome = plot(list, {"--gmin", "20", "--gmax", "-60"});
    EXPECT_EQ(outcome.status, ExitFloatingPointFault);
    EXPECT_EQ(outcome.lastLine, "Operação inválida em ponto flutuante");
    outcome = plot(list, {"--gmin", "20", "--gmax", "-60", "--sem-grade"});
    EXPECT_EQ(outcome.status, ExitSuccess);
    outcome = plot(list, {"--wmin", "5", "--wmax", "0.1", "--linear"});
    EXPECT_EQ(outcome.status, ExitFloatingPointFault);
    EXPECT_EQ(outcome.lastLine, "Operação inválida em ponto flutuante");
}

}  // namespace
}  // namespace corvane::cli
