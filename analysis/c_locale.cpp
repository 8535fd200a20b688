#include "c_locale.h"

#include <locale.h>

#include <cerrno>
#include <climits>
#include <clocale>
#include <cstdlib>

namespace corvane {

namespace {

// Created once and never changed: the "C" locale object shared by every guard.
locale_t cLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
    return locale;
}

}  // namespace

ScopedCLocale::ScopedCLocale() : previous_(uselocale(cLocale())) {}

ScopedCLocale::~ScopedCLocale() {
    uselocale(static_cast<locale_t>(previous_));
}

void useCNumericLocale() {
    std::setlocale(LC_NUMERIC, "C");
}

double textToDouble(const char* text) {
    return strtod_l(text, nullptr, cLocale());
}

int textToInt(const char* text) {
    const long value = strtol_l(text, nullptr, 10, cLocale());
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace corvane
