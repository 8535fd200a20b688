// Fuzz target: "Plotar" on any plot list and edit boxes. The first nine lines of the
// input are the texts of Ewmin .. Esegmentos, the rest is Memo1; a list line that is not
// a comment and not an absolute path is taken inside the work folder, where result files
// are prepared (rc.n1, rc.d, um.d, zero.n1, vazio.n1, texto.n1, and the folder
// pasta.n1). Every accepted list is painted, with keys.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "plot_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    corvane::fuzz::workFolder();
    std::string_view text(reinterpret_cast<const char*>(data), size);
    corvane::cli::PlotOptions options;
    for (std::string& edit : options.editTexts) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) break;
        edit = std::string(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    std::string list;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        const bool inFolder = !line.empty() && line[0] != '*' && line[0] != '/';
        list += inFolder ? corvane::fuzz::workFile(line) : std::string(line);
        list += '\n';
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    const std::uint8_t keys = size > 0 ? data[size - 1] : 0;
    options.logarithmic = !(keys & 1);
    corvane::fuzz::plotAndPaint(options, list, keys);
    return 0;
}
