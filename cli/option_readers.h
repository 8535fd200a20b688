// The values of options that more than one command takes, or that read a number the way
// the rest of the program reads it. Each refuses a value it cannot take with a
// UsageError that names the option and repeats the text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "command_arguments.h"
#include "document_curves.h"

namespace corvane::cli {

/// The entries of a comma-separated list; empty entries are dropped.
std::vector<std::string> splitList(std::string_view list);

/// --memoria-cache: a whole number of MiB, digits only, as bytes; no less than the engine
/// can work with.
std::size_t parseMebibytes(std::string_view text);

/// --limite-termos: a whole number of terms, 1 or more, digits only.
long parseTermLimit(std::string_view text);

/// --dispersao, read as the options window reads Edisp.
double parseDispersionOption(std::string_view text);

/// A number of seconds, zero or more, all of the text.
double parseSeconds(std::string_view option, std::string_view text);

/// --pontos: a number of points, 2 to 1000000.
int parsePoints(std::string_view text);

/// A frequency in Hz, zero or more, with the netlist's suffixes (1k, 2.5MEG) and "." or ",".
double parseFrequencyOption(std::string_view option, std::string_view text);
/// --temperatura: degrees Celsius above absolute zero, "." or ",".
double parseCelsiusOption(std::string_view text);
/// --faixa F1 F2: two frequencies, the second larger.
std::pair<double, double> parseBandOption(Arguments& args);
/// The largest drawing surface accepted, in either direction.
inline constexpr int MaxImageExtent = 16384;

/// --largura and --altura: a number of pixels, 1 to MaxImageExtent.
int parseExtent(std::string_view option, std::string_view text);

/// --json and --variaveis of plotar and tempo: takes the current argument when it is one of
/// them; false for any other.
bool takeDocumentOption(Arguments& args, DocumentSelection& document);

/// Refuses a command line with neither a list nor a document, or with --variaveis but no
/// document.
void requireListOrDocument(const Arguments& args, const DocumentSelection& document);

}  // namespace corvane::cli
