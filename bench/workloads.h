// Circuits and systems of growing size for the benchmarks.
#pragma once

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "mna.h"
#include "numbered.h"

namespace corvane::bench {

/// An RC ladder driven by a step: a voltage source, then `sections` series resistors
/// each followed by a capacitor to ground. Unknowns: sections + 2.
inline std::string rcLadder(int sections) {
    std::string text = "Escada RC de " + std::to_string(sections) + " seções\nV1 n0 0 1 DEGRAU\n";
    for (int i = 1; i <= sections; ++i) {
        const std::string from = test::numbered("n", i - 1);
        const std::string to = test::numbered("n", i);
        text += test::numbered("R", i) + " " + from + " " + to + " 1000\n";
        text += test::numbered("C", i) + " " + to + " 0 1e-6\n";
    }
    return text;
}

/// An RC mesh of `rows` × `columns` nodes driven at a corner by a voltage source: a
/// resistor between every two neighbours, a capacitor from every other node to ground and
/// a load resistor from each of the two far corners to ground. Unknowns: rows · columns
/// + 1; resistors: rows · (columns − 1) + columns · (rows − 1) + 2.
inline std::string rcMesh(int rows, int columns) {
    const auto node = [columns](int r, int c) { return test::numbered("n", r * columns + c); };
    std::string text = "Malha RC ";
    text += std::to_string(rows);
    text += " x ";
    text += std::to_string(columns);
    text += "\nV1 ";
    text += node(0, 0);
    text += " 0 1 DEGRAU\n";
    int resistor = 0;
    int capacitor = 0;
    const auto addResistor = [&](const std::string& a, const std::string& b, const char* ohms) {
        text += test::numbered("R", ++resistor) + " " + a + " " + b + " " + ohms + "\n";
    };
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            if (c + 1 < columns) addResistor(node(r, c), node(r, c + 1), "1k");
            if (r + 1 < rows) addResistor(node(r, c), node(r + 1, c), "2.2k");
            if (r + c > 0) {
                ++capacitor;
                text += test::numbered("C", capacitor) + " " + node(r, c) + " 0 " +
                        std::to_string(capacitor) + "n\n";
            }
        }
    }
    addResistor(node(rows - 1, columns - 1), "0", "10k");
    addResistor(node(0, columns - 1), "0", "47k");
    return text;
}

/// A doubly terminated LC ladder (alternating shunt C and series L) of the given order.
/// Unknowns: the source's two, then a node and an inductor current per series inductor,
/// plus one node: 3 + 2 · (order / 2).
inline std::string lcLadder(int order) {
    std::string text =
        "Escada LC de ordem " + std::to_string(order) + "\nV1 in 0 1 IMPULSO\nRs in n1 1\n";
    int node = 1;
    for (int i = 1; i <= order; ++i) {
        const std::string here = test::numbered("n", node);
        if (i % 2 == 1) {
            text += test::numbered("C", i) + " " + here + " 0 1\n";
        } else {
            ++node;
            text += test::numbered("L", i) + " " + here + test::numbered(" n", node) + " 1\n";
        }
    }
    text += test::numbered("RL n", node) + " 0 1\n";
    return text;
}

/// A cascade of unity-gain Sallen-Key low-pass stages with ideal op-amps. Unknowns:
/// 2 + 4 per stage.
inline std::string sallenKeyCascade(int stages) {
    std::string text = "Cascata de " + std::to_string(stages) + " Sallen-Key\nV1 s0 0 1 IMPULSO\n";
    for (int i = 1; i <= stages; ++i) {
        const std::string k = std::to_string(i);
        const std::string in = test::numbered("s", i - 1);
        const std::string a = "a" + k, b = "b" + k, out = "s" + k;
        text += "Ra" + k + " " + in + " " + a + " 1\n";
        text += "Rb" + k + " " + a + " " + b + " 1\n";
        text += "Ca" + k + " " + a + " " + out + " 2\n";
        text += "Cb" + k + " " + b + " 0 0.5\n";
        text += "O" + k + " " + out + " 0 " + b + " " + out + "\n";
    }
    return text;
}

/// A random system with the sparsity of modified nodal analysis: node rows with their
/// diagonal and symmetric couplings, a few branch rows with ±1 pairs and a zero
/// diagonal, one excitation entry. About `nonZeros` entries in the n × n part.
inline SystemMatrix mnaLikeSystem(unsigned seed, int n, int nonZeros) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> index(1, n);
    std::uniform_real_distribution<double> value(0.1, 2.0);
    std::bernoulli_distribution dynamic(0.4);
    SystemMatrix m;
    auto set = [&](int r, int c, double s0, double s1) {
        MnaEntry& e = m.at(r, c);
        if (e.s0 == 0.0 && e.s1 == 0.0) --nonZeros;
        e.s0 = s0;
        e.s1 = s1;
        e.degree = s1 != 0.0 ? 1 : 0;
    };
    const int branches = n / 5;
    const int nodes = n - branches;
    for (int r = 1; r <= nodes; ++r)
        set(r, r, value(random), dynamic(random) ? value(random) : 0.0);
    // Each branch attaches to its own node, or the system would be singular.
    std::vector<int> attached(nodes);
    for (int i = 0; i < nodes; ++i)
        attached[i] = i + 1;
    std::shuffle(attached.begin(), attached.end(), random);
    for (int x = nodes + 1; x <= n; ++x) {
        const int a = attached[x - nodes - 1];
        set(a, x, 1.0, 0.0);
        set(x, a, 1.0, 0.0);
    }
    while (nonZeros > 1) {
        const int r = std::uniform_int_distribution<int>(1, nodes)(random);
        const int c = index(random);
        if (r == c || m.at(r, c).s0 != 0.0) continue;
        const double g = -value(random);
        const double c1 = dynamic(random) ? -value(random) : 0.0;
        set(r, c, g, c1);
        if (c <= nodes && nonZeros > 0) set(c, r, g, c1);
    }
    m.at(nodes + 1, n + 1).s0 = 1.0;
    return m;
}

/// A system of order n without zero entries.
inline SystemMatrix denseSystem(unsigned seed, int n) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> value(0.5, 1.5);
    std::bernoulli_distribution dynamic(0.5);
    SystemMatrix m;
    for (int r = 1; r <= n; ++r) {
        for (int c = 1; c <= n + 1; ++c) {
            const double s1 = dynamic(random) ? value(random) : 0.0;
            m.at(r, c) = MnaEntry{value(random), s1, s1 != 0.0 ? 1 : 0};
        }
    }
    return m;
}

}  // namespace corvane::bench
