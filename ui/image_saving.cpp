#include "image_saving.h"

#include <QAction>
#include <QMenu>

#include <vector>

#include "analysis_log.h"
#include "open_dialog.h"
#include "output_target.h"
#include "plot_list.h"

namespace corvane::ui {

ImageSaveMenu addImageSaveMenu(QWidget* window, const QString& defaultName) {
    ImageSaveMenu parts{};
    parts.menu = new QMenu(window);
    parts.menu->setObjectName(QStringLiteral("PopupMenu1"));
    parts.saveImage = parts.menu->addAction(QStringLiteral("Salvar imagem..."));
    parts.saveImage->setObjectName(QStringLiteral("Salvarimagem1"));
    parts.saveLightImage = parts.menu->addAction(QStringLiteral("Salvar imagem com fundo claro..."));
    parts.saveLightImage->setObjectName(QStringLiteral("Salvarimagemclara1"));
    parts.dialog = new OpenDialog(
        window, QStringLiteral("SaveDialog1"),
        {QStringLiteral("Salvar imagem"), defaultName,
         QStringLiteral("Imagens PNG (*.png);;Imagens SVG (*.svg)"), QStringLiteral("png")},
        chooseFileToSave);
    return parts;
}

bool imageSparesFiles(AnalysisLog& log, const std::string& path,
                      const std::vector<std::string>& read) {
    for (const std::string& input : read) {
        if (!sameFile(path, input)) continue;
        log.print("Imagem não salva: %s seria gravada sobre o arquivo lido %s", path.c_str(),
                  input.c_str());
        return false;
    }
    return true;
}

bool imageSparesInputs(AnalysisLog& log, const std::string& path, const Plotter& plotter) {
    std::vector<std::string> read;
    for (int k = 1; k <= plotter.curveCount(); ++k) {
        const std::string& numerator = plotter.numeratorFiles()[static_cast<std::size_t>(k)];
        read.push_back(numerator);
        if (const auto denominator = denominatorFileName(numerator)) read.push_back(*denominator);
    }
    return imageSparesFiles(log, path, read);
}

void logImageSave(AnalysisLog& log, render::ImageSaveStatus status, const std::string& path) {
    switch (status) {
        case render::ImageSaveStatus::Saved:
            log.print("Imagem salva no arquivo %s", path.c_str());
            break;
        case render::ImageSaveStatus::UnknownFormat:
            log.print("Imagem não salva: %s não termina em .png nem em .svg", path.c_str());
            break;
        case render::ImageSaveStatus::WriteFailed:
            log.print("Não foi possível gravar a imagem %s", path.c_str());
            break;
    }
}

}  // namespace corvane::ui
