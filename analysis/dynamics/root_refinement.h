// The last digits of isolated roots, found without multiprecision.
//
// MPSolve isolates the roots of a polynomial of degree 25 in about a fifth of the time it
// takes to refine them to double precision, and the refinement is what a time response or
// a listing of poles spends most of its time on. Once a disc holds one root and nothing
// else, Newton's method in double-double arithmetic (about 106 bits) takes the centre to the
// root, and a bound on what is left says which double each coordinate of the root falls to.
#pragma once

#include <complex>
#include <vector>

namespace corvane {

/// A root's approximation and the radius of a disc about it that holds the root. An
/// approximation carried to more than 53 bits is value + remainder, each coordinate of
/// value its leading digits truncated towards zero, and the disc is about that sum.
struct RootDisc {
    std::complex<double> value;
    double radius = 0.0;
    std::complex<double> remainder{};
};

/// Refines `roots`, discs from MPSolve's isolation of the roots of b[0] + b[1]·u + … (real
/// coefficients, b[0] ≠ 0, the degree at least 3 and the number of discs), in place: each
/// value becomes the root in its disc with each coordinate truncated towards zero to a
/// double, as MPSolve's refinement to 53 bits gives it, the remainder zero, and the radius
/// a bound of the distance left. A disc small enough already (MPSolve carries a root it
/// found hard to isolate far past 53 bits) is taken as it is; a coordinate below 2^-56 of the root's magnitude becomes zero, as it lies
/// far within the uncertainty that findRoots gives every root. False, with `roots` unspecified, when the discs are not
/// disjoint, when Newton's method leaves a disc, or when the bound cannot tell which double
/// a coordinate truncates to (a root that is a double itself, for one): the caller then
/// asks MPSolve for the refinement.
bool refineIsolatedRoots(const std::vector<double>& b, std::vector<RootDisc>& roots);

}  // namespace corvane
