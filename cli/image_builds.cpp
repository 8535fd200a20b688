#include "image_builds.h"

#include "command_arguments.h"
#include "command_line.h"
#ifdef CORVANE_IMAGE_EXPORT
#include "plot_image.h"
#elif defined(CORVANE_IMAGE_PROGRAM)
#include "image_format.h"
#include "image_program.h"
#endif

namespace corvane::cli {

namespace {

bool reportUnsaved(const std::string& path, std::FILE* err) {
    std::fprintf(err, "corvane-cli: não foi possível gravar a imagem %s\n", path.c_str());
    return false;
}

}  // namespace

void checkImagePath(const std::string& path) {
#if defined(CORVANE_IMAGE_EXPORT) || defined(CORVANE_IMAGE_PROGRAM)
    if (!render::imageFormatOf(path)) {
        throw UsageError("a imagem deve terminar em .png ou .svg: " + path);
    }
#else
    (void)path;
    throw UsageError("esta compilação não grava imagens (sem Qt)");
#endif
}

std::optional<int> runInImageProgram([[maybe_unused]] std::string_view command,
                                     [[maybe_unused]] const std::vector<std::string_view>& args,
                                     [[maybe_unused]] const std::string& image,
                                     [[maybe_unused]] std::FILE* out,
                                     [[maybe_unused]] std::FILE* err) {
#ifdef CORVANE_IMAGE_PROGRAM
    const std::string program = findImageProgram(CORVANE_IMAGE_PROGRAM);
    if (program.empty()) {
        std::fprintf(err, "corvane-cli: não foi possível gravar a imagem %s: falta o programa %s\n",
                     image.c_str(), ImageProgramName);
        return ExitFailure;
    }
    std::vector<std::string_view> programArgs{command};
    programArgs.insert(programArgs.end(), args.begin(), args.end());
    const int status = runImageProgram(program, programArgs, out, err);
    return status < 0 ? ExitFailure : status;
#else
    return std::nullopt;
#endif
}

bool savePlotPicture([[maybe_unused]] Plotter& plotter, [[maybe_unused]] PlotCheckBoxes& boxes,
                     const std::string& path, [[maybe_unused]] int width,
                     [[maybe_unused]] int height, std::FILE* err) {
#ifdef CORVANE_IMAGE_EXPORT
    if (render::savePlotImage(plotter, boxes, path, width, height) ==
        render::ImageSaveStatus::Saved) {
        return true;
    }
#endif
    return reportUnsaved(path, err);
}

bool savePaintedPicture(const std::string& path, [[maybe_unused]] int width,
                        [[maybe_unused]] int height, [[maybe_unused]] const char* title,
                        [[maybe_unused]] const std::function<void(PlotCanvas&)>& paint,
                        std::FILE* err) {
#ifdef CORVANE_IMAGE_EXPORT
    if (render::savePaintedImage(path, width, height, title, paint) ==
        render::ImageSaveStatus::Saved) {
        return true;
    }
#endif
    return reportUnsaved(path, err);
}

}  // namespace corvane::cli
