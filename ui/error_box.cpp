#include "error_box.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QTimer>

namespace corvane::ui {

QString errorBoxText(std::string_view message) {
    QString text = QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size()));
    // Compared as bytes: the last byte of a multi-byte UTF-8 character is above '.', as
    // the accented letter it ends is.
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') text += u'.';
    return text;
}

void showCriticalBox(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok);
    box.exec();
}

ErrorBox::ErrorBox() : presenter_(showCriticalBox) {}

void ErrorBox::report(std::string_view message) {
    const QString text = errorBoxText(message);
    if (!waitingOrOpen_.insert(text).second) return;
    // A modal box run from inside a paint or a half-finished command would run a nested
    // event loop there; the event loop shows it as soon as the failing handler has returned.
    QTimer::singleShot(0, &context_, [this, text] { present(text); });
}

void ErrorBox::present(const QString& text) {
    presenter_(QCoreApplication::applicationName(), text);
    waitingOrOpen_.erase(text);
}

}  // namespace corvane::ui
