#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointF>
#include <QSize>

#include <functional>

#include "engine/canvas.h"

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

// A Canvas that paints into a persistent QImage, so what was drawn stays
// until the next Clear, also while no window shows it. Text uses the given
// font over an opaque background; print columns are the font's average
// character width.
class ImageCanvas : public Canvas {
 public:
  ImageCanvas(QSize size, const QFont& font, QColor foreground, QColor background);

  const QImage& Image() const { return image_; }
  const UserScale& Scale() const { return scale_; }
  const QFont& Font() const { return font_; }
  // Gives the surface a new size; the drawing so far is stretched to fit.
  void Resize(QSize size);
  // Called after every change, so a widget can schedule a repaint.
  void SetChangedCallback(std::function<void()> callback) { changed_ = std::move(callback); }

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
  QPointF ToPixel(double x, double y) const;
  double PixelsPerUnitX() const;
  double PixelsPerUnitY() const;
  double ColumnWidthInUnits() const;
  void Changed();

  QImage image_;
  UserScale scale_;
  QFont font_;
  QColor foreground_;
  QColor background_;
  double cursorX_ = 0.0;
  double cursorY_ = 0.0;
  double lineStartX_ = 0.0;
  int lineWidth_ = 1;
  LineStyle lineStyle_ = LineStyle::Solid;
  std::function<void()> changed_;
};

}  // namespace backprop
