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

#ifdef CORVANE_IMAGE_EXPORT
bool savedOrReported(render::ImageSaveStatus status, const std::string& path, std::FILE* err) {
    return status == render::ImageSaveStatus::Saved || reportUnsaved(path, err);
}
#endif

}  // namespace

void checkImagePath([[maybe_unused]] const std::string& path) {
#if defined(CORVANE_IMAGE_EXPORT) || defined(CORVANE_IMAGE_PROGRAM)
    if (!render::imageFormatOf(path)) {
        throw UsageError("a imagem deve terminar em .png ou .svg: " + path);
    }
#else
    throw UsageError("esta compilação não grava imagens (sem Qt)");
#endif
}

int runWhereImagesAreDrawn([[maybe_unused]] std::string_view command,
                           [[maybe_unused]] const std::vector<std::string_view>& args,
                           [[maybe_unused]] const std::string& image,
                           [[maybe_unused]] std::FILE* out,
                           [[maybe_unused]] std::FILE* err, const std::function<int()>& runHere) {
#ifdef CORVANE_IMAGE_PROGRAM
    if (!image.empty()) {
        const std::string program = findImageProgram(CORVANE_IMAGE_PROGRAM);
        if (program.empty()) {
            std::fprintf(err,
                         "corvane-cli: não foi possível gravar a imagem %s: falta o programa %s\n",
                         image.c_str(), ImageProgramName);
            return ExitFailure;
        }
        std::vector<std::string_view> programArgs{command};
        programArgs.insert(programArgs.end(), args.begin(), args.end());
        const int status = runImageProgram(program, programArgs, out, err);
        return status < 0 ? ExitFailure : status;
    }
#endif
    return runHere();
}

#ifdef CORVANE_IMAGE_EXPORT

namespace {

render::ImageBackground backgroundOf(bool lightBackground) {
    return lightBackground ? render::ImageBackground::Light : render::ImageBackground::Dark;
}

}  // namespace

bool savePlotPicture(Plotter& plotter, PlotCheckBoxes& boxes, const std::string& path,
                     int width, int height, std::FILE* err, bool lightBackground) {
    return savedOrReported(render::savePlotImage(plotter, boxes, path, width, height,
                                                 backgroundOf(lightBackground)),
                           path, err);
}

bool savePaintedPicture(const std::string& path, int width, int height, const char* title,
                        const std::function<void(PlotCanvas&)>& paint, std::FILE* err,
                        bool lightBackground) {
    return savedOrReported(render::savePaintedImage(path, width, height, title, paint,
                                                    backgroundOf(lightBackground)),
                           path, err);
}

#else

// Not reached: without the painter, --imagem is refused or handed to the companion.
bool savePlotPicture(Plotter&, PlotCheckBoxes&, const std::string& path, int, int,
                     std::FILE* err, bool) {
    return reportUnsaved(path, err);
}

bool savePaintedPicture(const std::string& path, int, int, const char*,
                        const std::function<void(PlotCanvas&)>&, std::FILE* err, bool) {
    return reportUnsaved(path, err);
}

#endif

void checkLightBackground(bool lightBackground, const std::string& image) {
    if (lightBackground && image.empty()) throw UsageError("a opção --fundo-claro pede --imagem");
}

}  // namespace corvane::cli
