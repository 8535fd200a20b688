// The bounds of the symbolic analysis: the memory it may take (symbolic_expansion.cpp),
// FLINT's fatal errors turned into exceptions (exact_polynomial.cpp), and a cancel from
// the host during the expansion (symbolic_analysis.cpp, analysis.cpp, results.cpp). The
// memory caps are small, so nothing here takes more than a few tens of MiB.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "symbolic_step.h"
#include "symbolic_support.h"

namespace corvane {
namespace {

using symbolic::SymbolicAnalysis;
using symbolic::SymbolicListing;
using symbolic::SymbolicOptions;

constexpr std::size_t MiB = std::size_t{1} << 20;

// An RC ladder of `sections` sections driven by a step: with every element symbolic its
// determinant has about 2^sections terms in its constant coefficient alone.
std::string rcLadder(int sections) {
    std::string text = "Escada RC\nV1 1 0 1 DEGRAU\n";
    for (int i = 1; i <= sections; ++i) {
        const std::string a = std::to_string(i);
        const std::string b = std::to_string(i + 1);
        text += "R" + a + " " + a + " " + b + " 1000\nC" + a + " " + b + " 0 1e-6\n";
    }
    return text;
}

SymbolicOptions unlimitedTerms(std::size_t memory) {
    SymbolicOptions options;
    options.termLimit = 1'000'000'000'000L;
    options.memoryLimitBytes = memory;
    return options;
}

TEST(SymbolicBounds, TheMemoryLimitStopsTheExpansionBeforeItIsPassed) {
    test::AnalysedCircuit ladder(rcLadder(18));
    ASSERT_TRUE(ladder.succeeded());
    SymbolicAnalysis analysis(ladder.run(), unlimitedTerms(16 * MiB));
    EXPECT_FALSE(analysis.compute({2}));
    EXPECT_EQ(analysis.limitMessage(),
              "Limite de memória: no cálculo do denominador, a análise simbólica passaria de "
              "16 MiB.");
    EXPECT_EQ(analysis.verify(ladder.numeric()),
              "Verificação simbólica: não feita (análise simbólica incompleta)");
}

TEST(SymbolicBounds, ACircuitWithinTheMemoryIsComputedWhole) {
    // Four sections take a few KiB: the same limit does not get in the way. (A wide
    // dispersion keeps every numeric coefficient for the comparison.)
    test::AnalysedCircuit ladder(rcLadder(4), "1e30");
    SymbolicAnalysis analysis(ladder.run(), unlimitedTerms(16 * MiB));
    ASSERT_TRUE(analysis.compute(ladder.allVariables()));
    EXPECT_EQ(analysis.verify(ladder.numeric()), "Verificação simbólica: ok");
}

TEST(SymbolicBounds, TheListingSaysWhereTheMemoryRanOutAndKeepsTheNumericRun) {
    test::AnalysedCircuit ladder(rcLadder(18));
    std::vector<std::string> lines;
    AnalysisLog log([&](std::string_view line) { lines.emplace_back(line); });
    const SymbolicListing listing = symbolic::listSymbolicAnalysis(
        ladder.run(), ladder.numeric(), unlimitedTerms(16 * MiB), [](int) { return true; }, log);
    EXPECT_EQ(listing.outcome, ListingOutcome::Done);
    EXPECT_FALSE(listing.denominator);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2],
              "Limite de memória: no cálculo do denominador, a análise simbólica passaria de "
              "16 MiB.");
}

TEST(SymbolicBounds, FlintFatalErrorsThrowInsteadOfAborting) {
    symbolic::fenceFlintAborts();
    symbolic::fenceFlintAborts();  // twice is harmless
    EXPECT_THROW(flint_abort(), std::bad_alloc);
}

// The user asks to stop as soon as the symbolic part starts.
class StoppingStep : public symbolic::SymbolicStep {
public:
    explicit StoppingStep(test::RecordingHost& host) : host_(host) {}
    ListingOutcome afterListing(const ListingContext& context) override {
        host_.stopRequested = true;
        return SymbolicStep::afterListing(context);
    }

private:
    test::RecordingHost& host_;
};

TEST(SymbolicBounds, ACancelDuringTheSymbolicPartSavesNothing) {
    test::TempDir dir;
    test::RecordingHost host;
    host.symbolic.enabled = true;
    std::vector<std::string> lines;
    AnalysisLog log([&](std::string_view line) { lines.emplace_back(line); });
    Analysis analysis(host, log);
    analysis.addListingStep(std::make_unique<StoppingStep>(host));
    host.analysis = &analysis;
    const std::string netlist = dir.write("escada.net", rcLadder(3));
    EXPECT_EQ(analysis.runAnalysis(netlist), RunOutcome::Cancelled);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines.back(), "Análise cancelada.");
    EXPECT_EQ(lines[lines.size() - 2], "Símbolos: C1 C2 C3 R1 R2 R3 V1");
    EXPECT_FALSE(std::filesystem::exists(dir.file("escada.d")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("escada.n1")));
}

}  // namespace
}  // namespace corvane
