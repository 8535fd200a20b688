#include "floating_point.h"

#include <cfenv>

namespace corvane {

namespace {
constexpr int WatchedFaults = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;
}

void clearFloatingPointFaults() noexcept {
    std::feclearexcept(WatchedFaults);
}

void throwOnFloatingPointFault() {
    const int raised = std::fetestexcept(WatchedFaults);
    if (raised & FE_DIVBYZERO) throw FloatingPointFault("Divisão por zero em ponto flutuante");
    // An overflow's infinity often goes on to an invalid operation (inf − inf): name the
    // cause.
    if (raised & FE_OVERFLOW) throw FloatingPointFault("Estouro em ponto flutuante");
    if (raised & FE_INVALID) throw FloatingPointFault("Operação inválida em ponto flutuante");
}

}  // namespace corvane
