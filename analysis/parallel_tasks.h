// Independent pieces of one job run side by side on the machine's cores: the roots and the
// partial fractions of curves of different circuits, say. Each task writes only its own
// result, so the results, and their order, are those of a loop over the tasks.
#pragma once

#include <functional>

namespace corvane {

/// Runs task(0) .. task(count − 1), on as many threads as the machine has cores (the
/// calling thread among them), and returns when all have ended. The floating-point status
/// flags the tasks raised are raised on the calling thread, so that its checkpoint sees
/// them as it would have seen a loop's; an exception thrown by a task is thrown here once
/// all have ended, the one of the lowest task when several threw.
void runInParallel(int count, const std::function<void(int)>& task);

}  // namespace corvane
