// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/canvas/painting_canvas.h"

#include <QImage>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace backprop {

namespace {

QString WithoutTrailingBlanks(QString text) {
  qsizetype end = text.size();
  while (end > 0 && text.at(end - 1).isSpace()) --end;
  text.truncate(end);
  return text;
}

}  // namespace

QPointF PixelToUser(const UserScale& scale, QSizeF size, QPointF pixel) {
  const double w = size.width() > 0 ? size.width() : 1.0;
  const double h = size.height() > 0 ? size.height() : 1.0;
  return {scale.left + pixel.x() / w * (scale.right - scale.left),
          scale.top + pixel.y() / h * (scale.bottom - scale.top)};
}

QPointF UserToPixel(const UserScale& scale, QSizeF size, QPointF user) {
  return {(user.x() - scale.left) / (scale.right - scale.left) * size.width(),
          (user.y() - scale.top) / (scale.bottom - scale.top) * size.height()};
}

UserScale FittedScale(const UserScale& region, QSizeF size) {
  const double width = std::max(std::fabs(region.right - region.left), 1e-9);
  const double height = std::max(std::fabs(region.bottom - region.top), 1e-9);
  const double perUnit = std::min(size.width() / width, size.height() / height);
  const double halfWidth = size.width() / perUnit / 2;
  const double halfHeight = size.height() / perUnit / 2;
  const double centreX = (region.left + region.right) / 2;
  const double centreY = (region.top + region.bottom) / 2;
  // Each axis keeps the direction the region gives it.
  const double sx = region.right >= region.left ? 1.0 : -1.0;
  const double sy = region.bottom >= region.top ? 1.0 : -1.0;
  return {centreX - sx * halfWidth, centreY - sy * halfHeight, centreX + sx * halfWidth,
          centreY + sy * halfHeight};
}

PaintingCanvas::PaintingCanvas(QPaintDevice* device, QSizeF size, const QFont& font,
                               QColor foreground, QColor background, QPainter* painter,
                               std::optional<UserScale> fit)
    : device_(device),
      size_(size),
      font_(font),
      shownFont_(font),
      foreground_(foreground),
      background_(background),
      painter_(painter),
      fit_(fit),
      scale_{0.0, 0.0, size.width(), size.height()} {}

PaintingCanvas PaintingCanvas::Measuring(const QFont& font) {
  PaintingCanvas canvas(nullptr, QSizeF(1, 1), font, Qt::black, Qt::white);
  canvas.measuring_ = true;
  return canvas;
}

template <typename Paint>
void PaintingCanvas::WithPainter(Paint paint) {
  if (painter_ != nullptr) {
    painter_->save();
    paint(*painter_);
    painter_->restore();
    return;
  }
  if (device_ == nullptr) return;
  QPainter painter(device_);
  paint(painter);
}

QFontMetricsF PaintingCanvas::Metrics() const {
  return device_ != nullptr ? QFontMetricsF(shownFont_, device_) : QFontMetricsF(shownFont_);
}

void PaintingCanvas::SetScale(double left, double top, double right, double bottom) {
  if (measuring_) {
    // As many pixels per unit as a fitted drawing's texts are measured at.
    size_ = QSizeF(std::fabs(right - left), std::fabs(bottom - top)) * kFitReferencePixelsPerUnit;
  }
  if (!fit_) {
    scale_ = {left, top, right, bottom};
    return;
  }
  scale_ = FittedScale(*fit_, size_);
  zoom_ = PixelsPerUnitX() / kFitReferencePixelsPerUnit;
  shownFont_ = font_;
  if (font_.pointSizeF() > 0) {
    shownFont_.setPointSizeF(font_.pointSizeF() * zoom_);
  } else {
    shownFont_.setPixelSize(std::max(1, static_cast<int>(std::lround(font_.pixelSize() * zoom_))));
  }
}

void PaintingCanvas::Clear() {
  WithPainter([this](QPainter& p) { p.fillRect(QRectF(QPointF(0, 0), size_), background_); });
  extent_.reset();
  cursorX_ = lineStartX_ = scale_.left;
  cursorY_ = scale_.top;
}

void PaintingCanvas::Cover(double x1, double y1, double x2, double y2) {
  const UserScale box{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
  if (!extent_) {
    extent_ = box;
    return;
  }
  extent_ = UserScale{std::min(extent_->left, box.left), std::min(extent_->top, box.top),
                      std::max(extent_->right, box.right), std::max(extent_->bottom, box.bottom)};
}

void PaintingCanvas::MoveTo(double x, double y) {
  cursorX_ = lineStartX_ = x;
  cursorY_ = y;
}

void PaintingCanvas::Print(std::string_view text) {
  const QString qtext = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  const QFontMetricsF metrics = Metrics();
  const double width = metrics.horizontalAdvance(qtext);
  const QPointF topLeft = ToPixel(cursorX_, cursorY_);
  WithPainter([&](QPainter& p) {
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(shownFont_);
    p.fillRect(QRectF(topLeft, QSizeF(width, metrics.height())), background_);
    p.setPen(foreground_);
    p.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()), qtext);
  });
  // Blanks erase but show nothing.
  const double shown = metrics.horizontalAdvance(WithoutTrailingBlanks(qtext));
  if (shown > 0) {
    Cover(cursorX_, cursorY_, cursorX_ + shown / PixelsPerUnitX(),
          cursorY_ + metrics.height() / PixelsPerUnitY());
  }
  cursorX_ += width / PixelsPerUnitX();
}

void PaintingCanvas::EndLine() {
  cursorX_ = lineStartX_;
  cursorY_ += Metrics().height() / PixelsPerUnitY();
}

void PaintingCanvas::NextZone() {
  const double column = (cursorX_ - lineStartX_) / ColumnWidthInUnits();
  const double zone = std::floor(column / kPrintZoneColumns + 1e-9) + 1.0;
  cursorX_ = lineStartX_ + zone * kPrintZoneColumns * ColumnWidthInUnits();
}

void PaintingCanvas::ToColumn(int column) {
  const double target = lineStartX_ + column * ColumnWidthInUnits();
  if (target > cursorX_) cursorX_ = target;
}

void PaintingCanvas::SetLineWidth(int pixels) { lineWidth_ = pixels < 1 ? 1 : pixels; }

void PaintingCanvas::SetLineStyle(LineStyle style) { lineStyle_ = style; }

void PaintingCanvas::Line(double x1, double y1, double x2, double y2, std::optional<Rgb> colour) {
  const QColor penColour = colour ? QColor(colour->red, colour->green, colour->blue) : foreground_;
  const QPen pen(penColour, lineWidth_ * zoom_,
                 lineStyle_ == LineStyle::Dotted ? Qt::DotLine : Qt::SolidLine, Qt::FlatCap);
  WithPainter([&](QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(pen);
    p.drawLine(ToPixel(x1, y1), ToPixel(x2, y2));
  });
  if (lineStyle_ == LineStyle::Solid) Cover(x1, y1, x2, y2);
}

void PaintingCanvas::Circle(double x, double y, double radius) {
  const double r = std::fabs(radius) * PixelsPerUnitX();
  WithPainter([&](QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(foreground_, zoom_));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(ToPixel(x, y), r, r);
  });
  const double ry = r / PixelsPerUnitY();
  Cover(x - std::fabs(radius), y - ry, x + std::fabs(radius), y + ry);
}

void PaintingCanvas::Field(double x, double y, double width, double height,
                           const ColourField& field) {
  const auto n = static_cast<std::size_t>(std::max(field.n, 0));
  if (n == 0 || field.cells.size() != n * n) return;
  const double side = std::min(std::fabs(width) * PixelsPerUnitX(),
                               std::fabs(height) * std::fabs(PixelsPerUnitY()));
  const QPointF centre = ToPixel(x, y);
  const QRectF box(centre.x() - side / 2, centre.y() - side / 2, side, side);
  WithPainter([&](QPainter& p) {
    QImage cells(field.n, field.n, QImage::Format_RGB32);
    for (std::size_t row = 0; row < n; ++row) {
      auto* line = reinterpret_cast<QRgb*>(cells.scanLine(static_cast<int>(row)));
      for (std::size_t column = 0; column < n; ++column) {
        const Rgb& c = field.cells[row * n + column];
        line[column] = qRgb(c.red, c.green, c.blue);
      }
    }
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(box, cells);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(foreground_, zoom_));
    p.setBrush(Qt::NoBrush);
    p.drawRect(box);
  });
  const QPointF from = PixelToUser(scale_, size_, box.topLeft());
  const QPointF to = PixelToUser(scale_, size_, box.bottomRight());
  Cover(from.x(), from.y(), to.x(), to.y());
}

QPointF PaintingCanvas::ToPixel(double x, double y) const {
  return UserToPixel(scale_, size_, QPointF(x, y));
}

double PaintingCanvas::PixelsPerUnitX() const {
  return size_.width() / (scale_.right - scale_.left);
}

double PaintingCanvas::PixelsPerUnitY() const {
  return size_.height() / (scale_.bottom - scale_.top);
}

double PaintingCanvas::ColumnWidthInUnits() const {
  return Metrics().averageCharWidth() / PixelsPerUnitX();
}

}  // namespace backprop
