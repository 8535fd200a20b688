// --version prints the one version of the build, in the form packages and users read.
#include <gtest/gtest.h>

#include <string_view>

#include "cli_runner.h"

namespace corvane {
namespace {

using test::runCli;

// "X.Y.Z": three whole numbers separated by dots.
bool isThreePartVersion(std::string_view text) {
    int dots = 0;
    bool digitBefore = false;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            digitBefore = true;
        } else if (c == '.' && digitBefore) {
            ++dots;
            digitBefore = false;
        } else {
            return false;
        }
    }
    return digitBefore && dots == 2;
}

TEST(VersionTest, TheFormCheckRefusesOtherForms) {
    EXPECT_TRUE(isThreePartVersion("1.1.0"));
    EXPECT_TRUE(isThreePartVersion("10.20.300"));
    for (const char* wrong : {"1.1", "1.1.0.", "1..0", ".1.1", "1.1.0a", "1.1.0.2", ""}) {
        EXPECT_FALSE(isThreePartVersion(wrong)) << wrong;
    }
}

TEST(VersionTest, PrintsTheProjectVersion) {
    const test::CliResult result = runCli({"--version"});
    EXPECT_EQ(result.status, cli::ExitSuccess);
    const std::string first = result.out.substr(0, result.out.find('\n') + 1);
    EXPECT_EQ(first, "corvane " CORVANE_PROJECT_VERSION "\n");
    EXPECT_TRUE(isThreePartVersion(std::string_view(first).substr(8, first.size() - 9))) << first;
    // Then the licence, as free programs say it.
    EXPECT_NE(result.out.find("Licença GPLv3+: GNU GPL versão 3 ou posterior"), std::string::npos);
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
