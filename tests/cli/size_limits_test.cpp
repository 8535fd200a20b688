// corvane-cli analisar --sem-limites: circuits past 25 variables through the exact engine,
// the whole run after it, and what stays limited.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "command_line.h"
#include "numbered.h"
#include "result_variables.h"
#include "temp_dir.h"

namespace corvane {
namespace {

using test::runCliWith;

// A cascade of unity-gain Sallen-Key stages, each 1 / (s² + s + 1): 2 + 4 · stages
// variables, the output s<stages>.
std::string sallenKeyCascade(int stages) {
    std::string text = "Cascata\nV1 s0 0 1 IMPULSO\n";
    for (int i = 1; i <= stages; ++i) {
        const std::string k = std::to_string(i);
        std::string in = "s";
        in += std::to_string(i - 1);
        text += "Ra" + k + " " + in + " a" + k + " 1\n";
        text += "Rb" + k + " a" + k + " b" + k + " 1\n";
        text += "Ca" + k + " a" + k + " s" + k + " 2\n";
        text += "Cb" + k + " b" + k + " 0 0.5\n";
        text += "O" + k + " s" + k + " 0 b" + k + " s" + k + "\n";
    }
    return text;
}

// The coefficients of (1 + s + s²)^power, lowest first, by repeated products.
std::vector<double> trinomialPower(int power) {
    std::vector<double> p{1.0};
    for (int i = 0; i < power; ++i) {
        std::vector<double> next(p.size() + 2, 0.0);
        for (std::size_t d = 0; d < p.size(); ++d)
            for (std::size_t k = 0; k < 3; ++k)
                next[d + k] += p[d];
        p = next;
    }
    return p;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        out.push_back(text.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return out;
}

// The "aK: value" lines after the first line that starts with `title` and ends with
// `ending`.
std::vector<double> listedCoefficients(const std::string& log, const std::string& title,
                                       const std::string& ending = "") {
    const std::vector<std::string> all = lines(log);
    std::vector<double> out;
    auto line = std::find_if(all.begin(), all.end(), [&](const std::string& l) {
        return l.rfind(title, 0) == 0 && l.size() >= ending.size() &&
               l.compare(l.size() - ending.size(), ending.size(), ending) == 0;
    });
    if (line == all.end()) return out;
    for (++line; line != all.end() && line->rfind('a', 0) == 0; ++line)
        out.push_back(std::stod(line->substr(line->find(':') + 1)));
    return out;
}

TEST(SizeLimitsTest, ThirteenBiquadsHaveTheBiquadsDenominatorToTheThirteenth) {
    test::TempDir dir;
    const std::string netlist = dir.write("cascata.net", sallenKeyCascade(13));
    const test::CliResult r = runCliWith({"analisar", "--sem-limites", "--variaveis", "s13",
                                          "--simbolica", "--ruido", "s13", netlist});
    ASSERT_EQ(r.status, cli::ExitSuccess) << r.out << r.err;
    const std::vector<double> expected = trinomialPower(13);
    const std::vector<double> listed = listedCoefficients(r.out, "Denominador:");
    ASSERT_EQ(listed.size(), expected.size());
    for (std::size_t d = 0; d < expected.size(); ++d)
        EXPECT_NEAR(listed[d], expected[d], 1e-12 * expected[d] + 5e-13) << "s^" << d;
    // The output's numerator is the constant of the whole cascade's gain of 1.
    EXPECT_EQ(listedCoefficients(r.out, "Numerador ", " (s13):"), std::vector<double>{1.0});
    EXPECT_NE(r.out.find("Circuito de 54 variáveis: funções exatas pelo motor de eliminação modular\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("Análise simbólica não feita: o circuito tem 54 variáveis (máximo 25); "
                         "análise só numérica\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("Análise de ruído não feita: o circuito tem 54 variáveis (máximo 25)\n"),
              std::string::npos);
    // Every numerator is saved, past the 25th too.
    for (const char* file : {"cascata.d", "cascata.n25", "cascata.n26", "cascata.n54"})
        EXPECT_TRUE(std::filesystem::exists(dir.path() / file)) << file;
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "cascata.n55"));
    // The windows name the 54th numerator's variable as the log listed it.
    const std::optional<ResultVariable> last =
        variableOfResultFile((dir.path() / "cascata.n54").string());
    ASSERT_TRUE(last.has_value());
    EXPECT_NE(r.out.find("\n54: " + last->name + "\n"), std::string::npos) << last->name;
}

TEST(SizeLimitsTest, WithoutTheOptionTheNetlistFormatsLimitsStay) {
    test::TempDir dir;
    const std::string netlist = dir.write("cascata.net", sallenKeyCascade(13));
    const test::CliResult r = runCliWith({"analisar", netlist});
    EXPECT_NE(r.status, cli::ExitSuccess);
    EXPECT_NE(r.out.find("O programa só aceita até 25 nós\n"), std::string::npos);
    EXPECT_EQ(test::lastLine(r.out), "Número excessivo de nós (25)");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "cascata.d"));
}

TEST(SizeLimitsTest, ADegreePastThirtyIsExactAndItsRootsAreNotGuessed) {
    // Sixteen biquads: a denominator of degree 32, (1 + s + s²)^16, whose coefficients reach
    // 4e6; its result file is read back whole.
    test::TempDir dir;
    const std::string netlist = dir.write("cascata.net", sallenKeyCascade(16));
    const test::CliResult r =
        runCliWith({"analisar", "--sem-limites", "--variaveis", "s16", "--polos-zeros", netlist});
    ASSERT_EQ(r.status, cli::ExitSuccess) << r.out << r.err;
    const std::vector<double> expected = trinomialPower(16);
    const std::vector<double> listed = listedCoefficients(r.out, "Denominador:");
    ASSERT_EQ(listed.size(), expected.size());
    for (std::size_t d = 0; d < expected.size(); ++d)
        EXPECT_NEAR(listed[d], expected[d], 1e-12 * expected[d]) << "s^" << d;
    EXPECT_NE(r.out.find("Polos: não calculados (grau 32; acima do grau 30 os coeficientes em "
                         "ponto flutuante não determinam as raízes)\n"),
              std::string::npos)
        << r.out;
    // The plot reads both files back whole: the output's gain at s = 0 is the cascade's 1.
    const std::string list = (dir.path() / "cascata.n49").string() + "\n" +
                             (dir.path() / "cascata.d").string() + "\n";
    const test::CliResult plotted = runCliWith({"plotar", dir.write("lista.txt", list)});
    EXPECT_EQ(plotted.status, cli::ExitSuccess) << plotted.out << plotted.err;
    EXPECT_EQ(test::lastLine(plotted.out), "Lidas 1 funções");
}

// C(m, j) in long double: 300 roundings of 5e-20 each, far below the 1e-12 asked.
long double binomial(int m, int j) {
    long double c = 1.0L;
    for (int i = 1; i <= j; ++i)
        c = c * static_cast<long double>(m - j + i) / static_cast<long double>(i);
    return c;
}

TEST(SizeLimitsTest, ALadderOfThreeHundredSectionsHasTheMorganVoycePolynomial) {
    // v(out)/v(in) of n sections of R = 1 and C = 1 is 1/b_n(s), with
    // b_n(s) = Σ C(n + k, 2k)·s^k: coefficients from 1 to 1e177 at n = 300.
    constexpr int Sections = 300;
    std::string text = "Escada\nV1 1 0 1 IMPULSO\n";
    for (int k = 1; k <= Sections; ++k) {
        text += test::numbered("R", k) + test::numbered(" ", k) + test::numbered(" ", k + 1) + " 1\n";
        text += test::numbered("C", k) + test::numbered(" ", k + 1) + " 0 1\n";
    }
    test::TempDir dir;
    const test::CliResult r = runCliWith(
        {"analisar", "--sem-limites", "--variaveis", "301", dir.write("escada.net", text)});
    ASSERT_EQ(r.status, cli::ExitSuccess) << r.err;
    const std::vector<double> listed = listedCoefficients(r.out, "Denominador:");
    ASSERT_EQ(listed.size(), static_cast<std::size_t>(Sections) + 1);
    for (int k = 0; k <= Sections; ++k) {
        const double expected = static_cast<double>(binomial(Sections + k, 2 * k));
        EXPECT_NEAR(listed[static_cast<std::size_t>(k)], expected, 1e-12 * expected) << "s^" << k;
    }
    EXPECT_EQ(listedCoefficients(r.out, "Numerador 301"), std::vector<double>{1.0});
}

TEST(SizeLimitsTest, TheLiftedLimitsAreEnforcedWithTheirNumbers) {
    // 1001 nodes in a chain of resistors: one past the lifted limit of variables.
    std::string text = "Cadeia\nI1 0 n0 1 DEGRAU\n";
    for (int i = 1; i <= 1001; ++i)
        text += test::numbered("R", i) + test::numbered(" n", i - 1) + test::numbered(" n", i) +
                " 1\n";
    test::TempDir dir;
    const test::CliResult r = runCliWith({"analisar", "--sem-limites", dir.write("cadeia.net", text)});
    EXPECT_NE(r.status, cli::ExitSuccess);
    EXPECT_EQ(test::lastLine(r.out), "Número excessivo de nós (1000)");
}

}  // namespace
}  // namespace corvane
