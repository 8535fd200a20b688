// What the windows that show a region of a plane, panned and zoomed by the keys, the wheel
// and a drag, have in common: TFormPZ (the s-plane) and TFormNyquist, TFormNichols (the
// stability charts). Each window keeps its own picture, frame and cursor reading.
#pragma once

#include <QString>

#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "canvas_area.h"
#include "image_saving.h"
#include "plot_canvas.h"
#include "plot_image.h"
#include "pole_zero_map.h"

class QKeyEvent;
class QLabel;
class QMouseEvent;
class QWheelEvent;

namespace corvane::ui {

class ErrorBox;

/// What the plot surface of a plane view asks of its window.
class PlaneViewWindow {
public:
    /// Draws the view on `canvas` of the given size.
    virtual void paintOn(PlotCanvas& canvas, int width, int height) const = 0;
    /// Zooms by 2^steps about the point (x, y) of the plot surface.
    virtual void zoomAt(double x, double y, int steps) = 0;
    /// Moves the view by (dx, dy) pixels of the plot surface, the picture following.
    virtual void panBy(double dx, double dy) = 0;
    /// The cursor line for the pointer at (x, y) of the plot surface; empty outside the frame.
    virtual void showCursorAt(double x, double y) = 0;

protected:
    ~PlaneViewWindow() = default;
};

/// The plot surface of a plane view: paints it and hands the pointer to the window.
class PlaneArea : public CanvasArea {
public:
    PlaneArea(QWidget* parent, PlaneViewWindow& form);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    PlaneViewWindow& form_;
    std::optional<QPointF> dragFrom_;
    int wheelAngle_ = 0;
};

/// The key command of a plane view for `event` (a PlotKey code, or 'F' to fit the view),
/// run through `errors`; false when the key is none of them.
bool runPlaneKey(const QKeyEvent& event, ErrorBox& errors, const std::function<void(int)>& command);

/// The key command `keyCode` of a plane view showing `region` on `plot`: 'F' calls `fit`;
/// a PlotKey code that moves or zooms the view changes `region` and repaints `plot`.
void applyPlaneKey(int keyCode, PlaneRegion& region, QWidget& plot,
                   const std::function<void()>& fit);

/// `region` zoomed by 2^steps about the point (x, y) of the plot surface that `frame` maps;
/// none without a frame.
template <class Frame>
std::optional<PlaneRegion> zoomedAbout(const std::optional<Frame>& frame,
                                       const PlaneRegion& region, double x, double y, int steps) {
    if (!frame) return std::nullopt;
    return zoomRegion(region, frame->valueAt(x, y), std::pow(2.0, steps));
}

/// The plot surface across `window` from `top` down, and the cursor line under it.
void layOutPlaneView(const QWidget& window, QWidget& plot, QLabel& cursorLine, int top);

/// The image menu of `window` (see addImageSaveMenu), its two commands calling `save` with
/// their background through `errors`.
ImageSaveMenu addPlaneImageMenu(QWidget* window, const QString& defaultName, ErrorBox& errors,
                                std::function<void(render::ImageBackground)> save);

/// The files a view drawn from the plot list `listText` read: every line of the list, and
/// the document of a line "<document>.json#<variable>".
std::vector<std::string> filesOfList(const std::string& listText);

}  // namespace corvane::ui
