// Fuzz target: the SPICE reader. The input is a netlist read as "f.cir" in a work folder
// that also holds "sub.inc" (a subcircuit with parameters and an op-amp directive) and a
// folder "pasta", so .include, .lib, instances, parameters and the refusals all meet the
// fuzzer's lines. Only the analysis's own floating-point fault may escape a reading.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "analysis_log.h"
#include "floating_point.h"
#include "netlist_reader.h"
#include "run_state.h"

namespace {

constexpr const char* Included =
    "* a part beside the netlist\n"
    ".param rsub=1k\n"
    ".subckt part a b PARAMS: g=2\n"
    "R1 a m {rsub*g}\n"
    "C1 m b 1n\n"
    "E1 b 0 m 0 {g}\n"
    ".ends part\n"
    "*corvane amp-op OPA 1 2 3\n";

void removeWorkFolder();

std::string makeWorkFolder() {
    std::string pattern = access("/dev/shm", W_OK) == 0 ? "/dev/shm/corvane-fuzz-spice-XXXXXX"
                                                        : "/tmp/corvane-fuzz-spice-XXXXXX";
    if (!mkdtemp(pattern.data())) std::abort();
    std::FILE* file = std::fopen((pattern + "/sub.inc").c_str(), "wb");
    if (!file || std::fputs(Included, file) < 0 || std::fclose(file) != 0) std::abort();
    std::filesystem::create_directory(pattern + "/pasta");
    return pattern;
}

// One folder for the whole session, removed at exit before its name is destroyed.
const std::string& workFolder() {
    static const std::string folder = makeWorkFolder();
    static const bool removedAtExit = std::atexit(removeWorkFolder) == 0;
    (void)removedAtExit;
    return folder;
}

void removeWorkFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(workFolder(), ignored);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string netlist = workFolder() + "/f.cir";
    std::FILE* file = std::fopen(netlist.c_str(), "wb");
    if (!file) std::abort();
    if (std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) std::abort();

    corvane::RunState run;
    run.VariableNames[0] = corvane::VariableName{'0'};
    std::size_t printed = 0;
    corvane::AnalysisLog log([&printed](std::string_view line) { printed += line.size(); });
    try {
        (void)corvane::readNetlist(run, log, netlist);
    } catch (const corvane::FloatingPointFault&) {
    }
    return 0;
}
