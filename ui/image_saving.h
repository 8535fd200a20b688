// The "Salvar imagem..." command the plot windows share: their context menu, the save
// dialog it opens, and the log line that says how the saving went.
#pragma once

#include <QString>

#include <string>
#include <vector>

#include "plot_image.h"

class QAction;
class QMenu;
class QWidget;

namespace corvane {
class AnalysisLog;
}

namespace corvane::ui {

class OpenDialog;

struct ImageSaveMenu {
    QMenu* menu;
    QAction* saveImage;
    /// The same picture on a white page, for reports.
    QAction* saveLightImage;
    OpenDialog* dialog;
};

/// The context menu of `window` (PopupMenu1) with its commands "Salvar imagem..."
/// (Salvarimagem1) and "Salvar imagem com fundo claro..." (Salvarimagemclara1), and the
/// save dialog (SaveDialog1) for PNG or SVG that offers `defaultName` at first. The window
/// connects the commands.
ImageSaveMenu addImageSaveMenu(QWidget* window, const QString& defaultName);

/// Whether the image `path` spares every result file the plotter read (each listed
/// numerator and its denominator), links included; else the log says which it would
/// replace, and nothing is written.
bool imageSparesInputs(AnalysisLog& log, const std::string& path, const Plotter& plotter);
/// Whether `path` is none of the files `read` (by identity, links included); else the log
/// says which, and the image is not saved.
bool imageSparesFiles(AnalysisLog& log, const std::string& path,
                      const std::vector<std::string>& read);

/// Logs what became of the image for `path`.
void logImageSave(AnalysisLog& log, render::ImageSaveStatus status, const std::string& path);

}  // namespace corvane::ui
