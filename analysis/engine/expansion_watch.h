// A long expansion looks up from its work now and then: to say how far it is, to let the
// windows process their events and to stop when the user asks. The recursion calls step()
// on its way down; only one call in StepsPerLook does more than count.
#pragma once

#include <functional>
#include <utility>

namespace corvane {

/// Thrown through the recursion when the user cancels the analysis. The recursion holds
/// nothing that needs releasing by hand: unwinding it leaves every object whole.
class ExpansionCancelled {};

class ExpansionWatch {
public:
    /// Called at every look; may throw ExpansionCancelled.
    using Look = std::function<void()>;

    ExpansionWatch() = default;
    explicit ExpansionWatch(Look look) : look_(std::move(look)) {}

    void step() {
        if (--countdown_ != 0) return;
        countdown_ = StepsPerLook;
        if (look_) look_();
    }

private:
    // A step is one expansion of a minor of order 5 or more (memoised), or of order 3 or
    // more (plain): microseconds at most, so a look comes every few milliseconds.
    static constexpr int StepsPerLook = 1024;
    int countdown_ = StepsPerLook;
    Look look_;
};

}  // namespace corvane
