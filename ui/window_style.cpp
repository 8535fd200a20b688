#include "window_style.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace corvane::ui {

namespace {

constexpr int FrameWidth = 2 * 8;
constexpr int FrameHeight = 30 + 8;

// Metric-compatible faces first (Liberation has the widths of the faces the windows were
// laid out with), then the faces every Debian desktop has. Inserting a substitute that is
// already listed changes nothing.
void addSubstitutes() {
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Courier New"), {QStringLiteral("Liberation Mono"),
                                                               QStringLiteral("DejaVu Sans Mono")});
}

}  // namespace

QFont windowFont() {
    addSubstitutes();
    QFont font(QStringLiteral("MS Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QFont logFont() {
    addSubstitutes();
    QFont font(QStringLiteral("Courier New"), 8);
    // When neither the face nor a substitute is installed, the style hint still makes the
    // font database pick a fixed-pitch face.
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

QSize clientSize(QSize outer) {
    return {outer.width() - FrameWidth, outer.height() - FrameHeight};
}

void placeWindow(QWidget& window, QPoint topLeft, QSize outer) {
    window.resize(clientSize(outer));
    window.move(topLeft);
}

void centreWindow(QWidget& window, QSize outer) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    const QPoint centre = screen ? screen->availableGeometry().center() : QPoint(0, 0);
    placeWindow(window, centre - QPoint(outer.width() / 2, outer.height() / 2), outer);
}

QLabel* addLabel(QWidget* window, const char* objectName, const QString& caption, QRect place) {
    auto* label = new QLabel(caption, window);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setGeometry(place);
    return label;
}

QLineEdit* addEditBox(QWidget* window, const char* objectName, QRect place) {
    auto* edit = new QLineEdit(window);
    edit->setObjectName(QString::fromLatin1(objectName));
    edit->setGeometry(place);
    return edit;
}

QCheckBox* addCheckBox(QWidget* window, const char* objectName, const QString& caption,
                       QRect geometry, bool checked) {
    auto* box = new QCheckBox(caption, window);
    box->setObjectName(QString::fromLatin1(objectName));
    box->setGeometry(geometry);
    box->setChecked(checked);
    return box;
}

void setUpSecondaryWindow(QWidget& window, const char* objectName, const QString& title) {
    window.setObjectName(QString::fromLatin1(objectName));
    window.setWindowTitle(title);
    window.setFont(windowFont());
    window.setAttribute(Qt::WA_QuitOnClose, false);
}

SideBySide placeBeside(QRect screen, QRect list, QSize view) {
    constexpr int Gap = 8;
    const int lowestTop = std::max(screen.top(), screen.bottom() + 1 - view.height());
    const int top = std::clamp(list.top(), screen.top(), lowestTop);
    if (list.right() + 1 + Gap + view.width() <= screen.right() + 1)
        return {list.topLeft(), {list.right() + 1 + Gap, top}};
    if (list.left() - Gap - view.width() >= screen.left())
        return {list.topLeft(), {list.left() - Gap - view.width(), top}};
    const QPoint listAt(screen.left(), list.top());
    const int viewLeft = std::max(
        screen.left(), std::min(screen.left() + list.width() + Gap, screen.right() + 1 - view.width()));
    return {listAt, {viewLeft, top}};
}

void showWindow(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace corvane::ui
