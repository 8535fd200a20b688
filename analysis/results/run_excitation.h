// What drove the run behind a set of results: all its independent sources impulses, or all
// steps. Only then is its X(s) a network function times one transform, 1 or 1/s, and the
// response to the other excitation exactly s·X(s) or X(s)/s; a run with both kinds, with
// initial conditions (whose terms do not scale with the sources) or with no source at all
// has no such answer, and the reason is given instead.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace corvane {

struct RunState;

enum class Excitation { Impulse, Step };

/// How one entry of a run's sources drives it (the "tipo" of the JSON document's "fontes").
enum class SourceKind { Impulse, Step, InitialCondition };

struct RunSource {
    std::string name;
    SourceKind kind = SourceKind::Impulse;
};

/// The excitation of a run, or, without one, why not in Portuguese (no full stop), naming
/// `where` ("o netlist rc.net", "o documento r.json").
struct ExcitationFinding {
    std::optional<Excitation> excitation;
    std::string problem;
};

/// The independent sources (I, V) and the nonzero initial conditions (C, L) of a netlist
/// as read, in its order.
std::vector<RunSource> sourcesOfRun(const RunState& run);

/// The excitation of a run with these sources: initial conditions first, since they
/// spoil either answer; then no source; then impulses mixed with steps.
ExcitationFinding excitationOfSources(std::span<const RunSource> sources, const std::string& where);

/// The excitation of the run whose result files have the stem `stem`, from the netlist
/// "<stem>.net" beside them, trusted only as variablesOfResults trusts it.
ExcitationFinding excitationOfResults(const std::string& stem);

}  // namespace corvane
