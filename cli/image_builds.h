// The one place that knows how this build draws images. corvane-cli has no painter and
// hands a command with --imagem, whole, to its companion corvane-imagem; the companion is
// the same command line built with the painter; a build without the window toolkit
// refuses --imagem. The commands ask here and never test the build themselves.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "plot_canvas.h"
#include "plot_hosts.h"
#include "plotter.h"

namespace corvane::cli {

/// Refuses an --imagem path this build cannot write: one that ends in neither .png nor
/// .svg, or any path in a build without images.
void checkImagePath(const std::string& path);

/// Runs `command`, whose image is `image` (none when empty): where the companion draws the
/// images and there is one to draw, by running the companion with `args` and passing on
/// what it prints and its exit status; else by `runHere`.
int runWhereImagesAreDrawn(std::string_view command, const std::vector<std::string_view>& args,
                           const std::string& image, std::FILE* out, std::FILE* err,
                           const std::function<int()>& runHere);

/// The plot as the plot window of `width` × `height` paints it, saved to `path`, on the
/// screen's black or, with `lightBackground` (--fundo-claro), on white. False, with the
/// reason on `err`, when it could not be saved.
bool savePlotPicture(Plotter& plotter, PlotCheckBoxes& boxes, const std::string& path,
                     int width, int height, std::FILE* err, bool lightBackground = false);

/// Whatever `paint` draws on a `width` × `height` canvas, saved to `path` with `title`, on
/// white with `lightBackground`. False, with the reason on `err`, when it could not be
/// saved.
bool savePaintedPicture(const std::string& path, int width, int height, const char* title,
                        const std::function<void(PlotCanvas&)>& paint, std::FILE* err,
                        bool lightBackground = false);

/// Refuses --fundo-claro given without --imagem: it would change nothing.
void checkLightBackground(bool lightBackground, const std::string& image);

}  // namespace corvane::cli
