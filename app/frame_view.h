// The device screen: shows the last presented picture (map frame or GPS view) at an integer
// scale, the Move view's status line over it, and blanks while the display is off. Taps and
// double taps arrive in device pixels. The screen follows the widget: its size in device
// pixels is the widget's size divided by the scale, at least kMinScreenSide on each side.
#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <functional>

#include "frame/screen_size.h"

namespace vexa {

class FrameView : public QWidget {
public:
    // The widget first asks for the screen `screenWidth` × `screenHeight` at `scale`.
    FrameView(int screenWidth, int screenHeight, int scale, QWidget* parent = nullptr);

    // Shows `image` and returns the picture shown before.
    QImage showImage(QImage image);
    void setStatusLine(QString text);
    // A short text in the middle of the screen until the next picture.
    void setNotice(QString text);
    const QString& notice() const { return notice_; }
    void setBlank(bool blank);
    bool blank() const { return blank_; }
    // The press in progress is no longer held (the window lost the focus).
    void cancelHold() { holdTimer_.stop(); }
    const QImage& image() const { return image_; }
    int scale() const { return scale_; }
    // The device screen's size as last reported through onScreenResize.
    QSize screenSize() const { return {width_, height_}; }
    QSize sizeHint() const override { return QSize(width_, height_) * scale_; }

    // A tap (left button pressed) at device pixels (x, y).
    std::function<void(int x, int y)> onTap;
    // A double tap: the second press of a double click, which is not also a tap.
    std::function<void(int x, int y)> onDoubleTap;
    // The left button held still for a while, or a right click (after its tap).
    std::function<void(int x, int y)> onHold;
    // The pointer moved with the left button down; the left button let go.
    std::function<void(int x, int y)> onDrag;
    std::function<void(int x, int y)> onLift;
    // The mouse wheel: whole steps, positive away from the user.
    std::function<void(int steps)> onWheel;
    // A paint that no new picture or text asked for (the screen was shown, uncovered or
    // resized). Called after that paint, from the event loop, so that drawing the view anew
    // neither runs inside a paint nor paints again by itself.
    std::function<void()> onRepaint;
    // The widget changed size: the new device screen size. A burst of resizes (a window being
    // dragged) is reported once, after it settles.
    std::function<void(int width, int height)> onScreenResize;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int width_;
    int height_;
    int scale_;
    QImage image_;
    QString status_;
    QString notice_;
    bool blank_ = false;
    bool ownUpdate_ = false;        // the pending paint shows what this view was given
    bool repaintPending_ = false;
    QTimer holdTimer_;              // the press held still: tap-and-hold
    QTimer resizeTimer_;            // the widget's size settled
    QPoint pressPoint_;
    int wheelAngle_ = 0;            // eighths of a degree not yet a whole step

    void updateContent();
    void reportScreenSize();
    QPoint devicePoint(const QMouseEvent& event) const;
};

}  // namespace vexa
