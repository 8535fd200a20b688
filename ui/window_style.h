// The look shared by the windows: their fonts and their placement on the screen.
//
// Sizes and positions are the ones of the original windows at 96 pixels per inch. An outer
// size there includes a frame of 8 pixels on each side and a caption of 30 pixels; here the
// window manager adds its own frame, so a window is given the client area it had there.
#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace corvane::ui {

/// The windows' font: "MS Sans Serif", 8 points. Where that face is missing, a sans-serif
/// face of similar width stands in for it, so the captions fit their controls.
QFont windowFont();

/// The log's font: "Courier New", 8 points, always of fixed pitch, so that the columns of
/// the system listing line up.
QFont logFont();

/// Names and titles a secondary window, gives it the windows' font, and keeps the program
/// running when it is closed (closing it only hides it).
void setUpSecondaryWindow(QWidget& window, const char* objectName, const QString& title);

/// A check box of `window`, named, placed and set.
QCheckBox* addCheckBox(QWidget* window, const char* objectName, const QString& caption,
                       QRect geometry, bool checked);

/// A label of `window`, named and placed.
QLabel* addLabel(QWidget* window, const char* objectName, const QString& caption, QRect place);

/// An edit box of `window`, named and placed, empty.
QLineEdit* addEditBox(QWidget* window, const char* objectName, QRect place);

/// The client size of a window whose outer size was `outer`.
QSize clientSize(QSize outer);

/// Places a top-level window at `topLeft` (frame included) with the client area of a
/// window of outer size `outer`.
void placeWindow(QWidget& window, QPoint topLeft, QSize outer);

/// Where a list window (frame `list`) and a view it opens (outer size `view`) stand on
/// `screen`, so that the view hides none of the list: beside it, to the right or else to
/// the left; when neither side has room, the list goes to the screen's left edge and the
/// view as far right as it must, over as little of the list as the screen allows. The view
/// is kept whole on the screen, level with the list where it can be.
struct SideBySide {
    QPoint list;
    QPoint view;
};
SideBySide placeBeside(QRect screen, QRect list, QSize view);

/// Shows a window without modality and brings it to the front.
void showWindow(QWidget& window);

/// Places a top-level window of outer size `outer` at the centre of its screen.
void centreWindow(QWidget& window, QSize outer);

}  // namespace corvane::ui
