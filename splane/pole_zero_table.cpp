#include "pole_zero_table.h"

#include <cstdio>

#include "c_locale.h"

namespace corvane {

namespace {

std::string row(int curve, const char* kind, std::complex<double> value, int multiplicity) {
    char text[160];
    // A negative zero would read "-0" in a spreadsheet for a root on the axis.
    const double re = value.real() == 0.0 ? 0.0 : value.real();
    const double im = value.imag() == 0.0 ? 0.0 : value.imag();
    std::snprintf(text, sizeof text, "%d,%s,%.17g,%.17g,%d", curve, kind, re, im, multiplicity);
    return text;
}

}  // namespace

std::string poleZeroTable(const PoleZeroMap& map, const RootLocus* locus, int locusCurve) {
    ScopedCLocale locale;
    std::string text = "curva,tipo,real,imag,multiplicidade";
    text += locus ? ",valor\n" : "\n";
    for (const MapRoot& root : map.roots) {
        text += row(root.curve, roleName(root.role), root.value, root.multiplicity);
        text += locus ? ",\n" : "\n";
    }
    if (!locus) return text;
    for (const LocusSample& sample : locus->samples) {
        char value[40];
        std::snprintf(value, sizeof value, ",%.17g\n", sample.value);
        for (const std::complex<double>& pole : sample.poles)
            text += row(locusCurve, "lugar", pole, 1) + value;
    }
    return text;
}

}  // namespace corvane
