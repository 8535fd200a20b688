// The plot list window and its check boxes as the command line gives them: the options
// stand for the controls of the plot list window, the list file for the text of Memo1.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "plot_canvas.h"
#include "plot_hosts.h"
#include "plotter.h"

namespace corvane::cli {

struct PlotOptions {
    /// The texts of the edit boxes in PlotEditBox order, converted as "Plotar" converts
    /// them; at first the window's own.
    std::array<std::string, PlotEditBoxCount> editTexts = initialEditTexts<std::string>();
    bool hz = false;
    bool logarithmic = true;
    bool grid = true;
    bool continuousPhase = false;
    bool legend = true;
    bool coloursPerCurve = false;
    /// --sem-degrau, "Sem 1/s": the curves of step runs as their transfer functions.
    bool withoutStep = false;
    /// The check box of each quantity that has one, in PlotQuantities order.
    std::array<bool, PlotQuantityCount> shown = allShown();

    std::string& editText(PlotEditBox box) { return editTexts[static_cast<std::size_t>(box)]; }
    const std::string& editText(PlotEditBox box) const {
        return editTexts[static_cast<std::size_t>(box)];
    }

private:
    static std::array<bool, PlotQuantityCount> allShown() {
        std::array<bool, PlotQuantityCount> shown{};
        shown.fill(true);
        return shown;
    }
};

class ConsolePlotList : public PlotListHost {
public:
    ConsolePlotList(const PlotOptions& options, std::string listText)
        : options_(options), listText_(std::move(listText)) {}

    std::string editText(PlotEditBox box) const override { return options_.editText(box); }
    std::string listText() const override { return listText_; }
    void appendListLine(std::string_view) override {}
    std::optional<std::string> chooseNumeratorFile() override { return std::nullopt; }
    bool withoutStep() const override { return options_.withoutStep; }
    void hidePlotWindow() override {}
    void showPlotWindow() override {}

private:
    const PlotOptions& options_;
    std::string listText_;
};

class ConsoleCheckBoxes : public PlotCheckBoxes {
public:
    explicit ConsoleCheckBoxes(const PlotOptions& options) : options_(options) {}

    bool hz() const override { return options_.hz; }
    bool logarithmic() const override { return options_.logarithmic; }
    void uncheckLogarithmic() override { options_.logarithmic = false; }
    bool grid() const override { return options_.grid; }
    bool shows(PlotQuantity q) const override {
        return options_.shown[static_cast<std::size_t>(q)];
    }
    bool continuousPhase() const override { return options_.continuousPhase; }
    bool legend() const override { return options_.legend; }
    bool coloursPerCurve() const override { return options_.coloursPerCurve; }

private:
    PlotOptions options_;
};

/// A surface that shows nothing: the paint still evaluates the curves into the table.
class NullCanvas : public PlotCanvas {
public:
    void fillRectangle(int, int, int, int, Colour) override {}
    void setPen(Colour, PenStyle) override {}
    void drawLine(int, int, int, int) override {}
    void drawOutline(int, int, int, int, Colour) override {}
    int textWidth(std::string_view) override { return 0; }
    void drawText(int, int, std::string_view, Colour, Colour) override {}
};

/// Writes the response table of the last paint as CSV: a header line, then one row per
/// curve and grid point (curva, ponto, frequencia, then the column of each quantity:
/// ganho_db, fase_graus, atraso_s), the numbers with "%.17g" and "." as decimal separator;
/// a point a curve could not be evaluated at has no row.
/// The file is replaced whole or left as it was; returns false when writing failed.
bool writeResponseTable(const Plotter& plotter, const std::string& path);

/// An output file of plotar or tempo and the option that named it.
struct NamedOutput {
    const char* option;
    std::string path;
};

/// Whether the outputs given (an empty path is none) spare every file the command reads,
/// the list `listPath` and each file its text `listText` names (a JSON document too), and
/// each other, compared by identity so that links count. Else says which on `err`, before
/// anything is written.
bool outputsSpareInputs(const std::vector<NamedOutput>& outputs, const std::string& listPath,
                        std::string_view listText, std::FILE* err);

}  // namespace corvane::cli
