// The device screen: shows the last presented picture (map frame or GPS view) at an integer
// scale, the Move view's status line over it, and blanks while the display is off.
#pragma once

#include <QImage>
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

    // A double tap at device pixels (x, y).
    std::function<void(int x, int y)> onDoubleTap;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int width_;
    int height_;
    int scale_;
    QImage image_;
    QString status_;
    QString notice_;
    bool blank_ = false;
};

}  // namespace vexa
