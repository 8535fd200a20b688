// Numbers are read and written with "." as the decimal separator whatever the user's
// locale. The program sets the numeric locale to "C" at start; the entry points of the
// analysis and the plotter also switch their thread to the "C" locale for their duration,
// so the libraries behave the same when embedded elsewhere (tests, other front ends).
#pragma once

namespace corvane {

/// Switches the calling thread to the "C" locale until destroyed.
class ScopedCLocale {
public:
    ScopedCLocale();
    ~ScopedCLocale();
    ScopedCLocale(const ScopedCLocale&) = delete;
    ScopedCLocale& operator=(const ScopedCLocale&) = delete;

private:
    void* previous_;
};

/// Sets the process's numeric locale to "C" (call after anything that set it from the
/// environment, such as the creation of the window toolkit's application object).
void useCNumericLocale();

/// The standard text-to-double conversion (atof) in the "C" locale: leading blanks
/// skipped, the longest numeric prefix converted, 0 when the text holds no number.
double textToDouble(const char* text);

/// The standard text-to-integer conversion (atoi) in the "C" locale, with values beyond
/// the range of int held at its ends instead of overflowing.
int textToInt(const char* text);

}  // namespace corvane
