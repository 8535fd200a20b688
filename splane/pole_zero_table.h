// The pole-zero map as a CSV table, with every digit of each root: one row per distinct
// root (curva,tipo,real,imag,multiplicidade) and, with a locus, one row per pole of each
// value (tipo "lugar") in a sixth column "valor".
#pragma once

#include <string>

#include "pole_zero_map.h"
#include "root_locus.h"

namespace corvane {

/// The table's text, numbers with "%.17g" and "." as the decimal separator. With `locus`
/// (of curve `locusCurve`), the header and every row have the column "valor", empty on the
/// rows of the map.
std::string poleZeroTable(const PoleZeroMap& map, const RootLocus* locus = nullptr,
                          int locusCurve = 1);

}  // namespace corvane
