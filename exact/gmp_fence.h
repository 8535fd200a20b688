// GMP ends the process when an allocation fails. The programs' own GMP (the roots use it
// through MPSolve) is fenced at start; the exact module fences its FLINT and its GMP when
// it is loaded.
#pragma once

namespace corvane {

/// Makes GMP's failed allocations throw std::bad_alloc instead of aborting, so that a
/// caller can stop with a message and keep what it has. Call it before any GMP object
/// exists; safe to call any number of times.
void fenceGmpAborts();

}  // namespace corvane
