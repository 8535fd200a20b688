// Which files belong to one analysis run: the netlist, the base name of its results, the
// denominator file and the numerator files, and which denominator a numerator file goes
// with. Every reader and writer of these files asks this type.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

class ResultFileNames {
public:
    /// The patterns of numerator file names, "<base>.n1" to "<base>.n1000", for file
    /// dialogs: none matches a netlist ("*.net") or a denominator.
    static constexpr const char* NumeratorPattern =
        "*.n[1-9] *.n[1-9][0-9] *.n[1-9][0-9][0-9] *.n1000";
    /// Added to a chosen file name without '.'; the netlist of a run's results is
    /// "<stem>" followed by it.
    static constexpr const char* NetlistSuffix = ".net";
    /// The other names a netlist of a run may end with: SPICE's.
    static constexpr std::array<const char*, 4> SpiceSuffixes{".cir", ".sp", ".spice", ".ckt"};

    /// The netlist beside the result files "<stem>.*": "<stem>.net" when it exists or no
    /// netlist does, else the first of "<stem>.cir", ".sp", ".spice", ".ckt" that exists.
    static std::string netlistOfResults(std::string_view stem);

    /// From the path the user chose. Only the file name (after the last '/') is looked at,
    /// so a '.' in a folder name never cuts the path:
    ///   - a file name without '.' opens `path` + ".net";
    ///   - the base name is the path cut at the last '.' of the file name, so
    ///     "amp.v1.net" gives "amp.v1" and "amp.cir" gives "amp".
    explicit ResultFileNames(std::string_view path);

    /// The netlist's path as opened.
    const std::string& netlist() const { return netlist_; }
    /// The stem of every result file.
    const std::string& baseName() const { return baseName_; }
    /// "<base>.d".
    std::string denominator() const { return baseName_ + ".d"; }
    /// "<base>.n<k>", k from 1.
    std::string numerator(int k) const { return baseName_ + ".n" + std::to_string(k); }
    /// "<base>.ruido": the noise at the chosen output, written with the set when the run
    /// asks for the noise.
    std::string noiseDensities() const { return baseName_ + ".ruido"; }
    /// "<base>.malha": the loop gain of the chosen source, written with the set when the
    /// run asks for it.
    std::string loopGain() const { return baseName_ + ".malha"; }
    /// "<base>.varredura.json": the document of the step of one value, written with the
    /// set when the run asks for a step; no other result file ends so.
    std::string stepDocument() const { return baseName_ + ".varredura.json"; }

    /// The denominator file of the numerator file `path`: the path cut before the last
    /// ".n" (or ".N") of its file name, followed by ".d", so "amp.v1.n3" pairs with
    /// "amp.v1.d". No value when the file name has neither.
    static std::optional<std::string> denominatorFor(std::string_view numeratorPath);

    /// The largest numerator number a run writes: one per variable, and a run without the
    /// netlist format's limits takes up to 1000 variables.
    static constexpr int HighestNumerator = 1000;

    /// Whether the file name of `path` is a numerator's as a run writes it: ".n" (or
    /// ".N") and a number from 1 to HighestNumerator without leading zeros at its end, so
    /// "amp.v1.n3" is and "amp.net", "amp.d" and "amp.n0" are not.
    static bool isNumeratorFile(std::string_view path);

private:
    std::string netlist_;
    std::string baseName_;
};

}  // namespace corvane
