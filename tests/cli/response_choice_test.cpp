// Covers one netlist for both jobs on the command line: tempo --impulso on a step run and
// tempo --degrau on an impulse run against the RC's closed forms, plotar --sem-degrau
// against the gain of 1/(1 + jωRC), and the runs that are refused, by name, while the
// other curves are drawn.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "command_line.h"
#include "temp_dir.h"

namespace corvane::cli {
namespace {

using test::runCli;

constexpr double RC = 1e-3;

// The RC low-pass, R = 1 kΩ and C = 1 µF, driven as `drive` says ("DEGRAU", "IMPULSO"),
// with `extra` lines; analysed, so its result files stand beside it.
std::string analysedRc(const test::TempDir& dir, const std::string& stem, const std::string& drive,
                       const std::string& extra = "") {
    const std::string netlist = dir.write(
        stem + ".net", "RC\nV1 in 0 1 " + drive + "\nR1 in out 1k\nC1 out 0 1u" + extra + "\n");
    const test::CliResult analysis = runCli({"analisar", netlist.c_str()});
    EXPECT_EQ(analysis.status, ExitSuccess) << analysis.out;
    // Variables: in, out, jV1; the output's numerator and the denominator.
    return dir.file(stem + ".n2") + "\n" + dir.file(stem + ".d") + "\n";
}

struct Sample {
    int curve;
    double t;
    double value;
};

std::vector<Sample> samples(const std::string& table) {
    std::vector<Sample> rows;
    std::FILE* file = std::fopen(table.c_str(), "r");
    if (!file) return rows;
    char line[256];
    while (std::fgets(line, sizeof line, file)) {
        Sample s{};
        int point = 0;
        if (std::sscanf(line, "%d,%d,%lg,%lg", &s.curve, &point, &s.t, &s.value) == 4)
            rows.push_back(s);
    }
    std::fclose(file);
    return rows;
}

TEST(ResponseChoiceTest, EachRunGivesBothResponses) {
    const std::function<double(double)> impulse = [](double t) { return std::exp(-t / RC) / RC; };
    const std::function<double(double)> step = [](double t) { return 1 - std::exp(-t / RC); };
    struct Row {
        const char* drive;
        const char* option;
        std::function<double(double)> expected;
    };
    const std::vector<Row> rows = {{"DEGRAU", "--impulso", impulse},
                                   {"IMPULSO", "--degrau", step},
                                   {"DEGRAU", "--degrau", step},
                                   {"IMPULSO", "--impulso", impulse}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.drive) + " " + row.option);
        test::TempDir dir;
        const std::string list = dir.write("lista.txt", analysedRc(dir, "rc", row.drive));
        const std::string table = dir.file("t.csv");
        const test::CliResult result =
            runCli({"tempo", row.option, "--tmin", "1e-4", "--tmax", "4e-3", "--pontos", "9",
                    "--tabela", table.c_str(), list.c_str()});
        ASSERT_EQ(result.status, ExitSuccess) << result.out << result.err;
        const std::vector<Sample> rowsRead = samples(table);
        ASSERT_EQ(rowsRead.size(), 9u);
        for (const Sample& s : rowsRead)
            EXPECT_NEAR(s.value, row.expected(s.t), 1e-9 * std::fabs(row.expected(s.t))) << s.t;
    }
}

// "... ganho -3.01029996 dB (0.707106781), fase -45 graus ...": the ratio and the phase.
std::pair<double, double> gainAndPhase(const std::string& out) {
    const std::size_t at = out.find(" dB (");
    const std::size_t phase = out.find("fase ");
    if (at == std::string::npos || phase == std::string::npos) return {NAN, NAN};
    return {std::stod(out.substr(at + 5)), std::stod(out.substr(phase + 5))};
}

TEST(ResponseChoiceTest, WithoutTheStepThePlotIsTheTransferFunction) {
    test::TempDir dir;
    const std::string list = dir.write("lista.txt", analysedRc(dir, "rc", "DEGRAU"));
    for (const double omega : {100.0, 1000.0, 7000.0}) {
        const std::string at = std::to_string(omega);
        const test::CliResult plain = runCli({"plotar", "--em", at.c_str(), list.c_str()});
        const test::CliResult transfer =
            runCli({"plotar", "--sem-degrau", "--em", at.c_str(), list.c_str()});
        ASSERT_EQ(transfer.status, ExitSuccess) << transfer.out;
        const double gain = 1 / std::hypot(1.0, omega * RC);
        const double phase = -std::atan(omega * RC) * 180 / M_PI;
        const auto [transferGain, transferPhase] = gainAndPhase(transfer.out);
        EXPECT_NEAR(transferGain, gain, 1e-8 * gain);
        EXPECT_NEAR(transferPhase, phase, 1e-6);
        // Unchecked, the step's 1/s is in the curve.
        EXPECT_NEAR(gainAndPhase(plain.out).first, gain / omega, 1e-8 * gain / omega);
    }
}

TEST(ResponseChoiceTest, ARunWithoutOneExcitationIsNamedAndTheOthersDrawn) {
    test::TempDir dir;
    struct Row {
        const char* name;
        std::string pair;
        std::string reason;
    };
    const std::vector<Row> rows = {
        {"missing", analysedRc(dir, "lost", "DEGRAU"),
         "o netlist " + dir.file("lost.net") +
             " não foi encontrado ao lado dos arquivos de resultados"},
        {"mixed", analysedRc(dir, "mix", "DEGRAU", "\nI1 0 out 1m IMPULSO"),
         "o netlist " + dir.file("mix.net") + " tem fontes de impulso e de degrau"},
        {"initial", analysedRc(dir, "ic", "DEGRAU", " IC=2"),
         "o netlist " + dir.file("ic.net") +
             " tem condições iniciais (C1), cujos termos não acompanham a fonte"},
    };
    std::filesystem::remove(dir.file("lost.net"));
    const std::string good = analysedRc(dir, "rc", "DEGRAU");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string list = dir.write("lista.txt", row.pair + good);
        const std::string table = dir.file("t.csv");
        const test::CliResult result = runCli(
            {"tempo", "--impulso", "--pontos", "5", "--tabela", table.c_str(), list.c_str()});
        EXPECT_EQ(result.status, ExitFailure);
        const std::string numerator = row.pair.substr(0, row.pair.find('\n'));
        EXPECT_NE(result.out.find("\nCurva 1 (" + numerator +
                                  "): a resposta ao impulso não pode ser calculada: " + row.reason +
                                  "; curva omitida.\n"),
                  std::string::npos)
            << result.out;
        const std::vector<Sample> drawn = samples(table);
        ASSERT_EQ(drawn.size(), 5u);
        for (const Sample& s : drawn)
            EXPECT_EQ(s.curve, 2);

        const test::CliResult plot = runCli({"plotar", "--sem-degrau", list.c_str()});
        EXPECT_EQ(plot.status, ExitFailure);
        EXPECT_NE(plot.out.find("\nCurva 1 (" + numerator +
                                "): a função de transferência não pode ser calculada: " +
                                row.reason + "; curva omitida.\n"),
                  std::string::npos)
            << plot.out;
    }
}

TEST(ResponseChoiceTest, BothExcitationsAtOnceAreAUsageError) {
    const test::CliResult result = runCli({"tempo", "--degrau", "--impulso", "lista.txt"});
    EXPECT_EQ(result.status, ExitUsage);
    EXPECT_EQ(result.err.substr(0, result.err.find('\n')),
              "corvane-cli: as opções --degrau e --impulso não podem ser usadas juntas");
}

// A noise density answers no source: without the step it is drawn as it was.
TEST(ResponseChoiceTest, ANoiseDensityStaysAsItIs) {
    test::TempDir dir;
    const std::string netlist =
        dir.write("rc.net", "RC\nV1 in 0 1 DEGRAU\nR1 in out 1k\nC1 out 0 1u\n");
    ASSERT_EQ(runCli({"analisar", "--ruido", "out", netlist.c_str()}).status, ExitSuccess);
    const std::string list = dir.write("lista.txt", dir.file("rc.ruido") + "\n");
    const test::CliResult plain = runCli({"plotar", "--em", "1000", list.c_str()});
    const test::CliResult transfer = runCli({"plotar", "--sem-degrau", "--em", "1000", list.c_str()});
    EXPECT_EQ(transfer.status, ExitSuccess) << transfer.out;
    EXPECT_NE(plain.out.find("densidade"), std::string::npos) << plain.out;
    EXPECT_EQ(transfer.out, plain.out);
}

// The conversion reads the netlist: no output may be written over it.
TEST(ResponseChoiceTest, TheNetlistReadIsNoOutput) {
    test::TempDir dir;
    const std::string list = dir.write("lista.txt", analysedRc(dir, "rc", "DEGRAU"));
    const std::string netlist = dir.file("rc.net");
    const std::string before = test::readFile(netlist);
    for (const std::vector<const char*>& args :
         {std::vector<const char*>{"tempo", "--impulso", "--tabela", netlist.c_str(), list.c_str()},
          {"plotar", "--sem-degrau", "--tabela", netlist.c_str(), list.c_str()}}) {
        const test::CliResult result = runCli(args);
        EXPECT_EQ(result.status, ExitFailure);
        EXPECT_EQ(result.err, "corvane-cli: --tabela " + netlist +
                                  " seria gravada sobre o arquivo lido " + netlist + "\n");
    }
    EXPECT_EQ(test::readFile(netlist), before);
}

}  // namespace
}  // namespace corvane::cli
