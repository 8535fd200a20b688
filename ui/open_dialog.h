// The file dialogs of the windows: OpenDialog1 of the main window (the netlist), OpenDialog1
// of the plot list (a numerator file) and the save dialog of the plot window's image. Each
// keeps the last chosen path as its file name for the next use. The toolkit's dialog sits
// behind a chooser that tests replace, so that the commands can be driven without a modal
// dialog.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace corvane::ui {

/// What a dialog is opened with.
struct OpenDialogRequest {
    QString title;
    /// The initial file name, then the last chosen path.
    QString fileName;
    /// Toolkit filters, "Description (*.ext)", several separated by ";;".
    QString filter;
    /// Added to a typed name without extension; empty: nothing is added.
    QString defaultSuffix;
};

class OpenDialog : public QObject {
public:
    /// Shows the dialog; the chosen path, or nothing when the user cancelled.
    using Chooser =
        std::function<std::optional<QString>(QWidget* parent, const OpenDialogRequest&)>;

    /// The main window's netlist dialog: "teste.net", netlists of both formats (all, then
    /// Corvane's, then SPICE's), extension "net".
    explicit OpenDialog(QWidget* parent);

    /// A dialog named `objectName`, opened with `request` and shown by `chooser`.
    OpenDialog(QWidget* parent, const QString& objectName, OpenDialogRequest request,
               Chooser chooser);

    void setChooser(Chooser chooser) { chooser_ = std::move(chooser); }

    /// Shows the dialog. True when the user confirmed a file; fileName() is then its path.
    bool execute();

    const QString& fileName() const { return request_.fileName; }
    const OpenDialogRequest& request() const { return request_; }

private:
    QWidget* parentWindow_;
    OpenDialogRequest request_;
    Chooser chooser_;
};

/// The toolkit's file-open dialog; a typed name of a file that does not exist is accepted.
std::optional<QString> chooseFileToOpen(QWidget* parent, const OpenDialogRequest& request);

/// The toolkit's file-save dialog. The suffix added to a typed name follows the filter the
/// user picks; the toolkit asks before an existing file is replaced.
std::optional<QString> chooseFileToSave(QWidget* parent, const OpenDialogRequest& request);

}  // namespace corvane::ui
