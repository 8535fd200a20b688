// Covers analysis/output_target.cpp and the way result_set.cpp puts a set in place: path
// shapes (links, folders, FIFOs, read-only files) for one file, the identity of two paths,
// a Ctrl-C while a file is written (no temporary left, nothing replaced) and the folder
// lock that keeps two runs' sets from mixing.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "fifo_reader.h"
#include "output_target.h"
#include "replace_file.h"
#include "result_set.h"
#include "temp_dir.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::size_t entriesIn(const fs::path& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
}

TEST(OutputTargetTest, EachPathShapeIsWrittenAsItIs) {
    test::TempDir dir;
    const std::string file = dir.write("alvo.csv", "antigo\n");
    fs::create_symlink(file, dir.file("ligacao.csv"));
    fs::create_symlink(dir.file("ligacao.csv"), dir.file("dupla.csv"));
    fs::create_symlink(dir.file("novo.csv"), dir.file("pendente.csv"));
    fs::create_directory(dir.file("pasta.csv"));
    const std::string locked = dir.write("protegido.csv", "antigo\n");
    fs::permissions(locked, fs::perms::owner_read);
    struct Case {
        const char* path;
        WholeFileStatus status;
        const char* written;  // the file whose contents are "novo\n" afterwards, if any
    };
    const Case cases[] = {
        {"alvo.csv", WholeFileStatus::Saved, "alvo.csv"},
        {"ligacao.csv", WholeFileStatus::Saved, "alvo.csv"},
        {"dupla.csv", WholeFileStatus::Saved, "alvo.csv"},
        {"pendente.csv", WholeFileStatus::Saved, "novo.csv"},
        {"pasta.csv", WholeFileStatus::WriteFailed, nullptr},
        {"protegido.csv", WholeFileStatus::CannotCreate, nullptr},
    };
    for (const Case& c : cases) {
        dir.write("alvo.csv", "antigo\n");
        EXPECT_EQ(saveWholeFile(dir.file(c.path), "novo\n"), c.status) << c.path;
        if (c.written) {
            EXPECT_EQ(test::readFile(dir.file(c.written)), "novo\n") << c.path;
        }
    }
    for (const char* link : {"ligacao.csv", "dupla.csv", "pendente.csv"})
        EXPECT_TRUE(fs::is_symlink(dir.file(link))) << link;
    EXPECT_EQ(test::readFile(locked), "antigo\n");
    EXPECT_EQ(entriesIn(dir.path()), 7u);  // no temporary left
}

TEST(OutputTargetTest, AFifoIsWrittenDirectly) {
    test::TempDir dir;
    const std::string fifo = dir.file("canal");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(resolveOutput(fifo).kind, OutputKind::Direct);
    const test::FifoReader reader(fifo);
    ASSERT_TRUE(reader.opened());
    EXPECT_EQ(saveWholeFile(fifo, "pelo canal\n"), WholeFileStatus::Saved);
    EXPECT_EQ(reader.text(), "pelo canal\n");
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(resolveOutput("/dev/stdout").kind, OutputKind::Direct);
}

// /dev/stdout is the process's own descriptor: written where it stands, so output appended
// to a log keeps what the log held, and the log stays a regular file of its own.
TEST(OutputTargetTest, StandardOutputIsWrittenWhereItStands) {
    test::TempDir dir;
    const std::string log = dir.write("registro.txt", "antes\n");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int fd = open(log.c_str(), O_WRONLY | O_APPEND);
        if (fd < 0 || dup2(fd, STDOUT_FILENO) < 0) _exit(2);
        _exit(saveWholeFile("/dev/stdout", "tabela\n") == WholeFileStatus::Saved ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(test::readFile(log), "antes\ntabela\n");
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(OutputTargetTest, SameFileSeesThroughLinks) {
    test::TempDir dir;
    const std::string a = dir.write("a", "x");
    fs::create_hard_link(a, dir.file("dura"));
    fs::create_symlink(a, dir.file("simbolica"));
    fs::create_symlink(dir.file("nada"), dir.file("pendente"));
    const std::string b = dir.write("b", "x");
    EXPECT_TRUE(sameFile(a, dir.file("dura")));
    EXPECT_TRUE(sameFile(dir.file("simbolica"), a));
    EXPECT_TRUE(sameFile(dir.file("./a"), a));
    EXPECT_TRUE(sameFile(dir.file("pendente"), dir.file("nada")));
    EXPECT_FALSE(sameFile(a, b));
    EXPECT_FALSE(sameFile(dir.file("nada"), a));
}

// The child is stopped by SIGINT in the middle of the write, with the default action.
TEST(OutputTargetTest, CtrlCWhileWritingLeavesNoTemporary) {
    test::TempDir dir;
    const std::string table = dir.write("tabela.csv", "antigo\n");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGINT, SIG_DFL);
        replaceFileWith(table, [](std::FILE* file) {
            std::fputs("metade", file);
            std::raise(SIGINT);
            return std::fputs(" e o resto\n", file) >= 0;
        });
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);
    EXPECT_EQ(test::readFile(table), "antigo\n");
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

// Whether process `pid` waits for a flock, from /proc/locks ("-> FLOCK ... WRITE <pid>").
bool waitsForLock(pid_t pid) {
    std::ifstream locks("/proc/locks");
    // Built by appending: GCC 12 warns falsely (-Wrestrict) on " " + std::string at -O2.
    std::string holder = " ";
    holder += std::to_string(pid);
    holder += ' ';
    std::string line;
    while (std::getline(locks, line)) {
        if (line.find("->") != std::string::npos && line.find(holder) != std::string::npos)
            return true;
    }
    return false;
}

TEST(OutputTargetTest, ASetWaitsForTheFolderLock) {
    test::TempDir dir;
    const std::string d = dir.write("m.d", "antigo\n");
    const std::string n1 = dir.write("m.n1", "antigo\n");
    const int folder = open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(folder, 0);
    ASSERT_EQ(flock(folder, LOCK_EX), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(folder);
        const Polynomial one = [] {
            Polynomial p;
            p.degree = 0;
            p.coef[0] = 1.0;
            p.constant = 1.0;
            return p;
        }();
        _exit(saveResultSet({{d, &one, {}}, {n1, &one, {}}}).status == SaveStatus::Saved ? 0 : 1);
    }
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    bool exited = false;
    while (!waitsForLock(child) && std::chrono::steady_clock::now() < deadline) {
        if (waitpid(child, &status, WNOHANG) == child) {
            exited = true;
            break;
        }
        std::this_thread::sleep_for(1ms);
    }
    // While another holds the lock, the whole previous set stays.
    EXPECT_FALSE(exited);
    EXPECT_EQ(test::readFile(d), "antigo\n");
    EXPECT_EQ(test::readFile(n1), "antigo\n");
    close(folder);
    if (!exited) {
        ASSERT_EQ(waitpid(child, &status, 0), child);
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_NE(test::readFile(d), "antigo\n");
    EXPECT_NE(test::readFile(n1), "antigo\n");
    EXPECT_EQ(entriesIn(dir.path()), 2u);
}

}  // namespace
}  // namespace corvane
