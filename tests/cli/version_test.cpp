// --version prints the one version of the build, in the form packages and users read.
#include <gtest/gtest.h>

#include <regex>

#include "cli_runner.h"

namespace corvane {
namespace {

using test::runCli;

TEST(VersionTest, PrintsTheProjectVersion) {
    const test::CliResult result = runCli({"--version"});
    EXPECT_EQ(result.status, cli::ExitSuccess);
    EXPECT_EQ(result.out, "corvane " CORVANE_PROJECT_VERSION "\n");
    EXPECT_TRUE(std::regex_match(result.out, std::regex("corvane [0-9]+\\.[0-9]+\\.[0-9]+\n")))
        << result.out;
    EXPECT_EQ(result.err, "");
}

TEST(VersionTest, HelpListsIt) {
    const test::CliResult result = runCli({"--help"});
    EXPECT_NE(result.out.find("  --version             mostra a versão\n"), std::string::npos);
}

TEST(VersionTest, IsAnOptionOfItsOwnNotOfACommand) {
    const test::CliResult result = runCli({"analisar", "--version", "rc.net"});
    EXPECT_EQ(result.status, cli::ExitUsage);
    EXPECT_NE(result.err.find("opção desconhecida: --version"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace corvane
