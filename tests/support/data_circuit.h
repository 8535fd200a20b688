// A circuit of the test data folder (tests/data), read as the analysis reads it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "analysis_log.h"
#include "netlist_reader.h"

namespace corvane::test {

/// The netlist `name` of the test data folder read into a new run, its log left quiet; a
/// netlist that cannot be read fails the test.
inline RunState readDataCircuit(const std::string& name) {
    RunState run;
    run.VariableNames[0] = VariableName{'0'};
    AnalysisLog quiet([](std::string_view) {});
    EXPECT_TRUE(readNetlist(run, quiet, std::string(CORVANE_TEST_DATA_DIR) + "/" + name)) << name;
    return run;
}

}  // namespace corvane::test
