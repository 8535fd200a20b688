// A dense RC network for the tests of long analyses: every node joined to every other by
// a resistor and to ground by a capacitor (as many as the limit of 200 elements leaves),
// driven by a current step at node 1. Its system has no zero entry, so the number of
// distinct minors doubles with each node.
#pragma once

#include <algorithm>
#include <string>

#include "numbered.h"

namespace corvane::test {

inline std::string denseRcNetlist(int nodes) {
    std::string text = "Malha RC densa de " + std::to_string(nodes) + " nós\n";
    text += "I1 0 1 1 DEGRAU\n";
    int r = 0;
    const int capacitors = std::min(nodes, 200 - 1 - nodes * (nodes - 1) / 2);
    for (int a = 1; a <= nodes; ++a) {
        if (a <= capacitors) {
            text += numbered("C", a) + " " + std::to_string(a) + " 0 " +
                    std::to_string(1 + a % 3) + "e-6\n";
        }
        for (int b = a + 1; b <= nodes; ++b) {
            text += numbered("R", ++r) + " " + std::to_string(a) + " " + std::to_string(b) +
                    " " + std::to_string(1000 + 37 * ((a * 7 + b * 3) % 11)) + "\n";
        }
    }
    return text;
}

}  // namespace corvane::test
