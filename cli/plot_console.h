// The plot list window and its check boxes as the command line gives them: the options
// stand for the controls of the plot list window, the list file for the text of Memo1.
#pragma once

#include <array>
#include <cstdio>
#include <string>

#include "plot_canvas.h"
#include "plot_hosts.h"
#include "plotter.h"

namespace corvane::cli {

struct PlotOptions {
    /// The texts of Ewmin .. Esegmentos, converted as "Plotar" converts them.
    std::array<std::string, 9> editTexts{"0.1", "5",   "-60", "20", "-180",
                                         "180", "-10", "40",  "300"};
    bool hz = false;
    bool logarithmic = true;
    bool grid = true;
    bool phase = true;
    bool groupDelay = true;

    std::string& editText(PlotEditBox box) { return editTexts[static_cast<int>(box)]; }
};

class ConsolePlotList : public PlotListHost {
public:
    ConsolePlotList(const PlotOptions& options, std::string listText)
        : options_(options), listText_(std::move(listText)) {}

    std::string editText(PlotEditBox box) const override {
        return options_.editTexts[static_cast<int>(box)];
    }
    std::string listText() const override { return listText_; }
    void appendListLine(std::string_view) override {}
    std::optional<std::string> chooseNumeratorFile() override { return std::nullopt; }
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
    bool phase() const override { return options_.phase; }
    bool groupDelay() const override { return options_.groupDelay; }

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
/// curve and grid point (curva, ponto, frequencia, ganho_db, fase_graus, atraso_s), the
/// numbers with "%.17g" and "." as decimal separator. Returns false when writing failed.
bool writeResponseTable(const Plotter& plotter, const std::string& path);

}  // namespace corvane::cli
