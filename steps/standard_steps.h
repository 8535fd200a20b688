// The steps every front end's analysis walks after the numeric listing, beyond the roots
// and the measures that the analysis lists by itself: one list, so that a new kind of
// answer is its unit plus one line here.
#pragma once

#include "analysis.h"

namespace corvane {

/// Adds the symbolic analysis and the noise, in the order their lines appear, and the
/// exact engine for the circuits past the cofactor expansion's size.
void addStandardListingSteps(Analysis& analysis);

}  // namespace corvane
