#include "open_dialog.h"

#include <QFileDialog>
#include <QWidget>

namespace corvane::ui {

OpenDialog::OpenDialog(QWidget* parent)
    : QObject(parent),
      parentWindow_(parent),
      request_{QStringLiteral("Abrir"), QStringLiteral("teste.net"),
               QStringLiteral("netlists (*.net)"), QStringLiteral("net")},
      chooser_(chooseFileToOpen) {
    setObjectName(QStringLiteral("OpenDialog1"));
}

bool OpenDialog::execute() {
    const std::optional<QString> chosen = chooser_(parentWindow_, request_);
    if (!chosen) return false;
    request_.fileName = *chosen;
    return true;
}

std::optional<QString> chooseFileToOpen(QWidget* parent, const OpenDialogRequest& request) {
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(request.filter);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return files.first();
}

}  // namespace corvane::ui
