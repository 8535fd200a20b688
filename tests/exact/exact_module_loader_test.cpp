// The exact module is loaded on first use and only then: a numeric run never loads it nor
// FLINT; a module that is missing or does not fit is refused with a message that names the
// file and gives the loader's reason, never a crash.
#include <dlfcn.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "corvane_version.h"
#include "data_circuit.h"
#include "exact_module_loader.h"
#include "temp_dir.h"

extern char** environ;

namespace corvane {
namespace {

using test::TempDir;

const std::string Prefix = "Não foi possível carregar o módulo da análise exata ";

// The reason the system's loader gives for `file`, asked directly.
std::string openFailure(const std::string& file) {
    void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    EXPECT_EQ(handle, nullptr) << file;
    const char* why = ::dlerror();
    return why != nullptr ? why : "";
}

std::string entryFailure(const std::string& file) {
    void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    EXPECT_NE(handle, nullptr) << file;
    if (handle == nullptr) return {};
    EXPECT_EQ(::dlsym(handle, ExactModuleEntryName), nullptr);
    const char* why = ::dlerror();
    std::string reason = why != nullptr ? why : "";
    ::dlclose(handle);
    return reason;
}

std::string refusal(ExactModuleLoader& loader) {
    try {
        loader.module();
    } catch (const ExactModuleUnavailable& unavailable) {
        return unavailable.what();
    }
    return "carregado";
}

struct BrokenModule {
    const char* what;
    // Makes the folder's module file, if any.
    std::function<void(const TempDir&)> make;
    std::function<std::string(const std::string& file)> reason;
};

void copyStandIn(const char* source, const TempDir& folder) {
    std::filesystem::copy_file(source, folder.file(ExactModuleFileName));
}

TEST(ExactModuleLoaderTest, AMissingOrBrokenModuleIsRefusedNamingTheFileAndTheReason) {
    const std::vector<BrokenModule> cases = {
        {"no file", [](const TempDir&) {}, openFailure},
        {"not a shared object",
         [](const TempDir& folder) { folder.write(ExactModuleFileName, "isto não é um módulo\n"); },
         openFailure},
        {"empty file", [](const TempDir& folder) { folder.write(ExactModuleFileName, ""); },
         openFailure},
        {"no entry", [](const TempDir& folder) { copyStandIn(CORVANE_MODULE_WITHOUT_ENTRY, folder); },
         entryFailure},
        {"another version",
         [](const TempDir& folder) { copyStandIn(CORVANE_MODULE_OF_ANOTHER_VERSION, folder); },
         [](const std::string&) {
             return std::string("não é da versão ") + ProgramVersion + " do programa";
         }},
    };
    for (const BrokenModule& c : cases) {
        TempDir folder;
        c.make(folder);
        const std::string file = folder.file(ExactModuleFileName);
        ExactModuleLoader loader({folder.path()});
        const std::string expected = Prefix + file + ": " + c.reason(file);
        EXPECT_EQ(refusal(loader), expected) << c.what;
        // Refused again, not remembered as loaded.
        EXPECT_EQ(refusal(loader), expected) << c.what;
    }
}

TEST(ExactModuleLoaderTest, NoFolderSaysTheProgramsFolderIsUnknown) {
    ExactModuleLoader loader({});
    EXPECT_EQ(refusal(loader), Prefix + "corvane-exato.so: a pasta do programa não foi encontrada");
}

TEST(ExactModuleLoaderTest, AProgramInTheBuildTreeTakesTheBuiltModule) {
    const std::vector<std::filesystem::path> folders = exactModuleFolders();
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_TRUE(std::filesystem::equivalent(folders[0], CORVANE_BUILT_MODULE_FOLDER));
}

TEST(ExactModuleLoaderTest, TheFirstFolderThatHoldsTheModuleIsUsed) {
    TempDir empty;
    ExactModuleLoader loader({empty.path(), CORVANE_BUILT_MODULE_FOLDER});
    const ExactModule& module = loader.module();
    EXPECT_EQ(&loader.module(), &module);
    // rc_lowpass.net has R1 and C1; a name of the selection that names nothing comes back.
    const RunState run = test::readDataCircuit("rc_lowpass.net");
    EXPECT_EQ(module.unknownSymbolNames(run, {"r1", "R9", "C1"}), std::vector<std::string>{"R9"});
}

// corvane-cli run with the system loader's list of the files it opens on its standard error.
std::string filesOpenedBy(const std::vector<std::string>& args, const TempDir& folder) {
    std::vector<std::string> owned{CORVANE_CLI_PATH};
    owned.insert(owned.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : owned)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment{"LD_DEBUG=files"};
    for (char** e = environ; *e != nullptr; ++e)
        environment.emplace_back(*e);
    std::vector<char*> envp;
    for (std::string& e : environment)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string log = folder.file("loader.txt");
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const std::string previous = std::filesystem::current_path().string();
    std::filesystem::current_path(folder.path());
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
    std::filesystem::current_path(previous);
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(spawned, 0);
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    return test::readFile(log);
}

TEST(ExactModuleLoaderTest, OnlyARunThatNeedsExactNumbersLoadsTheModuleAndFlint) {
    TempDir folder;
    std::filesystem::copy_file(std::string(CORVANE_TEST_DATA_DIR) + "/rc_lowpass.net",
                               folder.file("rc.net"));
    struct Run {
        std::vector<std::string> args;
        bool loads;
    };
    for (const Run& run : {Run{{"--version"}, false}, Run{{"analisar", "rc.net"}, false},
                           Run{{"analisar", "--polos-zeros", "rc.net"}, false},
                           Run{{"analisar", "--simbolica", "rc.net"}, true}}) {
        const std::string files = filesOpenedBy(run.args, folder);
        ASSERT_NE(files.find("libc.so"), std::string::npos) << "no loader trace";
        EXPECT_EQ(files.find(ExactModuleFileName) != std::string::npos, run.loads) << run.args.back();
        EXPECT_EQ(files.find("libflint") != std::string::npos, run.loads) << run.args.back();
    }
}

}  // namespace
}  // namespace corvane
