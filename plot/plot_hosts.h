// What the plotter needs of its windows, and nothing more: the plot list window's edit
// boxes, list, file dialog and check boxes, and showing or hiding the plot window. The
// windows implement these; so do the command-line front end and the tests.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "plot_quantities.h"

namespace corvane {

/// The check boxes of the plot list window, read at every paint and key of the plot
/// window, so a change shows at the next repaint without "Plotar".
class PlotCheckBoxes {
public:
    virtual ~PlotCheckBoxes() = default;

    /// CBhz, "Frequências em Hz".
    virtual bool hz() const = 0;
    /// CBlog, "Frequências em escala logarítmica".
    virtual bool logarithmic() const = 0;
    /// Unchecks CBlog, visibly: the paint does it when a frequency limit is not positive.
    virtual void uncheckLogarithmic() = 0;
    /// CBgrade, "Grade".
    virtual bool grid() const = 0;
    /// The check box of a quantity that has one (PlotQuantityRow::checkBox): CBfase,
    /// "Fase"; CBtg, "Atraso de grupo".
    virtual bool shows(PlotQuantity quantity) const = 0;
    /// CBfasecontinua, "Fase contínua": the phase unwrapped along each curve from its
    /// value at the lowest frequency. Unchecked where a host has no such box.
    virtual bool continuousPhase() const { return false; }
    /// CBlegenda, "Legenda": the legend of the curves. Unchecked where a host has no such
    /// box.
    virtual bool legend() const { return false; }
    /// CBcores, "Cores por curva": each curve in its own colour, its phase dashed and its
    /// delay dotted. Unchecked where a host has no such box.
    virtual bool coloursPerCurve() const { return false; }
};

/// Whether the curves of `q` are drawn: always for a quantity without a check box.
inline bool isShown(const PlotCheckBoxes& boxes, const PlotQuantityRow& q) {
    return q.checkBox == nullptr || boxes.shows(q.quantity);
}

/// The plot list window as "Adicionar" and "Plotar" use it.
class PlotListHost {
public:
    virtual ~PlotListHost() = default;

    /// The text of an edit box.
    virtual std::string editText(PlotEditBox box) const = 0;
    /// The whole text of Memo1, lines separated by "\n" (or "\r\n").
    virtual std::string listText() const = 0;
    /// Appends one line at the end of Memo1.
    virtual void appendListLine(std::string_view line) = 0;
    /// Runs OpenDialog1 (filter "Numeradores (*.n[1-9] *.n[1-9][0-9])"); no value when the
    /// user cancels.
    virtual std::optional<std::string> chooseNumeratorFile() = 0;
    /// CBsemdegrau, "Sem 1/s": the curves of step runs read as s·X(s), the transfer
    /// function. Unchecked where a host has no such box.
    virtual bool withoutStep() const { return false; }

    /// Hides the frequency plot window.
    virtual void hidePlotWindow() = 0;
    /// Shows the plot window and brings it to the front; it then repaints.
    virtual void showPlotWindow() = 0;

    /// Shows the message that stopped the last command where its boxes and list are, or
    /// clears it when `message` is empty. The log has every message as well: a console,
    /// whose log is on screen, shows nothing more.
    virtual void showMessage(std::string_view message) const { static_cast<void>(message); }
};

}  // namespace corvane
