// Covers corvane-cli plotar on curves that cannot be evaluated everywhere: a zero
// numerator (the integrator's virtual ground), a pole that the fitted grid hits, a limit
// given beyond the fitted range, denominators no double holds, and a pole near the largest
// double: each named with its points, none ending the command with a bare fault.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_runner.h"
#include "command_line.h"
#include "temp_dir.h"

namespace corvane::cli {
namespace {

using test::runCliWith;

// A plot list of one curve, numerator and denominator given as result-file texts.
std::string oneCurveList(const test::TempDir& dir, const std::string& numerator,
                         const std::string& denominator) {
    return dir.write("lista.txt", dir.write("f.n1", numerator) + "\n" + dir.write("f.d", denominator) + "\n");
}

struct GapCase {
    const char* name;
    std::string numerator;
    std::string denominator;
    std::vector<std::string> options;
    int status;
    /// The line the log ends with; the fitted ranges' line when it is the last.
    std::string last;
};

TEST(PlotGaps, EachCurveIsNamedWithItsPoints) {
    const std::vector<GapCase> cases{
        {"zero numerator", "0\n0\n1\n", "1\n1\n1\n1\n", {}, ExitFailure,
         "Curva 1: o numerador é zero: não há ganho, fase nem atraso a desenhar; curva omitida."},
        {"fitted grid on the double pole of 1/(s² + 1)²", "0\n1\n1\n", "4\n1\n0\n2\n0\n1\n1\n",
         {"--ajustar"}, ExitSuccess,
         "Curva 1: não pode ser calculada em ω = 1 rad/s (Divisão por zero em ponto "
         "flutuante); a curva fica interrompida aí."},
        {"all-zero denominator", "0\n1\n1\n", "1\n0\n0\n1\n", {}, ExitFailure,
         "Curva 1: não pode ser calculada em nenhum ponto de ω = 0.1 a 5 rad/s (Divisão por "
         "zero em ponto flutuante); curva omitida."},
        {"denormal denominator", "0\n1\n1\n", "1\n1e-310\n1e-310\n1\n", {"--hz"}, ExitFailure,
         "Curva 1: não pode ser calculada em nenhum ponto de f = 0.1 a 5 Hz (Estouro em ponto "
         "flutuante); curva omitida."},
        {"wmin beyond the fitted end", "0\n1\n1\n", "1\n1\n1\n1\n", {"--ajustar", "--wmin", "1e6"},
         ExitSuccess, "Lidas 1 funções"},
        {"pole at 1e308", "0\n1\n1\n", "1\n1e308\n1\n1\n", {"--ajustar"}, ExitSuccess,
         "Lidas 1 funções"},
    };
    for (const GapCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        std::vector<std::string> args{"plotar"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const std::string table = dir.file("t.csv");
        args.insert(args.end(), {"--tabela", table, oneCurveList(dir, c.numerator, c.denominator)});
        const test::CliResult result = runCliWith(args);
        EXPECT_EQ(result.status, c.status) << result.out << result.err;
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(test::lastLine(result.out), c.last) << result.out;
        // The table holds only numbers: a point without a value has no row.
        const std::string text = test::readFile(table);
        EXPECT_EQ(text.find("nan"), std::string::npos);
        EXPECT_EQ(text.find("inf"), std::string::npos);
    }
}

TEST(PlotGaps, FittedRangesAreFiniteAndReadBack) {
    test::TempDir dir;
    const std::string list = oneCurveList(dir, "0\n1\n1\n", "1\n1e308\n1\n1\n");
    const test::CliResult result = runCliWith({"plotar", "--ajustar", list});
    EXPECT_NE(result.out.find("Faixas ajustadas: --wmin 1e+306 --wmax 1e+308 "), std::string::npos)
        << result.out;
    const test::CliResult beyond =
        runCliWith({"plotar", "--ajustar", "--wmin", "1e6", oneCurveList(dir, "0\n1\n1\n", "1\n1\n1\n1\n")});
    EXPECT_NE(beyond.out.find("Faixas ajustadas: --wmin 1e6 --wmax 1e+08 "), std::string::npos)
        << beyond.out;
}

}  // namespace
}  // namespace corvane::cli
