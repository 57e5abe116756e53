// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/canvas/image_canvas.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>

#include <algorithm>

namespace backprop {

namespace {

// A fitted picture leaves this much room, in user units, around what it shows.
constexpr double kFitMargin = 0.25;

QSize AtLeastOnePixel(QSize size) { return size.expandedTo(QSize(1, 1)); }

}  // namespace

ImageCanvas::ImageCanvas(QSize size, const QFont& font, QColor foreground, QColor background,
                         qreal pixelRatio)
    : size_(AtLeastOnePixel(size)),
      pixelRatio_(std::max<qreal>(pixelRatio, 1.0)),
      font_(font),
      foreground_(foreground),
      background_(background) {
  Render();
}

void ImageCanvas::Render() {
  image_ = QImage(AtLeastOnePixel((QSizeF(size_) * pixelRatio_).toSize()), QImage::Format_RGB32);
  image_.setDevicePixelRatio(pixelRatio_);
  image_.fill(background_);
  surface_ = std::make_unique<PaintingCanvas>(&image_, QSizeF(size_), font_, foreground_,
                                              background_, nullptr, fitRegion_);
  targets_ = {&calls_, surface_.get()};
  calls_.ReplayOnto(*surface_);
}

void ImageCanvas::Resize(QSize size, qreal pixelRatio) {
  size = AtLeastOnePixel(size);
  pixelRatio = std::max<qreal>(pixelRatio, 1.0);
  if (size == size_ && pixelRatio == pixelRatio_) return;
  size_ = size;
  pixelRatio_ = pixelRatio;
  Render();
  if (changed_) changed_();
}

void ImageCanvas::SetFitToDrawing(bool fit) {
  if (fit == fit_) return;
  fit_ = fit;
  drawnSinceFit_ = fit;
  if (fit) {
    FollowFit();
    return;
  }
  fitRegion_.reset();
  Render();
  if (changed_) changed_();
}

void ImageCanvas::FollowFit() {
  if (!fit_ || !drawnSinceFit_) return;
  drawnSinceFit_ = false;
  PaintingCanvas measure = PaintingCanvas::Measuring(font_);
  calls_.ReplayOnto(measure);
  std::optional<UserScale> region;
  if (const auto& e = measure.DrawnExtent()) {
    region = UserScale{e->left - kFitMargin, e->top - kFitMargin, e->right + kFitMargin,
                       e->bottom + kFitMargin};
  }
  if (region == fitRegion_) return;
  fitRegion_ = region;
  Render();
  if (changed_) changed_();
}

void ImageCanvas::Forwarded(bool changesPicture) {
  if (!changesPicture) return;
  drawnSinceFit_ = fit_;
  if (changed_) changed_();
}

QByteArray ImageCanvas::Svg() const {
  return SvgBytes(size_, image_.logicalDpiX(), [this](QPainter& painter) {
    PaintingCanvas vectors(painter.device(), QSizeF(size_), font_, foreground_, background_,
                           &painter, fitRegion_);
    vectors.Clear();
    calls_.ReplayOnto(vectors);
  });
}

QByteArray SvgBytes(QSize size, int dotsPerInch, const std::function<void(QPainter&)>& paint) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  QSvgGenerator generator;
  generator.setOutputDevice(&buffer);
  generator.setSize(size);
  generator.setViewBox(QRect(QPoint(0, 0), size));
  generator.setResolution(dotsPerInch);
  generator.setTitle("BACKPROPAGATION");
  QPainter painter(&generator);
  paint(painter);
  painter.end();
  return bytes;
}

QByteArray PngBytes(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return {};
  return bytes;
}

QByteArray ImageCanvas::Png() const { return PngBytes(image_); }

}  // namespace backprop
