// Stand-ins for the plotter's windows in tests: a canvas that records every operation, the
// check boxes as plain fields, and a plot list window with its edit boxes, Memo1 and file
// dialog; plus a fixture that writes result files and runs "Plotar".
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "analysis_log.h"
#include "plot_canvas.h"
#include "plot_hosts.h"
#include "plotter.h"
#include "result_file.h"
#include "temp_dir.h"
#include "test_polynomial.h"

namespace corvane::test {

struct RecordedLine {
    int xa, ya, xb, yb;
    Colour colour;
    PenStyle style;
};

struct RecordedText {
    int left, top;
    std::string text;
    Colour colour;
    Colour background;
};

struct RecordedRectangle {
    int left, top, right, bottom;
    Colour colour;
};

/// Texts are 6 pixels per byte wide.
class RecordingCanvas : public PlotCanvas {
public:
    static constexpr int CharWidth = 6;

    std::vector<RecordedRectangle> fills;
    std::vector<RecordedRectangle> outlines;
    std::vector<RecordedLine> lines;
    std::vector<RecordedText> texts;
    /// One letter per operation in order: F fill, O outline, L line, T text.
    std::string order;

    void fillRectangle(int left, int top, int right, int bottom, Colour colour) override {
        fills.push_back({left, top, right, bottom, colour});
        order += 'F';
    }
    void setPen(Colour colour, PenStyle style) override {
        pen_ = colour;
        style_ = style;
    }
    void drawLine(int xa, int ya, int xb, int yb) override {
        lines.push_back({xa, ya, xb, yb, pen_, style_});
        order += 'L';
    }
    void drawOutline(int left, int top, int right, int bottom, Colour colour) override {
        outlines.push_back({left, top, right, bottom, colour});
        order += 'O';
    }
    int textWidth(std::string_view text) override {
        return static_cast<int>(text.size()) * CharWidth;
    }
    void drawText(int left, int top, std::string_view text, Colour colour,
                  Colour background) override {
        texts.push_back({left, top, std::string(text), colour, background});
        order += 'T';
    }

    std::vector<RecordedLine> linesIn(Colour colour, PenStyle style) const {
        std::vector<RecordedLine> result;
        for (const RecordedLine& line : lines) {
            if (line.colour == colour && line.style == style) result.push_back(line);
        }
        return result;
    }
    std::optional<RecordedText> text(const std::string& content) const {
        for (const RecordedText& t : texts) {
            if (t.text == content) return t;
        }
        return std::nullopt;
    }

private:
    Colour pen_;
    PenStyle style_ = PenStyle::Solid;
};

/// The plot list window's check boxes, in their initial states.
struct FakeCheckBoxes : PlotCheckBoxes {
    bool hzBox = false;
    bool logBox = true;
    bool gridBox = true;
    bool phaseBox = true;
    bool delayBox = true;
    bool continuousBox = false;
    bool legendBox = false;
    bool coloursBox = false;
    int unchecks = 0;

    bool hz() const override { return hzBox; }
    bool logarithmic() const override { return logBox; }
    void uncheckLogarithmic() override {
        logBox = false;
        ++unchecks;
    }
    bool grid() const override { return gridBox; }
    bool shows(PlotQuantity q) const override {
        return q == PlotQuantity::Phase ? phaseBox : q == PlotQuantity::Delay ? delayBox : true;
    }
    bool continuousPhase() const override { return continuousBox; }
    bool legend() const override { return legendBox; }
    bool coloursPerCurve() const override { return coloursBox; }
};

inline const char* const DefaultListText =
    "* Coloque aqui uma série de transformadas de Laplace a plotar, na forma:\n"
    "* <Arquivo com numerador>\n"
    "* <Arquivo com denominador>\n"
    "* No comando de adicionar selecione o numerador. \n"
    "* É assumido que o denominador tem o mesmo nome com sufixo \".d\". ";

/// The plot list window with its initial edit boxes and Memo1, and the visibility of the
/// frequency plot window.
struct FakeListHost : PlotListHost {
    std::map<PlotEditBox, std::string> edits = initialEdits();
    std::string memo = DefaultListText;
    std::vector<std::string> appended;
    std::optional<std::string> dialogChoice;
    std::vector<std::string> calls;
    bool plotWindowVisible = false;

    std::string editText(PlotEditBox box) const override { return edits.at(box); }

    static std::map<PlotEditBox, std::string> initialEdits() {
        std::map<PlotEditBox, std::string> texts;
        for (const PlotEditBoxRow& box : PlotEditBoxes)
            texts[box.box] = box.initialText;
        return texts;
    }
    std::string listText() const override { return memo; }
    void appendListLine(std::string_view line) override { appended.emplace_back(line); }
    std::optional<std::string> chooseNumeratorFile() override {
        calls.push_back("chooseNumeratorFile");
        return dialogChoice;
    }
    void hidePlotWindow() override {
        calls.push_back("hide");
        plotWindowVisible = false;
    }
    void showPlotWindow() override {
        calls.push_back("show");
        plotWindowVisible = true;
    }
    /// What the window's message line shows.
    mutable std::string message;
    void showMessage(std::string_view text) const override { message = text; }
};

/// A Plotter with its log captured, a list window, check boxes and a folder for files.
struct PlotterFixture {
    TempDir dir;
    std::vector<std::string> lines;
    AnalysisLog log{[this](std::string_view line) { lines.emplace_back(line); }};
    Plotter plotter{log};
    FakeListHost host;
    FakeCheckBoxes boxes;

    /// Writes `p` as the result file `name` and returns its path.
    std::string writeFile(const std::string& name, const Polynomial& p) {
        const std::string path = dir.file(name);
        EXPECT_EQ(savePolynomial(path, p), SaveStatus::Saved);
        return path;
    }

    /// Writes a numerator and a denominator file and appends the pair to Memo1.
    void addCurve(const std::string& name, const Polynomial& numerator,
                  const Polynomial& denominator) {
        host.memo +=
            "\n" + writeFile(name + ".n1", numerator) + "\n" + writeFile(name + ".d", denominator);
    }

    /// Runs "Plotar" and returns the log lines it printed.
    std::vector<std::string> plot() {
        lines.clear();
        plotter.plot(host);
        return lines;
    }

    RecordingCanvas paint(int width = 680, int height = 442) {
        RecordingCanvas canvas;
        plotter.paint(canvas, width, height, boxes);
        return canvas;
    }
};

}  // namespace corvane::test
