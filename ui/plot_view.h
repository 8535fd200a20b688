// A plot view: a window that draws the curves of the plot list, opened by its own button
// in the plot list window. The views and their buttons are rows of the window table
// (window_table.cpp); the plot list builds its buttons from those rows, so a new view
// needs no change to it.
#pragma once

#include <QRect>

#include <functional>
#include <vector>

namespace corvane::ui {

class PlotListWindow;

class PlotView {
public:
    virtual ~PlotView() = default;

    /// Its button was pressed: reads the list (and whatever else it needs of the plot list
    /// window) and shows the curves, or logs why it cannot.
    virtual void openFrom(PlotListWindow& list) = 0;
    /// A check box of the plot list changed; a view that reads them draws again.
    virtual void checkBoxesChanged() {}
};

/// A view's button in the plot list window.
struct PlotViewButton {
    const char* objectName;
    const char* caption;
    QRect geometry;
    /// The view of the edit boxes' ranges: Enter in an edit box and "Ajustar" open it, and
    /// Tab reaches its button right after "Ajustar". Tab reaches the other views' buttons
    /// after the check boxes, in the order of the table.
    bool drawsRanges = false;
};

/// A view as the plot list sees it: its button, and the window, found when it is opened
/// (the views are created after the plot list).
struct PlotViewEntry {
    PlotViewButton button;
    std::function<PlotView&()> view;
};

using PlotViewEntries = std::vector<PlotViewEntry>;

}  // namespace corvane::ui
