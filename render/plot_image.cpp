#include "plot_image.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgGenerator>
#include <cstdio>
#include <memory>

#include "c_locale.h"
#include "light_background.h"
#include "painter_canvas.h"
#include "replace_file.h"

namespace corvane::render {

namespace {

// Keeps an offscreen application alive while the image is drawn, when the process has
// none of its own (the command line).
class OffscreenApplication {
public:
    OffscreenApplication() {
        if (QCoreApplication::instance()) return;
        previousHandler_ = qInstallMessageHandler(keepSeriousMessages);
        application_ = std::make_unique<QGuiApplication>(argc_, argv_);
        // The application takes the numeric locale from the environment.
        useCNumericLocale();
    }
    ~OffscreenApplication() {
        if (!application_) return;
        application_.reset();
        qInstallMessageHandler(previousHandler_);
    }
    OffscreenApplication(const OffscreenApplication&) = delete;
    OffscreenApplication& operator=(const OffscreenApplication&) = delete;

private:
    // The offscreen platform's notes about the session (no runtime folder, no display)
    // are no concern of an image export; only errors are passed on.
    static void keepSeriousMessages(QtMsgType type, const QMessageLogContext& context,
                                    const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
        }
    }

    QtMessageHandler previousHandler_ = nullptr;
    char name_[12] = "corvane-cli";
    char option_[10] = "-platform";
    char platform_[10] = "offscreen";
    char* argv_[4] = {name_, option_, platform_, nullptr};
    int argc_ = 3;
    std::unique_ptr<QGuiApplication> application_;
};

// Through a new file and a rename, every write checked: a full disk leaves the old image.
bool writeWhole(const std::string& path, const QByteArray& bytes) {
    return replaceFile(path, [&](std::FILE* file) {
        return std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), file) ==
               static_cast<std::size_t>(bytes.size());
    });
}

}  // namespace

ImageSaveStatus savePlotImage(Plotter& plotter, PlotCheckBoxes& checkBoxes, const std::string& path,
                              int width, int height, ImageBackground background) {
    return savePaintedImage(
        path, width, height, "Resposta em frequência",
        [&](PlotCanvas& canvas) { plotter.paint(canvas, width, height, checkBoxes); },
        background);
}

ImageSaveStatus savePaintedImage(const std::string& path, int width, int height,
                                 const char* title,
                                 const std::function<void(PlotCanvas&)>& paint,
                                 ImageBackground background) {
    const std::optional<ImageFormat> format = imageFormatOf(path);
    if (!format) return ImageSaveStatus::UnknownFormat;
    const OffscreenApplication application;
    // The whole image is drawn in memory first, so a fault in the paint leaves no file.
    auto paintOnDevice = [&](QPaintDevice& device) {
        QPainter painter(&device);
        painter.setFont(plotFont());
        QPainterCanvas canvas(painter);
        if (background == ImageBackground::Light) {
            LightBackgroundCanvas light(canvas);
            paint(light);
        } else {
            paint(canvas);
        }
    };
    QByteArray bytes;
    if (*format == ImageFormat::Png) {
        QImage image(width, height, QImage::Format_RGB32);
        if (!image.isNull()) {
            paintOnDevice(image);
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            if (!image.save(&buffer, "PNG")) bytes.clear();
        }
    } else {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(QSize(width, height));
        generator.setViewBox(QRect(0, 0, width, height));
        generator.setResolution(96);
        generator.setTitle(QString::fromUtf8(title));
        paintOnDevice(generator);
    }
    if (bytes.isEmpty() || !writeWhole(path, bytes)) return ImageSaveStatus::WriteFailed;
    return ImageSaveStatus::Saved;
}

}  // namespace corvane::render
