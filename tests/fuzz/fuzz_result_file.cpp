// Fuzz target: a result file read by "Plotar" and evaluated over the frequency grid. The
// first byte picks whether the file is a numerator (over 1) or a denominator (under
// rc.n1), the check boxes and the keys; the rest is the file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "plot_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    using corvane::fuzz::workFile;
    const std::uint8_t choice = data[0];
    corvane::fuzz::writeFile(workFile("f.n1"),
                             std::string(reinterpret_cast<const char*>(data + 1), size - 1));

    corvane::cli::PlotOptions options;
    options.hz = choice & 1;
    options.logarithmic = !(choice & 2);
    options.grid = !(choice & 4);
    options.editTexts[8] = (choice & 8) ? "600" : "40";
    const std::string list = (choice & 16) ? workFile("rc.n1") + "\n" + workFile("f.n1")
                                           : workFile("f.n1") + "\n" + workFile("um.d");
    corvane::fuzz::plotAndPaint(options, list, static_cast<std::uint8_t>(choice >> 5));
    return 0;
}
