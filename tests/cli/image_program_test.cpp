// Covers the boundary behind which the image export runs: the companion program's output
// and exit status come back unchanged, its failures are reported, and corvane-cli without
// its companion says what is missing.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "cli_runner.h"
#include "command_line.h"
#include "image_program.h"
#include "temp_dir.h"

namespace corvane::cli {
namespace {

struct Case {
    const char* script;
    int status;
    const char* out;
    const char* errStart;
};

TEST(ImageProgramTest, PassesOnOutputErrorsAndStatus) {
    const Case cases[] = {
        {"echo saída; echo erro >&2; exit 0", 0, "saída\n", "erro\n"},
        {"printf 'sem fim de linha'; exit 3", 3, "sem fim de linha", ""},
        {"exit 1", 1, "", ""},
        // Much more than a pipe's buffer on both streams at once must not block either.
        {"head -c 200000 /dev/zero | tr '\\0' a; head -c 200000 /dev/zero | tr '\\0' b >&2", 0,
         nullptr, "bbbb"},
        {"echo antes; kill -9 $$", -1, "antes\n", "corvane-cli: corvane-imagem terminou pelo sinal 9\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        test::MemoryStream out;
        test::MemoryStream err;
        const int status = runImageProgram("/bin/sh", {"-c", c.script}, out.file(), err.file());
        EXPECT_EQ(status, c.status);
        const std::string outText = out.text();
        const std::string errText = err.text();
        if (c.out) {
            EXPECT_EQ(outText, c.out);
        } else {
            EXPECT_EQ(outText, std::string(200000, 'a'));
            EXPECT_EQ(errText, std::string(200000, 'b'));
        }
        EXPECT_EQ(errText.rfind(c.errStart, 0), 0u) << errText;
    }
}

TEST(ImageProgramTest, AProgramThatCannotStartIsReported) {
    test::MemoryStream out;
    test::MemoryStream err;
    EXPECT_EQ(runImageProgram("/nao/existe/corvane-imagem", {"plotar"}, out.file(), err.file()),
              -1);
    EXPECT_EQ(out.text(), "");
    EXPECT_EQ(err.text().rfind("corvane-cli: não foi possível iniciar /nao/existe/corvane-imagem: ",
                               0),
              0u)
        << err.text();
}

#ifdef CORVANE_IMAGE_EXPORT
// A corvane-cli copied where no companion lies beside it nor in ../libexec/corvane.
TEST(ImageProgramTest, WithoutItsCompanionCorvaneCliSaysWhatIsMissing) {
    test::TempDir dir;
    const std::string cli = dir.file("corvane-cli");
    std::filesystem::copy_file(CORVANE_CLI_PATH, cli);
    const std::string list = dir.write("lista.txt", "* vazia\n");
    const std::string command = "'" + cli + "' plotar --imagem '" + dir.file("g.png") + "' '" +
                                list + "' > '" + dir.file("saida") + "' 2> '" +
                                dir.file("erros") + "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), ExitFailure);
    EXPECT_EQ(test::readFile(dir.file("erros")),
              "corvane-cli: não foi possível gravar a imagem " + dir.file("g.png") +
                  ": falta o programa corvane-imagem\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("g.png")));
}
#endif

}  // namespace
}  // namespace corvane::cli
