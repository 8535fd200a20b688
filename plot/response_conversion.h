// One netlist for both jobs: the response to an impulse from a run driven by steps, and
// to a step from a run driven by impulses, and the transfer function of a step run without
// the step's 1/s. The listed functions are X(s), the transform of the response to the
// run's own sources; the conversion multiplies or divides it by s exactly, on the
// polynomials, once the run's sources say which it needs.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "analysis_log.h"
#include "plot_data.h"
#include "run_excitation.h"

namespace corvane {

/// Which response the listed curves stand for.
enum class ResponseChoice {
    /// X(s) as the run wrote it: the response to the netlist's own sources.
    FromNetlist,
    Impulse,
    Step,
    /// The network function: X(s) of an impulse run, s·X(s) of a step run.
    TransferFunction,
};

/// The excitation of the run behind the list line `line`: from the netlist beside a
/// numerator file "<stem>.n<k>" (checked as variablesOfResults checks it), or from the
/// "fontes" of the document of a line "<document>.json#<variable>".
ExcitationFinding excitationOfListLine(const std::string& line);

struct ConvertedResponse {
    std::optional<PlotCurve> curve;
    /// Why not: the degree a polynomial would pass.
    std::string problem;
};

/// X(s) of a run driven by `from` as the response to `to`, exactly: s·X(s) divides the
/// denominator by s where it vanishes at 0 (the step's own pole, or the circuit's), and
/// otherwise multiplies the numerator by s; X(s)/s divides the numerator by s where it
/// vanishes at 0, and otherwise multiplies the denominator by s. The same excitation, or
/// a zero numerator, gives `x` itself. No curve when a polynomial would pass MaxLiftedDegree.
ConvertedResponse convertResponse(const PlotCurve& x, Excitation from, Excitation to);

/// The netlists "<stem>.net" that a conversion of the list `listText` reads beside its
/// numerator files, one per line, as further lines of the list: an output of the command
/// must spare them too.
std::string netlistsReadForList(std::string_view listText);

/// Curve k of a list, refused by convertListedCurves.
using CurveMask = std::array<bool, MaxCurves + 1>;

/// Curves 1 .. `count` of `curves`, read from the list lines `lines`, made the responses
/// `choice` asks for, in place. A curve whose run has no single excitation, or whose
/// conversion would pass the degree limit, keeps its function, is marked in the mask
/// returned and is named in the log: "Curva 2 (rc.n2): a resposta ao impulso não pode ser
/// calculada: o netlist rc.net tem fontes de impulso e de degrau; curva omitida."
/// FromNetlist reads nothing and changes nothing; nor does any choice to a noise density.
CurveMask convertListedCurves(PlotCurves& curves, int count,
                              const std::array<std::string, MaxCurves + 1>& lines,
                              ResponseChoice choice, AnalysisLog& log);

}  // namespace corvane
