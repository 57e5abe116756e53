#pragma once

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QSizeF>

#include "engine/canvas.h"

class QPaintDevice;
class QPainter;

namespace backprop {

// The user coordinates of a surface's four edges.
struct UserScale {
  double left = 0.0;
  double top = 0.0;
  double right = 1.0;
  double bottom = 1.0;
};

// Maps a pixel position on a surface of the given size to user coordinates.
QPointF PixelToUser(const UserScale& scale, QSizeF size, QPointF pixel);
// Maps user coordinates to a pixel position.
QPointF UserToPixel(const UserScale& scale, QSizeF size, QPointF user);

// The Canvas operations painted with QPainter onto a paint device of a
// given size: an image on screen, or a vector picture. Text uses the given
// font over an opaque background; print columns are the font's average
// character width. It paints through `painter` when one is given (a device
// that takes only one painter, such as an SVG generator), otherwise through
// a painter of its own for each call.
class PaintingCanvas : public Canvas {
 public:
  PaintingCanvas(QPaintDevice* device, QSizeF size, const QFont& font, QColor foreground,
                 QColor background, QPainter* painter = nullptr);

  const UserScale& Scale() const { return scale_; }

  void SetScale(double left, double top, double right, double bottom) override;
  void Clear() override;
  void MoveTo(double x, double y) override;
  void Print(std::string_view text) override;
  void EndLine() override;
  void NextZone() override;
  void ToColumn(int column) override;
  void SetLineWidth(int pixels) override;
  void SetLineStyle(LineStyle style) override;
  void Line(double x1, double y1, double x2, double y2,
            std::optional<Rgb> colour = std::nullopt) override;
  void Circle(double x, double y, double radius) override;

 private:
  template <typename Paint>
  void WithPainter(Paint paint);
  QPointF ToPixel(double x, double y) const;
  double PixelsPerUnitX() const;
  double PixelsPerUnitY() const;
  double ColumnWidthInUnits() const;

  QPaintDevice* device_;
  QSizeF size_;
  QFont font_;
  QColor foreground_;
  QColor background_;
  QPainter* painter_;
  UserScale scale_;
  double cursorX_ = 0.0;
  double cursorY_ = 0.0;
  double lineStartX_ = 0.0;
  int lineWidth_ = 1;
  LineStyle lineStyle_ = LineStyle::Solid;
};

}  // namespace backprop
