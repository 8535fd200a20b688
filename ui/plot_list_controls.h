// The controls of the plot list window that stand for the rows of plot_quantities.h: the
// object names of the edit boxes and of their labels, and the check boxes of the
// quantities that can be hidden, with their captions and places on the window's row of
// check boxes.
#pragma once

#include <array>
#include <cstddef>

#include "plot_quantities.h"

namespace corvane::ui {

/// An edit box of the plot list window and the label to its left.
struct EditBoxControl {
    PlotEditBox box;
    const char* objectName;
    const char* labelName;
};

/// In PlotEditBox order, which is the order the window stacks them.
inline constexpr std::array<EditBoxControl, PlotEditBoxCount> EditBoxControls{{
    {PlotEditBox::Ewmin, "Ewmin", "Label1"},
    {PlotEditBox::Ewmax, "Ewmax", "Label2"},
    {PlotEditBox::Egmin, "Egmin", "Label4"},
    {PlotEditBox::Egmax, "Egmax", "Label3"},
    {PlotEditBox::Efmin, "Efmin", "Label6"},
    {PlotEditBox::Efmax, "Efmax", "Label5"},
    {PlotEditBox::Eamin, "Eamin", "Label7"},
    {PlotEditBox::Eamax, "Eamax", "Label8"},
    {PlotEditBox::Esegmentos, "Esegmentos", "Label9"},
}};

/// The check box of a quantity that has a switch (PlotQuantityRow::checkBox).
struct QuantityCheckBoxControl {
    PlotQuantity quantity;
    const char* objectName;
    const char* caption;
    /// Its place on the row of check boxes.
    int left;
    int width;
};

/// In the order of PlotQuantities.
inline constexpr std::array<QuantityCheckBoxControl, 2> QuantityCheckBoxControls{{
    {PlotQuantity::Phase, "CBfase", "Fase", 464, 57},
    {PlotQuantity::Delay, "CBtg", "Atraso de grupo", 520, 148},
}};

namespace detail {
constexpr bool editBoxControlsInEnumOrder() {
    for (std::size_t i = 0; i < EditBoxControls.size(); ++i) {
        if (static_cast<std::size_t>(EditBoxControls[i].box) != i) return false;
    }
    return true;
}

// One check box for each quantity with a switch, in the quantities' order.
constexpr bool checkBoxControlsMatchSwitches() {
    std::size_t n = 0;
    for (const PlotQuantityRow& q : PlotQuantities) {
        if (!q.checkBox) continue;
        if (n == QuantityCheckBoxControls.size() ||
            QuantityCheckBoxControls[n].quantity != q.quantity)
            return false;
        ++n;
    }
    return n == QuantityCheckBoxControls.size();
}
}  // namespace detail

// Checked by the window tests rather than by static_assert: the sanitizers' build does not
// take the address comparisons of the second as constant expressions.

}  // namespace corvane::ui
