// The windows of the program, created from one table (window_table.cpp): each row creates
// one window and hands it the services it uses; a plot view's row also gives its button
// in the plot list. A window that opens another finds it here when it opens it.
#pragma once

#include <QWidget>

#include <memory>
#include <stdexcept>
#include <vector>

#include "plot_view.h"
#include "window_style.h"

namespace corvane::ui {

class Program;

class Windows {
public:
    /// Creates every window of the table, in its order, all hidden; then the log writes to
    /// the main window's Memo1 and the analysis host reads the options and variables
    /// windows.
    explicit Windows(Program& program);
    /// The log and the host let go of the windows before they are destroyed.
    ~Windows();
    Windows(const Windows&) = delete;
    Windows& operator=(const Windows&) = delete;

    /// Shows the main window, and only it.
    void start();

    /// The window of type `Window` (each type has one row).
    template <class Window>
    Window& get() const {
        for (const std::unique_ptr<QWidget>& window : windows_) {
            if (auto* found = dynamic_cast<Window*>(window.get())) return *found;
        }
        throw std::logic_error("janela ausente da tabela de janelas");
    }

    /// Shows the window of type `Window` without modality and brings it to the front.
    template <class Window>
    void show() const {
        showWindow(get<Window>());
    }

    /// The plot views of the table, in its order, with their buttons.
    PlotViewEntries plotViews();

private:
    Program& program_;
    std::vector<std::unique_ptr<QWidget>> windows_;
};

}  // namespace corvane::ui
