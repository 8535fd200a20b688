#include "engine_options.h"

#include <ctime>

namespace corvane {

long wallClockSeconds() {
    return static_cast<long>(std::time(nullptr));
}

}  // namespace corvane
