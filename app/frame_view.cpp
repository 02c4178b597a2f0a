#include "app/frame_view.h"

#include <QMouseEvent>
#include <QWheelEvent>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <utility>

namespace vexa {

namespace {
constexpr int kStatusLineAboveBottom = 41;  // device pixels
constexpr int kHoldMs = 600;                // a press held this long without moving is a hold
constexpr int kHoldSlack = 3;               // device pixels the stylus may wander while held
constexpr int kWheelStep = 120;             // eighths of a degree per wheel notch
constexpr int kResizeSettleMs = 40;         // a resize this long without another is reported
}

FrameView::FrameView(int screenWidth, int screenHeight, int scale, QWidget* parent)
    : QWidget(parent), width_(screenWidth), height_(screenHeight), scale_(scale) {
    setMinimumSize(kMinScreenSide * scale, kMinScreenSide * scale);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
    holdTimer_.setSingleShot(true);
    holdTimer_.setInterval(kHoldMs);
    connect(&holdTimer_, &QTimer::timeout, this, [this] {
        if (onHold) onHold(pressPoint_.x(), pressPoint_.y());
    });
    resizeTimer_.setSingleShot(true);
    resizeTimer_.setInterval(kResizeSettleMs);
    connect(&resizeTimer_, &QTimer::timeout, this, [this] { reportScreenSize(); });
}

void FrameView::resizeEvent(QResizeEvent*) { resizeTimer_.start(); }

void FrameView::reportScreenSize() {
    const int w = std::max(kMinScreenSide, width() / scale_);
    const int h = std::max(kMinScreenSide, height() / scale_);
    if (w == width_ && h == height_) return;
    width_ = w;
    height_ = h;
    if (onScreenResize) onScreenResize(w, h);
}

QImage FrameView::showImage(QImage image) {
    QImage before = std::exchange(image_, std::move(image));
    notice_.clear();
    updateContent();
    return before;
}

void FrameView::setStatusLine(QString text) {
    status_ = std::move(text);
    updateContent();
}

void FrameView::setNotice(QString text) {
    notice_ = std::move(text);
    updateContent();
}

void FrameView::setBlank(bool blank) {
    blank_ = blank;
    updateContent();
}

// A hidden view gets no paint for it; its next paint (when shown) is not its own.
void FrameView::updateContent() {
    if (!isVisible()) return;
    ownUpdate_ = true;
    update();
}

void FrameView::paintEvent(QPaintEvent*) {
    if (!std::exchange(ownUpdate_, false) && !blank_ && onRepaint && !repaintPending_) {
        repaintPending_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                repaintPending_ = false;
                onRepaint();
            },
            Qt::QueuedConnection);
    }
    // Until the view is drawn anew, the last picture stands.
    QPainter p(this);
    if (blank_) {
        p.fillRect(rect(), Qt::black);
        return;
    }
    // An opaque picture is not painted over white first: only the widget's part beside it is.
    const QRegion beside = image_.hasAlphaChannel()
                               ? QRegion(rect())
                               : QRegion(rect()).subtracted(QRect(QPoint(0, 0), image_.size() * scale_));
    for (const QRect& part : beside) p.fillRect(part, Qt::white);
    p.scale(scale_, scale_);
    p.drawImage(0, 0, image_);
    if (!notice_.isEmpty()) {
        // A word is large; a text of several lines is smaller and stands on a light panel.
        const bool lines = notice_.contains('\n');
        QFont font("DejaVu Sans", 12, QFont::Bold);
        font.setPixelSize(lines ? 13 : 18);
        p.setFont(font);
        const QRect area(0, 0, width_, height_);
        if (lines) {
            const QRect text = p.boundingRect(area.adjusted(8, 0, -8, 0), Qt::AlignCenter | Qt::TextWordWrap, notice_);
            p.fillRect(text.adjusted(-6, -6, 6, 6), QColor(255, 255, 255, 220));
        }
        p.setPen(Qt::black);
        p.drawText(area.adjusted(8, 0, -8, 0), Qt::AlignCenter | Qt::TextWordWrap, notice_);
    }
    if (!status_.isEmpty()) {
        QFont font("DejaVu Sans", 7);
        font.setPixelSize(10);
        p.setFont(font);
        const QRect line(2, height_ - kStatusLineAboveBottom, width_ - 4, 14);
        p.fillRect(line, QColor(255, 255, 255, 200));
        p.setPen(Qt::black);
        p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, status_);
    }
}

QPoint FrameView::devicePoint(const QMouseEvent& event) const {
    const QPoint pos = event.position().toPoint();
    return {pos.x() / scale_, pos.y() / scale_};
}

void FrameView::mousePressEvent(QMouseEvent* event) {
    const QPoint p = devicePoint(*event);
    if (event->button() == Qt::LeftButton) {
        pressPoint_ = p;
        holdTimer_.start();
        if (onTap) onTap(p.x(), p.y());
    } else if (event->button() == Qt::RightButton) {
        if (onTap) onTap(p.x(), p.y());
        if (onHold) onHold(p.x(), p.y());
    }
}

void FrameView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return;
    const QPoint p = devicePoint(*event);
    if ((p - pressPoint_).manhattanLength() > kHoldSlack) holdTimer_.stop();
    if (onDrag) onDrag(p.x(), p.y());
}

void FrameView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    holdTimer_.stop();
    const QPoint p = devicePoint(*event);
    if (onLift) onLift(p.x(), p.y());
}

void FrameView::wheelEvent(QWheelEvent* event) {
    wheelAngle_ += event->angleDelta().y();
    const int steps = wheelAngle_ / kWheelStep;
    wheelAngle_ -= steps * kWheelStep;
    if (steps != 0 && onWheel) onWheel(steps);
    event->accept();
}

// Not passed on as a press: as on the handheld, the second tap of a double tap is only that.
void FrameView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !onDoubleTap) return;
    const QPoint p = devicePoint(*event);
    onDoubleTap(p.x(), p.y());
}

}  // namespace vexa
