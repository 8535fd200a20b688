#include "open_dialog.h"

#include <QFileDialog>
#include <QRegularExpression>
#include <QWidget>

namespace corvane::ui {

namespace {

// "Imagens SVG (*.svg)" → "svg"; nothing for a filter of many or no extensions.
QString suffixOfFilter(const QString& filter) {
    static const QRegularExpression single(QStringLiteral("\\(\\*\\.([A-Za-z0-9]+)\\)"));
    const QRegularExpressionMatch match = single.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

std::optional<QString> firstSelected(const QFileDialog& dialog) {
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return files.first();
}

}  // namespace

OpenDialog::OpenDialog(QWidget* parent)
    : OpenDialog(parent, QStringLiteral("OpenDialog1"),
                 {QStringLiteral("Abrir"), QStringLiteral("teste.net"),
                  QStringLiteral("netlists (*.net *.cir *.sp *.spice *.ckt);;"
                                 "netlists do Corvane (*.net);;"
                                 "netlists SPICE (*.cir *.sp *.spice *.ckt *.net)"),
                  QStringLiteral("net")},
                 chooseFileToOpen) {}

OpenDialog::OpenDialog(QWidget* parent, const QString& objectName, OpenDialogRequest request,
                       Chooser chooser)
    : QObject(parent),
      parentWindow_(parent),
      request_(std::move(request)),
      chooser_(std::move(chooser)) {
    setObjectName(objectName);
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
    return firstSelected(dialog);
}

std::optional<QString> chooseFileToSave(QWidget* parent, const OpenDialogRequest& request) {
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(request.filter);
    dialog.setDefaultSuffix(request.defaultSuffix);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& filter) {
                         const QString suffix = suffixOfFilter(filter);
                         if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
                     });
    dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return firstSelected(dialog);
}

}  // namespace corvane::ui
