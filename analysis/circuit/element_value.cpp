#include "element_value.h"

#include <cctype>
#include <cmath>
#include <string_view>

#include "floating_point.h"

namespace corvane {

bool kindHasValue(char kind) {
    return std::string_view("RCLGEFHKVI").find(kind) != std::string_view::npos;
}

bool valueMovesPoles(char kind) {
    return std::string_view("RCLGEFHK").find(kind) != std::string_view::npos;
}

int findElementNamed(const RunState& run, std::string_view name) {
    const auto same = [](std::string_view a, std::string_view b) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (std::toupper(static_cast<unsigned char>(a[i])) !=
                std::toupper(static_cast<unsigned char>(b[i])))
                return false;
        }
        return true;
    };
    for (int i = 1; i <= run.elementCount; ++i) {
        if (same(run.ElementTable[static_cast<std::size_t>(i)].name, name)) return i;
    }
    return 0;
}

void setElementValue(RunState& run, int element, double value) {
    run.ElementTable[static_cast<std::size_t>(element)].value = value;
    for (int i = 1; i <= run.elementCount; ++i) {
        Element& k = run.ElementTable[static_cast<std::size_t>(i)];
        if (k.kind() != 'K') continue;
        if (i != element && k.firstInductor() != element && k.secondInductor() != element) continue;
        const double l1 = run.ElementTable[static_cast<std::size_t>(k.firstInductor())].value;
        const double l2 = run.ElementTable[static_cast<std::size_t>(k.secondInductor())].value;
        checkFloatingPoint([&] { k.value2 = std::sqrt(l1 * l2) * k.value; });
    }
}

RunState withElementValue(const RunState& run, int element, double value) {
    RunState changed = run;
    setElementValue(changed, element, value);
    return changed;
}

}  // namespace corvane
