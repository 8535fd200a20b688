#include "window_table.h"

#include <array>
#include <optional>

#include "frequency_plot_window.h"
#include "main_window.h"
#include "options_window.h"
#include "plot_list_window.h"
#include "pole_zero_window.h"
#include "program.h"
#include "stability_plot_window.h"
#include "time_plot_window.h"
#include "tolerance_window.h"
#include "variables_window.h"

namespace corvane::ui {

namespace {

using WindowPointer = std::unique_ptr<QWidget>;

struct WindowRow {
    /// Creates the window with the services it uses. The windows of earlier rows exist
    /// already; later ones are found through the table when they are opened.
    WindowPointer (*create)(Program& program, Windows& windows);
    /// A plot view's button in the plot list; none for the other windows.
    std::optional<PlotViewButton> button;
};

// In the order the windows are created, Form1 to Form6, then TFormPZ, TFormNyquist,
// TFormNichols and TFormTolerancia. A new plot view is one more row.
const auto WindowTable = std::to_array<WindowRow>({
    {[](Program& p, Windows& w) -> WindowPointer {
         return std::make_unique<MainWindow>(p.errorBox(), p.analysis(), w, [&p] { p.quit(); });
     },
     std::nullopt},
    {[](Program& p, Windows& w) -> WindowPointer {
         return std::make_unique<OptionsWindow>(p.errorBox(), p.log(), p.analysis(), p.host(), w);
     },
     std::nullopt},
    {[](Program& p, Windows&) -> WindowPointer {
         return std::make_unique<VariablesWindow>(p.errorBox(), p.analysis());
     },
     std::nullopt},
    {[](Program& p, Windows& w) -> WindowPointer {
         return std::make_unique<PlotListWindow>(p.errorBox(), p.plotter(), p.analysis(),
                                                 w.plotViews());
     },
     std::nullopt},
    {[](Program& p, Windows& w) -> WindowPointer {
         return std::make_unique<FrequencyPlotWindow>(p.errorBox(), p.plotter(), p.log(),
                                                      w.get<PlotListWindow>());
     },
     PlotViewButton{"Button2", "Plotar", {400, 344, 75, 25}, true}},
    {[](Program& p, Windows&) -> WindowPointer {
         return std::make_unique<TimePlotWindow>(p.errorBox(), p.log(), p.plotter());
     },
     PlotViewButton{"Button4", "Tempo", {560, 8, 75, 25}}},
    // Under "Cores por curva", the one free place left inside the client area.
    {[](Program& p, Windows&) -> WindowPointer {
         return std::make_unique<PoleZeroWindow>(p.log(), p.errorBox());
     },
     PlotViewButton{"Button6", "Polos e zeros", {566, 384, 98, 23}}},
    // The stability views share the row added under the others for them.
    {[](Program& p, Windows&) -> WindowPointer {
         return std::make_unique<NyquistWindow>(p.log(), p.errorBox());
     },
     PlotViewButton{"Button7", "Nyquist", {464, 412, 98, 23}}},
    {[](Program& p, Windows&) -> WindowPointer {
         return std::make_unique<NicholsWindow>(p.log(), p.errorBox());
     },
     PlotViewButton{"Button8", "Nichols", {566, 412, 98, 23}}},
    // Opened by the run that has tolerances, and by the main menu.
    {[](Program& p, Windows&) -> WindowPointer {
         return std::make_unique<ToleranceWindow>(p.log(), p.errorBox());
     },
     std::nullopt},
});

}  // namespace

Windows::Windows(Program& program) : program_(program) {
    windows_.reserve(WindowTable.size());
    for (const WindowRow& row : WindowTable)
        windows_.push_back(row.create(program, *this));
    MainWindow& main = get<MainWindow>();
    program.log().connect([&main](std::string_view line) { main.appendLogLine(line); });
    program.host().attach(this);
    // Its warnings go to the log, which shows them now that Memo1 is there.
    program.useMemoryForMinorsFromEnvironment();
}

Windows::~Windows() {
    program_.host().attach(nullptr);
    program_.log().connect({});
    // Last created, first gone: a window never outlives one it was handed.
    while (!windows_.empty())
        windows_.pop_back();
}

void Windows::start() {
    show<MainWindow>();
}

PlotViewEntries Windows::plotViews() {
    PlotViewEntries views;
    for (std::size_t i = 0; i < WindowTable.size(); ++i) {
        if (!WindowTable[i].button) continue;
        views.push_back({*WindowTable[i].button, [this, i]() -> PlotView& {
                             return dynamic_cast<PlotView&>(*windows_.at(i));
                         }});
    }
    return views;
}

}  // namespace corvane::ui
