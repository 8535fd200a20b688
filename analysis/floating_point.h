// Floating-point faults (division by zero, invalid operation, overflow) are detected from
// the status flags at well-defined checkpoints, never by hardware traps: the flags are
// cleared right before an operation that ordinary input can drive into a fault and tested
// right after it, so a flag raised elsewhere (the C library converting "1e999", say) never
// fires later. A raised flag becomes a FloatingPointFault that abandons the command in
// which it arose.
#pragma once

#include <atomic>
#include <stdexcept>

namespace corvane {

class FloatingPointFault : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Clears the status flags of the three faults.
void clearFloatingPointFaults() noexcept;

/// Throws FloatingPointFault naming the fault when one of the three flags is raised.
void throwOnFloatingPointFault();

/// Runs `operation` between a clear and a test of the fault flags. The operation must
/// leave its results in memory it was given, so that the compiler cannot move the
/// arithmetic past the test.
template <class Operation>
void checkFloatingPoint(Operation&& operation) {
    clearFloatingPointFaults();
    std::atomic_signal_fence(std::memory_order_seq_cst);
    operation();
    std::atomic_signal_fence(std::memory_order_seq_cst);
    throwOnFloatingPointFault();
}

}  // namespace corvane
