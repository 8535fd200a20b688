#include "symbol_list.h"

#include <cctype>

namespace corvane::symbolic {

std::vector<std::string> splitSymbolList(const std::string& text) {
    std::vector<std::string> names;
    std::string current;
    for (const char c : text) {
        if (c == ',' || std::isspace(static_cast<unsigned char>(c))) {
            if (!current.empty()) names.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) names.push_back(current);
    return names;
}

}  // namespace corvane::symbolic
