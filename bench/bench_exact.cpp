// The exact engine on circuits of growing size, one workload per run of the program so
// that the peak resident memory it reports is the workload's own. Reads the netlist with
// the limits lifted, as `analisar --sem-limites` does, then times the engine alone.
//
//   build/bench/bench_exact WORKLOAD [--sistema FILE] [--denominador FILE] [--flint-det]
//
// Workloads: filtro_ativo_N (Sallen-Key cascade, N unknowns), escada_rc_N (N unknowns),
// aleatorio_N (random sparse circuit of about N unknowns, local connections),
// aleatorio_longo_N (random connections between any two nodes).
// Prints one Markdown row: workload, unknowns, degree, primes, points per prime, products per
// point, processor seconds, peak MiB. --sistema writes the system for bench/sympy_exact.py;
// --denominador the exact denominator, one coefficient (p/q) per line, lowest first;
// --flint-det times FLINT's fmpz_poly_mat_det on the dense integer matrix instead.
#include <sys/resource.h>
#include <time.h>

#include <flint/fmpz_poly_mat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "exact_engine.h"
#include "netlist_reader.h"
#include "numbered.h"

namespace corvane::bench {
namespace {

std::string sallenKeyCascade(int unknowns) {
    const int stages = (unknowns - 2) / 4;
    std::string text = "Filtro ativo\nV1 s0 0 1 IMPULSO\n";
    for (int i = 1; i <= stages; ++i) {
        const std::string k = std::to_string(i);
        std::string in = "s";
        in += std::to_string(i - 1);
        text += "Ra" + k + " " + in + " a" + k + " 10k\n";
        text += "Rb" + k + " a" + k + " b" + k + " 12k\n";
        text += "Ca" + k + " a" + k + " s" + k + " 2.2n\n";
        text += "Cb" + k + " b" + k + " 0 1n\n";
        text += "O" + k + " s" + k + " 0 b" + k + " s" + k + "\n";
    }
    return text;
}

std::string rcLadder(int unknowns) {
    const int sections = unknowns - 2;
    std::string text = "Escada RC\nV1 n0 0 1 DEGRAU\n";
    for (int i = 1; i <= sections; ++i) {
        text += test::numbered("R", i) + test::numbered(" n", i - 1) + test::numbered(" n", i) + " 1k\n";
        text += test::numbered("C", i) + test::numbered(" n", i) + " 0 1u\n";
    }
    return text;
}

// Nodes joined by resistors, capacitors, inductors and now and then a transconductance or
// a voltage-controlled source, with two-digit values; `reach` bounds how far apart (in the
// nodes' numbering) an element's nodes are, 0 for anywhere.
std::string randomCircuit(int unknowns, int reach, unsigned seed) {
    std::mt19937 random(seed);
    const int nodes = unknowns * 4 / 5;
    std::uniform_int_distribution<int> digits(10, 99);
    const auto value = [&](const char* unit) { return std::to_string(digits(random)) + unit; };
    const auto near = [&](int i) {
        const int low = reach == 0 ? 0 : std::max(0, i - reach);
        return std::uniform_int_distribution<int>(low, std::max(low, i - 1))(random);
    };
    const auto node = [](int i) { return i == 0 ? std::string("0") : test::numbered("n", i); };
    std::string text = "Aleatorio\nV1 n1 0 1 IMPULSO\n";
    int count = 0;
    int currents = 1;
    std::set<int> driven;
    // The tree that joins every node is passive: a node reached only by a controlled
    // source's input would leave the system singular.
    const auto element = [&](int a, int b, bool passive) {
        const int kind = static_cast<int>(random() % (passive ? 16 : 20));
        const std::string k = std::to_string(++count);
        if (kind < 10) {
            text += "R" + k + " " + node(a) + " " + node(b) + " " + value("00") + "\n";
        } else if (kind < 16) {
            text += "C" + k + " " + node(a) + " " + node(b) + " " + value("n") + "\n";
        } else if (kind < 18 && currents < unknowns - nodes) {
            ++currents;
            text += "L" + k + " " + node(a) + " " + node(b) + " " + value("m") + "\n";
        } else if (kind < 19) {
            text += "G" + k + " " + node(a) + " 0 " + node(b) + " 0 " + value("u") + "\n";
        } else if (currents < unknowns - nodes && a > 1 && driven.insert(a).second) {
            // One source per node, none beside V1: two would be in parallel.
            ++currents;
            text += "E" + k + " " + node(a) + " 0 " + node(b) + " 0 0." + value("") + "\n";
        } else {
            text += "R" + k + " " + node(a) + " " + node(b) + " " + value("k") + "\n";
        }
    };
    for (int i = 2; i <= nodes; ++i)
        element(std::max(1, near(i)), i, true);
    for (int i = 1; i <= nodes; ++i)
        element(near(i + 1) == i ? 0 : near(i + 1), i, false);
    return text;
}

std::string workloadText(const std::string& name) {
    const auto sized = [&](const std::string& prefix) {
        return name.rfind(prefix, 0) == 0 ? std::atoi(name.c_str() + prefix.size()) : 0;
    };
    if (const int n = sized("filtro_ativo_")) return sallenKeyCascade(n);
    if (const int n = sized("escada_rc_")) return rcLadder(n);
    if (const int n = sized("aleatorio_longo_")) return randomCircuit(n, 0, 7u + static_cast<unsigned>(n));
    if (const int n = sized("aleatorio_")) return randomCircuit(n, 6, 7u + static_cast<unsigned>(n));
    std::fprintf(stderr, "carga desconhecida: %s\n", name.c_str());
    std::exit(2);
}

// The processor time of the process: the machine is shared, and the time on the wall
// says more about the others' builds than about the engine.
double processorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

long peakMebibytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

void writeSystem(const exact::ExactSystem& system, const std::string& path) {
    std::ofstream out(path);
    out << system.size() << "\n";
    for (int r = 1; r <= system.size(); ++r) {
        for (const auto& [column, entry] : system.row(r)) {
            char* g = fmpq_get_str(nullptr, 10, entry.g.get());
            char* c = fmpq_get_str(nullptr, 10, entry.c.get());
            out << r << " " << column << " " << g << " " << c << "\n";
            flint_free(g);
            flint_free(c);
        }
    }
}

void writeDenominator(const exact::RationalPolynomial& p, const std::string& path) {
    std::ofstream out(path);
    for (long d = 0; d <= p.degree(); ++d) {
        const exact::Fraction c = p.coefficient(d);
        char* text = fmpq_get_str(nullptr, 10, c.get());
        out << text << "\n";
        flint_free(text);
    }
}

// FLINT's determinant of the dense polynomial matrix, each row scaled to integers.
double flintDeterminantSeconds(const exact::ExactSystem& system) {
    const int n = system.size();
    fmpz_poly_mat_t matrix;
    fmpz_poly_mat_init(matrix, n, n);
    fmpz_t lcm;
    fmpz_t multiple;
    fmpz_init(lcm);
    fmpz_init(multiple);
    for (int r = 1; r <= n; ++r) {
        fmpz_one(lcm);
        for (const auto& [column, entry] : system.row(r)) {
            fmpz_lcm(lcm, lcm, fmpq_denref(entry.g.get()));
            fmpz_lcm(lcm, lcm, fmpq_denref(entry.c.get()));
        }
        for (const auto& [column, entry] : system.row(r)) {
            if (column > n) continue;
            fmpz_poly_struct* cell = fmpz_poly_mat_entry(matrix, r - 1, column - 1);
            fmpz_divexact(multiple, lcm, fmpq_denref(entry.g.get()));
            fmpz_mul(multiple, multiple, fmpq_numref(entry.g.get()));
            fmpz_poly_set_coeff_fmpz(cell, 0, multiple);
            fmpz_divexact(multiple, lcm, fmpq_denref(entry.c.get()));
            fmpz_mul(multiple, multiple, fmpq_numref(entry.c.get()));
            fmpz_poly_set_coeff_fmpz(cell, 1, multiple);
        }
    }
    fmpz_poly_t det;
    fmpz_poly_init(det);
    const double start = processorSeconds();
    fmpz_poly_mat_det(det, matrix);
    const double seconds = processorSeconds() - start;
    fmpz_poly_clear(det);
    fmpz_clear(lcm);
    fmpz_clear(multiple);
    fmpz_poly_mat_clear(matrix);
    return seconds;
}

int run(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "uso: bench_exact CARGA [--sistema ARQ] [--denominador ARQ] [--flint-det]\n");
        return 2;
    }
    const std::string name = argv[1];
    std::string systemFile;
    std::string denominatorFile;
    bool flintDet = false;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sistema" && i + 1 < argc) systemFile = argv[++i];
        else if (arg == "--denominador" && i + 1 < argc) denominatorFile = argv[++i];
        else if (arg == "--flint-det") flintDet = true;
    }
    const std::string path = "/tmp/corvane_bench_" + name + ".net";
    std::ofstream(path) << workloadText(name);
    RunState run;
    AnalysisLog quiet([](std::string_view) {});
    if (!readNetlist(run, quiet, path, LiftedRunLimits)) {
        std::fprintf(stderr, "%s: netlist recusado\n", name.c_str());
        return 1;
    }
    std::remove(path.c_str());
    const exact::ExactSystem system = exact::exactSystemOf(run);
    if (!systemFile.empty()) writeSystem(system, systemFile);
    if (flintDet) {
        std::printf("| %s | %d | fmpz_poly_mat_det | %.3f s | %ld MiB |\n", name.c_str(), system.size(),
                    flintDeterminantSeconds(system), peakMebibytes());
        return 0;
    }
    const double start = processorSeconds();
    exact::ExactFunctions f;
    try {
        f = exact::computeExactFunctions(system);
    } catch (const exact::ExactLimitReached& limit) {
        std::printf("| %s | %d | recusado: %s |\n", name.c_str(), system.size(), limit.what());
        return 0;
    }
    const double seconds = processorSeconds() - start;
    if (!denominatorFile.empty()) writeDenominator(f.denominator, denominatorFile);
    std::printf("| %s | %d | %ld | %d | %zu | %zu | %.3f | %ld |\n", name.c_str(), system.size(),
                f.denominator.degree(), f.work.primes, f.work.pointsPerPrime, f.work.productsPerPoint,
                seconds, peakMebibytes());
    return 0;
}

}  // namespace
}  // namespace corvane::bench

int main(int argc, char** argv) {
    return corvane::bench::run(argc, argv);
}
