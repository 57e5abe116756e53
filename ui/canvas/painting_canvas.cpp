#include "ui/canvas/painting_canvas.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

#include <cmath>

namespace backprop {

namespace {
constexpr int kZoneColumns = 14;
}

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

PaintingCanvas::PaintingCanvas(QPaintDevice* device, QSizeF size, const QFont& font,
                               QColor foreground, QColor background, QPainter* painter)
    : device_(device),
      size_(size),
      font_(font),
      foreground_(foreground),
      background_(background),
      painter_(painter),
      scale_{0.0, 0.0, size.width(), size.height()} {}

template <typename Paint>
void PaintingCanvas::WithPainter(Paint paint) {
  if (painter_ != nullptr) {
    painter_->save();
    paint(*painter_);
    painter_->restore();
    return;
  }
  QPainter painter(device_);
  paint(painter);
}

void PaintingCanvas::SetScale(double left, double top, double right, double bottom) {
  scale_ = {left, top, right, bottom};
}

void PaintingCanvas::Clear() {
  WithPainter([this](QPainter& p) { p.fillRect(QRectF(QPointF(0, 0), size_), background_); });
  cursorX_ = lineStartX_ = scale_.left;
  cursorY_ = scale_.top;
}

void PaintingCanvas::MoveTo(double x, double y) {
  cursorX_ = lineStartX_ = x;
  cursorY_ = y;
}

void PaintingCanvas::Print(std::string_view text) {
  const QString qtext = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  const QFontMetricsF metrics(font_, device_);
  const double width = metrics.horizontalAdvance(qtext);
  const QPointF topLeft = ToPixel(cursorX_, cursorY_);
  WithPainter([&](QPainter& p) {
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(font_);
    p.fillRect(QRectF(topLeft, QSizeF(width, metrics.height())), background_);
    p.setPen(foreground_);
    p.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()), qtext);
  });
  cursorX_ += width / PixelsPerUnitX();
}

void PaintingCanvas::EndLine() {
  const QFontMetricsF metrics(font_, device_);
  cursorX_ = lineStartX_;
  cursorY_ += metrics.height() / PixelsPerUnitY();
}

void PaintingCanvas::NextZone() {
  const double column = (cursorX_ - lineStartX_) / ColumnWidthInUnits();
  const double zone = std::floor(column / kZoneColumns + 1e-9) + 1.0;
  cursorX_ = lineStartX_ + zone * kZoneColumns * ColumnWidthInUnits();
}

void PaintingCanvas::ToColumn(int column) {
  const double target = lineStartX_ + column * ColumnWidthInUnits();
  if (target > cursorX_) cursorX_ = target;
}

void PaintingCanvas::SetLineWidth(int pixels) { lineWidth_ = pixels < 1 ? 1 : pixels; }

void PaintingCanvas::SetLineStyle(LineStyle style) { lineStyle_ = style; }

void PaintingCanvas::Line(double x1, double y1, double x2, double y2, std::optional<Rgb> colour) {
  const QColor penColour = colour ? QColor(colour->red, colour->green, colour->blue) : foreground_;
  const QPen pen(penColour, lineWidth_,
                 lineStyle_ == LineStyle::Dotted ? Qt::DotLine : Qt::SolidLine, Qt::FlatCap);
  WithPainter([&](QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(pen);
    p.drawLine(ToPixel(x1, y1), ToPixel(x2, y2));
  });
}

void PaintingCanvas::Circle(double x, double y, double radius) {
  const double r = std::fabs(radius) * PixelsPerUnitX();
  WithPainter([&](QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(foreground_, 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(ToPixel(x, y), r, r);
  });
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
  return QFontMetricsF(font_, device_).averageCharWidth() / PixelsPerUnitX();
}

}  // namespace backprop
