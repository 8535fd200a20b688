#include "step_values.h"

#include "number_text.h"
#include "parameter_step.h"

namespace corvane::variation {

ValueList readValueList(std::string_view text) {
    const char separator = text.find(';') != std::string_view::npos ? ';' : ',';
    ValueList list;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(separator, start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view entry = text.substr(start, end - start);
        const std::optional<double> value = parseBoxNumber(entry);
        if (!value) {
            list.badEntry = std::string(entry);
            return list;
        }
        list.values.push_back(*value);
        if (static_cast<int>(list.values.size()) > MaxStepValues) {
            list.tooMany = true;
            return list;
        }
        start = end + 1;
    }
    return list;
}

std::optional<int> readStepPoints(std::string_view text) {
    int value = 0;
    bool valid = !text.empty() && text.size() <= 5;
    for (const char c : text) {
        valid = valid && c >= '0' && c <= '9';
        if (valid) value = value * 10 + (c - '0');
    }
    if (!valid || value < MinLocusPoints || value > MaxStepValues) return std::nullopt;
    return value;
}

}  // namespace corvane::variation
