// The stage field picture, shown at a whole zoom, with what the author should see drawn over it;
// and the track bars beside it.
#pragma once

#include <QImage>
#include <QPointF>
#include <QSlider>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

class QStyleOptionSlider;

namespace zarp::editor {

// The field picture's own size: its coordinates are the game's screen coordinates.
inline constexpr int32_t kFieldPictureWidth = 630;
inline constexpr int32_t kFieldPictureHeight = 432;
// The picture's top rows lie above the window's client area.
inline constexpr int32_t kFieldHiddenRows = 16;

class StageField : public QWidget {
  public:
    explicit StageField(QWidget* parent);

    // The field as the document draws it, at its own size.
    QImage picture;

    // Drawn over the picture, not into it.
    struct Overlay {
        bool hasStart = false;
        QPointF start;          // the ball's top-left corner
        double startAngle = 0;  // radians, as the game launches at it
        // Each shot of a solution as the ball's top-left corners, frame by frame.
        std::vector<std::vector<QPointF>> shots;
    };
    Overlay overlay;

    // Shows the picture `zoom` times its size (1 to 3); the widget resizes to fit.
    void SetZoom(int32_t zoom);
    int32_t Zoom() const { return zoom_; }
    // The field coordinates under a point of the widget: exactly those of the picture pixel drawn
    // there, whatever the zoom.
    QPoint FieldPoint(QPointF widgetPoint) const;

    std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int32_t, int32_t)> onMouseDown;
    // The pointer moved to field point (x, y), or left the field (inside false).
    std::function<void(bool inside, int32_t x, int32_t y)> onPointer;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    int32_t zoom_ = 1;
};

// A track bar drawn as the platform's own: the groove along the top with its ticks below it,
// however tall the control is.
class TrackBar : public QSlider {
  public:
    explicit TrackBar(QWidget* parent);

  protected:
    void initStyleOption(QStyleOptionSlider* option) const override;
};

}  // namespace zarp::editor
