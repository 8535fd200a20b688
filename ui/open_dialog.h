// OpenDialog1 of the main window: the choice of the netlist. It keeps the last chosen path
// as its file name for the next use. The dialog itself sits behind a chooser that tests
// replace, so that "Abrir" can be driven without a modal dialog.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace corvane::ui {

/// What the dialog is opened with.
struct OpenDialogRequest {
    QString title;
    /// Initially "teste.net", then the last chosen path.
    QString fileName;
    QString filter;
    /// Added to a typed name without extension.
    QString defaultSuffix;
};

class OpenDialog : public QObject {
public:
    /// Shows the dialog; the chosen path, or nothing when the user cancelled.
    using Chooser =
        std::function<std::optional<QString>(QWidget* parent, const OpenDialogRequest&)>;

    explicit OpenDialog(QWidget* parent);

    void setChooser(Chooser chooser) { chooser_ = std::move(chooser); }

    /// Shows the dialog. True when the user confirmed a file; fileName() is then its path.
    bool execute();

    const QString& fileName() const { return request_.fileName; }

private:
    QWidget* parentWindow_;
    OpenDialogRequest request_;
    Chooser chooser_;
};

/// The toolkit's file-open dialog; a typed name of a file that does not exist is accepted.
std::optional<QString> chooseFileToOpen(QWidget* parent, const OpenDialogRequest& request);

}  // namespace corvane::ui
