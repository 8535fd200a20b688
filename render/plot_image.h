// The plot as an image file: the plot window's paint, through the same QPainter canvas,
// on an image instead of the window.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "image_format.h"
#include "plot_hosts.h"
#include "plotter.h"

namespace corvane::render {

enum class ImageSaveStatus { Saved, UnknownFormat, WriteFailed };

/// The screen's black, or a white page for reports (LightBackgroundCanvas), with the same
/// content.
enum class ImageBackground { Dark, Light };

/// Paints the plot on a `width` × `height` surface, as the plot window of that size
/// would, and saves it to `path` in the format of its extension. Works without a display:
/// when the process has no QGuiApplication, one runs on the "offscreen" platform for the
/// duration of the call. A floating-point fault in the paint escapes as
/// FloatingPointFault, and nothing is written.
ImageSaveStatus savePlotImage(Plotter& plotter, PlotCheckBoxes& checkBoxes, const std::string& path,
                              int width, int height,
                              ImageBackground background = ImageBackground::Dark);

}  // namespace corvane::render

#include <functional>

#include "plot_canvas.h"

namespace corvane::render {

/// Any picture drawn by `paint` on a `width` × `height` canvas, saved to `path` in the
/// format of its extension, with `title` as the SVG's title; as savePlotImage, without a
/// display and through a new file and a rename.
ImageSaveStatus savePaintedImage(const std::string& path, int width, int height,
                                 const char* title,
                                 const std::function<void(PlotCanvas&)>& paint,
                                 ImageBackground background = ImageBackground::Dark);

}  // namespace corvane::render
