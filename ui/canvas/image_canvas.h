#pragma once

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QSize>

#include <functional>
#include <memory>

#include "engine/canvas.h"
#include "engine/canvas_calls.h"
#include "ui/canvas/painting_canvas.h"

class QPainter;

namespace backprop {

// An image as the bytes of a PNG file; empty when it cannot be encoded.
QByteArray PngBytes(const QImage& image);

// An SVG document of the given size in pixels, painted by `paint`, whose
// text measures as on a screen of `dotsPerInch`.
QByteArray SvgBytes(QSize size, int dotsPerInch, const std::function<void(QPainter&)>& paint);

// A Canvas that paints into a persistent QImage, so what was drawn stays
// until the next Clear, also while no window shows it. It also keeps the
// calls that made the picture (a CanvasCalls list), so that at another size
// it paints the picture afresh, crisp and with its texts where they belong,
// and so that it can write the picture as vectors.
class ImageCanvas : public Canvas {
 public:
  ImageCanvas(QSize size, const QFont& font, QColor foreground, QColor background);

  const QImage& Image() const { return image_; }
  const UserScale& Scale() const { return surface_->Scale(); }
  const QFont& Font() const { return font_; }
  // Gives the surface a new size and paints the picture afresh at it.
  void Resize(QSize size);
  // Called after every change, so a widget can schedule a repaint.
  void SetChangedCallback(std::function<void()> callback) { changed_ = std::move(callback); }
  // The picture as an SVG document: lines, circles and texts as vectors.
  QByteArray Svg() const;
  // The picture as a PNG file's bytes.
  QByteArray Png() const;

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
  // Records the call, paints it, and tells the listener.
  template <typename Call>
  void Draw(Call call, bool changes = true);

  QImage image_;
  QFont font_;
  QColor foreground_;
  QColor background_;
  std::unique_ptr<PaintingCanvas> surface_;
  CanvasCalls calls_;
  std::function<void()> changed_;
};

}  // namespace backprop
