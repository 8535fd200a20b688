// The ranges the plot list window starts with, as the plot's tests use them.
#pragma once

#include "plot_data.h"

namespace corvane::test {

inline PlotParameters startRanges() {
    PlotParameters p;
    p.wmin = 0.1;
    p.wmax = 5;
    p.gmin = -60;
    p.gmax = 20;
    p.fmin = -180;
    p.fmax = 180;
    p.amin = -10;
    p.amax = 40;
    p.segmentos = 300;
    return p;
}

}  // namespace corvane::test
