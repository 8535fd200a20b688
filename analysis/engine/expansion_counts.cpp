#include "expansion_counts.h"

#include <algorithm>

namespace corvane {

std::string formatCount(ProductCount count) {
    std::string digits;
    do {
        digits.push_back(static_cast<char>('0' + static_cast<int>(count % 10)));
        count /= 10;
    } while (count != 0);
    std::reverse(digits.begin(), digits.end());
    return digits;
}

}  // namespace corvane
