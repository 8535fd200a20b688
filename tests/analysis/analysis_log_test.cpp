// Covers the log sink: printf formatting, one call one line, and lines past the fixed
// formatting buffer kept whole.
#include "analysis_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvane {
namespace {

struct CapturedLog {
    std::vector<std::string> lines;
    AnalysisLog log{[this](std::string_view line) { lines.emplace_back(line); }};
};

TEST(AnalysisLogTest, FormatsEachCallAsOneLine) {
    CapturedLog captured;
    captured.log.print("%s", "");
    captured.log.print("Arquivo %s inexistente", "a b%s.net");
    captured.log.print("a%d: %15.12f", 0, 0.5);
    captured.log.print("%+3.1fs%+3.1f ", 1e-6, -0.001);
    captured.log.print("Máximo número de multiplicações esperado: %Lg", 9.0L);
    EXPECT_EQ(captured.lines, (std::vector<std::string>{
                                  "", "Arquivo a b%s.net inexistente", "a0:  0.500000000000",
                                  "+0.0s-0.0 ", "Máximo número de multiplicações esperado: 9"}));
}

TEST(AnalysisLogTest, KeepsLinesLongerThanTheBufferWhole) {
    CapturedLog captured;
    const std::string longText(5000, 'x');
    captured.log.print("<%s>", longText.c_str());
    ASSERT_EQ(captured.lines.size(), 1u);
    EXPECT_EQ(captured.lines[0], "<" + longText + ">");

    const std::string edge(1999, 'y');
    captured.log.print("%s", edge.c_str());
    captured.log.print("%s", (edge + "z").c_str());
    EXPECT_EQ(captured.lines[1], edge);
    EXPECT_EQ(captured.lines[2], edge + "z");
}

TEST(AnalysisLogTest, PrintsNothingAnywhereWhenNotConnected) {
    AnalysisLog log;
    log.print("%d", 1);  // must not crash
    std::vector<std::string> lines;
    log.connect([&](std::string_view line) { lines.emplace_back(line); });
    log.print("%d", 2);
    EXPECT_EQ(lines, std::vector<std::string>{"2"});
}

}  // namespace
}  // namespace corvane
