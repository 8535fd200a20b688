#include "noise_sources.h"

namespace corvane::noise {

std::vector<NoiseSource> thermalNoiseSources(const RunState& run, double kelvin) {
    std::vector<NoiseSource> sources;
    for (int i = 1; i <= run.elementCount; ++i) {
        const Element& e = run.ElementTable[static_cast<std::size_t>(i)];
        if (e.kind() != 'R') continue;
        sources.push_back({e.name, e.positiveNode(), e.negativeNode(),
                           4.0 * BoltzmannConstant * kelvin / e.value});
    }
    return sources;
}

}  // namespace corvane::noise
