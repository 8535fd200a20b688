#include "parallel_tasks.h"

#include <algorithm>
#include <atomic>
#include <cfenv>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

namespace corvane {

void runInParallel(int count, const std::function<void(int)>& task) {
    if (count <= 0) return;
    const int threads =
        std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, count);
    std::vector<std::exception_ptr> failures(static_cast<std::size_t>(count));
    std::atomic<int> next{0};
    std::atomic<int> raised{0};
    const auto work = [&] {
        for (int i = next++; i < count; i = next++) {
            try {
                task(i);
            } catch (...) {
                failures[static_cast<std::size_t>(i)] = std::current_exception();
            }
        }
        raised |= std::fetestexcept(FE_ALL_EXCEPT);
    };
    {
        std::vector<std::jthread> helpers;
        for (int t = 1; t < threads; ++t) {
            // A thread the system will not give leaves its share to the others.
            try {
                helpers.emplace_back(work);
            } catch (const std::system_error&) {
                break;
            }
        }
        work();
    }
    std::feraiseexcept(raised.load());
    for (const std::exception_ptr& failure : failures) {
        if (failure) std::rethrow_exception(failure);
    }
}

}  // namespace corvane
