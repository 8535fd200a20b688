// What the plotter's fuzz targets share: a work folder holding result files, a drawing
// surface that checks what it is asked to draw, and one "Plotar" with paints and keys.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "floating_point.h"
#include "plot_console.h"
#include "plotter.h"

namespace corvane::fuzz {

// Pixel coordinates beyond this mean a conversion escaped its clamp.
constexpr int CoordinateBound = 1 << 22;

class CheckingCanvas : public PlotCanvas {
public:
    void fillRectangle(int l, int t, int r, int b, Colour) override { check(l, t, r, b); }
    void setPen(Colour, PenStyle) override {}
    void drawLine(int xa, int ya, int xb, int yb) override { check(xa, ya, xb, yb); }
    void drawOutline(int l, int t, int r, int b, Colour) override { check(l, t, r, b); }
    int textWidth(std::string_view text) override { return 6 * static_cast<int>(text.size()); }
    void drawText(int l, int t, std::string_view, Colour, Colour) override { check(l, t, l, t); }

private:
    static void check(int a, int b, int c, int d) {
        for (const int v : {a, b, c, d}) {
            if (v > CoordinateBound || v < -CoordinateBound) std::abort();
        }
    }
};

inline void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// A folder in memory when possible, holding result files for the lists to name; removed
// at exit.
inline const std::string& workFolder();
inline void removeWorkFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(workFolder(), ignored);
}

/// The path of `name` in the work folder.
inline std::string workFile(std::string_view name) {
    return workFolder() + "/" + std::string(name);
}
inline const std::string& workFolder() {
    static const std::string folder = [] {
        std::string pattern = access("/dev/shm", W_OK) == 0 ? "/dev/shm/corvane-fuzz-XXXXXX"
                                                            : "/tmp/corvane-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) std::abort();
        return pattern;
    }();
    static const bool prepared = [] {
        const std::string in = folder + "/";
        writeFile(in + "um.d", "0\n 1.000000000000\n 1.000000000000\n");
        writeFile(in + "rc.d", "1\n 1.000000000000\n 1.000000000000\n 1.000000000000\n");
        writeFile(in + "rc.n1", "0\n 1.000000000000\n 2.000000000000\n");
        writeFile(in + "zero.n1", "0\n 0.000000000000\n 1.000000000000\n");
        writeFile(in + "vazio.n1", "");
        writeFile(in + "texto.n1", "dois\n");
        std::filesystem::create_directories(in + "pasta.n1");
        return std::atexit(removeWorkFolder) == 0;
    }();
    (void)prepared;
    return folder;
}

/// One "Plotar" of `list`, then paints and keys chosen by `options`. Only the plotter's
/// floating-point faults may escape, and they end just the paint or key they arose in.
inline void plotAndPaint(cli::PlotOptions options, const std::string& list, std::uint8_t keys) {
    AnalysisLog log([](std::string_view) {});
    Plotter plotter(log);
    cli::ConsolePlotList window(options, list);
    cli::ConsoleCheckBoxes checkBoxes(options);
    CheckingCanvas canvas;
    plotter.plot(window);
    static constexpr int Keys[] = {KeyLeft, KeyUp, KeyRight,      KeyDown,
                                   KeyA,    KeyR,  KeyKeypadPlus, KeyKeypadMinus};
    for (int round = 0; round < 3; ++round) {
        try {
            plotter.paint(canvas, 680 - 300 * round, 442 - 200 * round, checkBoxes);
        } catch (const FloatingPointFault&) {
        }
        try {
            plotter.keyDown(Keys[(keys >> (3 * round)) & 7], checkBoxes);
        } catch (const FloatingPointFault&) {
        }
    }
}

}  // namespace corvane::fuzz
