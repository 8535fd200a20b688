// The image formats the plot can be saved in, named by the file's extension. Needs no
// window toolkit, so the command line checks its arguments without loading one.
#pragma once

#include <optional>
#include <string_view>

namespace corvane::render {

enum class ImageFormat { Png, Svg };

/// The format named by the file's extension (".png" or ".svg", either case).
std::optional<ImageFormat> imageFormatOf(std::string_view path);

}  // namespace corvane::render
