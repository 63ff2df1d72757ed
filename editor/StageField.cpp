#include "editor/StageField.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionSlider>
#include <algorithm>
#include <array>
#include <cmath>

namespace zarp::editor {

namespace {

constexpr int32_t kTrackBarBodyHeight = 30;
// The aiming marker's distance from the ball, as the game draws it.
constexpr double kArrowLength = 24;
constexpr double kBallHalf = 8;

// One colour per shot of a solution, repeating.
constexpr std::array<QRgb, 6> kShotColours = {0xFFFF5050, 0xFF50D0FF, 0xFFFFD030,
                                              0xFF60FF60, 0xFFFF70FF, 0xFFFFFFFF};

}  // namespace

StageField::StageField(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void StageField::SetZoom(int32_t zoom) {
    zoom_ = std::clamp(zoom, 1, 3);
    resize(kFieldPictureWidth * zoom_, kFieldPictureHeight * zoom_);
    update();
}

QPoint StageField::FieldPoint(QPointF widgetPoint) const {
    return QPoint(static_cast<int>(std::floor(widgetPoint.x() / zoom_)),
                  static_cast<int>(std::floor(widgetPoint.y() / zoom_)));
}

void StageField::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Whole multiples, nearest pixels: each picture pixel becomes a zoom x zoom square.
    painter.drawImage(QRect(0, 0, picture.width() * zoom_, picture.height() * zoom_), picture);

    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(zoom_, zoom_);
    for (size_t shot = 0; shot < overlay.shots.size(); ++shot) {
        const std::vector<QPointF>& points = overlay.shots[shot];
        if (points.size() < 2) continue;
        QPainterPath path(points.front() + QPointF(kBallHalf, kBallHalf));
        for (const QPointF& point : points)
            path.lineTo(point + QPointF(kBallHalf, kBallHalf));
        painter.setPen(QPen(QColor::fromRgba(kShotColours[shot % kShotColours.size()]), 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
    }
    if (overlay.hasStart) {
        // From the ball's centre the way the game shoots at the stage's start angle.
        const QPointF centre = overlay.start + QPointF(kBallHalf, kBallHalf);
        const QPointF direction(std::cos(overlay.startAngle), std::sin(overlay.startAngle));
        const QPointF tip = centre + kArrowLength * direction;
        const QPointF back = -6 * direction;
        const QPointF side(-direction.y() * 4, direction.x() * 4);
        painter.setPen(QPen(QColor(255, 230, 0), 1.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(centre + 10 * direction, tip);
        painter.setBrush(QColor(255, 230, 0));
        painter.drawPolygon(QPolygonF{tip, tip + back + side, tip + back - side});
    }
}

void StageField::mousePressEvent(QMouseEvent* event) {
    const QPoint at = FieldPoint(event->position());
    if (onMouseDown) onMouseDown(event->button(), event->modifiers(), at.x(), at.y());
}

void StageField::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = FieldPoint(event->position());
    if (onPointer) onPointer(true, at.x(), at.y());
}

void StageField::leaveEvent(QEvent*) {
    if (onPointer) onPointer(false, 0, 0);
}

TrackBar::TrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setTickInterval(1);
    setPageStep(1);
    setTickPosition(QSlider::TicksBelow);
}

void TrackBar::initStyleOption(QStyleOptionSlider* option) const {
    QSlider::initStyleOption(option);
    option->rect.setHeight(std::min(option->rect.height(), kTrackBarBodyHeight));
}

}  // namespace zarp::editor
