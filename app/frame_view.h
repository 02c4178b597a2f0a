// The device screen: shows the last presented picture (map frame or GPS view) at an integer
// scale, the Move view's status line over it, and blanks while the display is off. Taps and
// double taps arrive in device pixels.
#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace vexa {

class FrameView : public QWidget {
public:
    FrameView(int screenWidth, int screenHeight, int scale, QWidget* parent = nullptr);

    void showImage(QImage image);
    void setStatusLine(QString text);
    // A short text in the middle of the screen until the next picture.
    void setNotice(QString text);
    const QString& notice() const { return notice_; }
    void setBlank(bool blank);
    bool blank() const { return blank_; }
    const QImage& image() const { return image_; }
    int scale() const { return scale_; }

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

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

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
    QPoint pressPoint_;
    int wheelAngle_ = 0;            // eighths of a degree not yet a whole step

    void updateContent();
    QPoint devicePoint(const QMouseEvent& event) const;
};

}  // namespace vexa
