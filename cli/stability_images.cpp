#include "stability_images.h"

#include "image_builds.h"
#include "nichols_paint.h"
#include "nyquist_paint.h"

namespace corvane::cli {

bool takeStabilityOption(Arguments& args, StabilityImages& images) {
    const std::string_view arg = args.current();
    if (arg == "--nyquist" || arg == "--nichols") {
        std::string& path = arg == "--nyquist" ? images.nyquist : images.nichols;
        path = args.value();
        checkImagePath(path);
        return true;
    }
    if (arg == "--sem-compressao") {
        images.linear = true;
        return true;
    }
    return false;
}

void checkStabilityOptions(const StabilityImages& images) {
    if (images.linear && images.nyquist.empty())
        throw UsageError("a opção --sem-compressao pede --nyquist");
}

std::optional<StabilityCurves> stabilityCurvesOfPlot(const StabilityImages& images,
                                                     const Plotter& plotter,
                                                     const PlotListHost& window, bool hz,
                                                     AnalysisLog& log) {
    const StabilityView view =
        images.nyquist.empty() ? StabilityView::Nichols : StabilityView::Nyquist;
    const std::optional<OmegaRange> range = listOmegaRange(window, hz, view, log);
    if (!range) return std::nullopt;
    std::array<bool, MaxCurves + 1> refused{};
    for (int k = 1; k <= plotter.curveCount(); ++k)
        refused[static_cast<std::size_t>(k)] = plotter.curveRefused(k);
    return stabilityCurves(plotter.curves(), plotter.curveCount(), plotter.curveLabels(), refused,
                           *range, hz, view, log);
}

bool saveStabilityImages(const StabilityImages& images, const StabilityCurves& curves, int width,
                         int height, bool lightBackground, std::FILE* err) {
    if (!images.nyquist.empty()) {
        const RadialScale scale = images.linear ? RadialScale{} : compressionFor(curves);
        const NyquistPicture picture{&curves, scale, fittedNyquistRegion(curves, scale)};
        const auto paint = [&](PlotCanvas& canvas) { drawNyquist(canvas, width, height, picture); };
        if (!savePaintedPicture(images.nyquist, width, height, "Nyquist", paint, err,
                                lightBackground))
            return false;
    }
    if (!images.nichols.empty()) {
        const NicholsPicture picture{&curves, fittedNicholsRegion(curves)};
        const auto paint = [&](PlotCanvas& canvas) { drawNichols(canvas, width, height, picture); };
        if (!savePaintedPicture(images.nichols, width, height, "Nichols", paint, err,
                                lightBackground))
            return false;
    }
    return true;
}

}  // namespace corvane::cli
