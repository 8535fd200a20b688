// Small rules shared by the lines of the listing that give frequencies and values.
#pragma once

#include <numbers>

namespace corvane {

/// A frequency in rad/s as the listing also gives it, in Hz.
inline double hertz(double radiansPerSecond) {
    return radiansPerSecond / (2.0 * std::numbers::pi);
}

/// "%.6g" writes −0 as "-0"; a value on an axis reads better as 0.
inline double withoutNegativeZero(double x) {
    return x + 0.0;
}

}  // namespace corvane
