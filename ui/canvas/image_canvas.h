// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QSize>

#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "engine/canvas_calls.h"
#include "engine/forwarding_canvas.h"
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
// or pixel density it paints the picture afresh, crisp and with its texts
// where they belong, and so that it can write the picture as vectors.
//
// The image has as many pixels per logical pixel as the screen it is shown
// on (its device pixel ratio), so lines and texts are as sharp as the
// screen. Fitted to its drawing, it shows whatever its calls drew, texts
// included, as large as the surface allows (see PaintingCanvas).
class ImageCanvas : public ForwardingCanvas {
 public:
  ImageCanvas(QSize size, const QFont& font, QColor foreground, QColor background,
              qreal pixelRatio = 1.0);

  // The picture, in device pixels; its devicePixelRatio() says how many
  // make one logical pixel.
  const QImage& Image() const { return image_; }
  const UserScale& Scale() const { return surface_->Scale(); }
  const QFont& Font() const { return font_; }
  // Gives the surface a new size in logical pixels and a new pixel ratio,
  // and paints the picture afresh at them.
  void Resize(QSize size, qreal pixelRatio = 1.0);
  // Fits the picture to what it draws from the next FollowFit() on, or
  // shows the user scale as it is set again, at once.
  void SetFitToDrawing(bool fit);
  bool FitsToDrawing() const { return fit_; }
  // Fitted to its drawing: paints the picture afresh when what was drawn
  // since the last call needs another region.
  void FollowFit();
  // Called after every change, so a widget can schedule a repaint.
  void SetChangedCallback(std::function<void()> callback) { changed_ = std::move(callback); }
  // The picture as an SVG document: lines, circles and texts as vectors.
  QByteArray Svg() const;
  // The picture as a PNG file's bytes, at its pixel density.
  QByteArray Png() const;

 protected:
  std::span<Canvas* const> Targets() override { return targets_; }
  void Forwarded(bool changesPicture) override;

 private:
  // A new surface at the present size, density and fit, with the picture
  // painted on it afresh.
  void Render();

  QSize size_;
  qreal pixelRatio_;
  QImage image_;
  QFont font_;
  QColor foreground_;
  QColor background_;
  std::unique_ptr<PaintingCanvas> surface_;
  CanvasCalls calls_;
  std::array<Canvas*, 2> targets_{};  // the record, then the surface
  bool fit_ = false;
  std::optional<UserScale> fitRegion_;  // what the fitted picture shows
  bool drawnSinceFit_ = false;
  std::function<void()> changed_;
};

}  // namespace backprop
