#include "ui/canvas/image_canvas.h"

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

ImageCanvas::ImageCanvas(QSize size, const QFont& font, QColor foreground, QColor background)
    : image_(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32),
      scale_{0.0, 0.0, static_cast<double>(size.width()), static_cast<double>(size.height())},
      font_(font),
      foreground_(foreground),
      background_(background) {
  image_.fill(background_);
}

void ImageCanvas::Resize(QSize size) {
  size = size.expandedTo(QSize(1, 1));
  if (size == image_.size()) return;
  image_ = image_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  Changed();
}

void ImageCanvas::SetScale(double left, double top, double right, double bottom) {
  scale_ = {left, top, right, bottom};
}

void ImageCanvas::Clear() {
  image_.fill(background_);
  cursorX_ = lineStartX_ = scale_.left;
  cursorY_ = scale_.top;
  Changed();
}

void ImageCanvas::MoveTo(double x, double y) {
  cursorX_ = lineStartX_ = x;
  cursorY_ = y;
}

void ImageCanvas::Print(std::string_view text) {
  const QString qtext = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  const QFontMetricsF metrics(font_);
  const double width = metrics.horizontalAdvance(qtext);
  const QPointF topLeft = ToPixel(cursorX_, cursorY_);
  QPainter painter(&image_);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.setFont(font_);
  painter.fillRect(QRectF(topLeft, QSizeF(width, metrics.height())), background_);
  painter.setPen(foreground_);
  painter.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()), qtext);
  cursorX_ += width / PixelsPerUnitX();
  Changed();
}

void ImageCanvas::EndLine() {
  const QFontMetricsF metrics(font_);
  cursorX_ = lineStartX_;
  cursorY_ += metrics.height() / PixelsPerUnitY();
}

void ImageCanvas::NextZone() {
  const double column = (cursorX_ - lineStartX_) / ColumnWidthInUnits();
  const double zone = std::floor(column / kZoneColumns + 1e-9) + 1.0;
  cursorX_ = lineStartX_ + zone * kZoneColumns * ColumnWidthInUnits();
}

void ImageCanvas::ToColumn(int column) {
  const double target = lineStartX_ + column * ColumnWidthInUnits();
  if (target > cursorX_) cursorX_ = target;
}

void ImageCanvas::SetLineWidth(int pixels) { lineWidth_ = pixels < 1 ? 1 : pixels; }

void ImageCanvas::SetLineStyle(LineStyle style) { lineStyle_ = style; }

void ImageCanvas::Line(double x1, double y1, double x2, double y2, std::optional<Rgb> colour) {
  QPainter painter(&image_);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor penColour =
      colour ? QColor(colour->red, colour->green, colour->blue) : foreground_;
  QPen pen(penColour, lineWidth_,
           lineStyle_ == LineStyle::Dotted ? Qt::DotLine : Qt::SolidLine, Qt::FlatCap);
  painter.setPen(pen);
  painter.drawLine(ToPixel(x1, y1), ToPixel(x2, y2));
  Changed();
}

void ImageCanvas::Circle(double x, double y, double radius) {
  QPainter painter(&image_);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(foreground_, 1));
  painter.setBrush(Qt::NoBrush);
  const double r = std::fabs(radius) * PixelsPerUnitX();
  painter.drawEllipse(ToPixel(x, y), r, r);
  Changed();
}

QPointF ImageCanvas::ToPixel(double x, double y) const {
  return UserToPixel(scale_, QSizeF(image_.size()), QPointF(x, y));
}

double ImageCanvas::PixelsPerUnitX() const {
  return image_.width() / (scale_.right - scale_.left);
}

double ImageCanvas::PixelsPerUnitY() const {
  return image_.height() / (scale_.bottom - scale_.top);
}

double ImageCanvas::ColumnWidthInUnits() const {
  return QFontMetricsF(font_).averageCharWidth() / PixelsPerUnitX();
}

void ImageCanvas::Changed() {
  if (changed_) changed_();
}

}  // namespace backprop
