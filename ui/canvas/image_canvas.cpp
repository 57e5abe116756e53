#include "ui/canvas/image_canvas.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>

namespace backprop {

ImageCanvas::ImageCanvas(QSize size, const QFont& font, QColor foreground, QColor background)
    : image_(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32),
      font_(font),
      foreground_(foreground),
      background_(background),
      surface_(std::make_unique<PaintingCanvas>(&image_, QSizeF(image_.size()), font_, foreground_,
                                                background_)) {
  image_.fill(background_);
}

void ImageCanvas::Resize(QSize size) {
  size = size.expandedTo(QSize(1, 1));
  if (size == image_.size()) return;
  image_ = QImage(size, QImage::Format_RGB32);
  image_.fill(background_);
  surface_ =
      std::make_unique<PaintingCanvas>(&image_, QSizeF(size), font_, foreground_, background_);
  calls_.ReplayOnto(*surface_);
  if (changed_) changed_();
}

QByteArray ImageCanvas::Svg() const {
  return SvgBytes(image_.size(), image_.logicalDpiX(), [this](QPainter& painter) {
    PaintingCanvas vectors(painter.device(), QSizeF(image_.size()), font_, foreground_, background_,
                           &painter);
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

template <typename Call>
void ImageCanvas::Draw(Call call, bool changes) {
  call(calls_);
  call(*surface_);
  if (changes && changed_) changed_();
}

void ImageCanvas::SetScale(double left, double top, double right, double bottom) {
  Draw([&](Canvas& c) { c.SetScale(left, top, right, bottom); }, false);
}
void ImageCanvas::Clear() {
  Draw([](Canvas& c) { c.Clear(); });
}
void ImageCanvas::MoveTo(double x, double y) {
  Draw([&](Canvas& c) { c.MoveTo(x, y); }, false);
}
void ImageCanvas::Print(std::string_view text) {
  Draw([&](Canvas& c) { c.Print(text); });
}
void ImageCanvas::EndLine() {
  Draw([](Canvas& c) { c.EndLine(); }, false);
}
void ImageCanvas::NextZone() {
  Draw([](Canvas& c) { c.NextZone(); }, false);
}
void ImageCanvas::ToColumn(int column) {
  Draw([&](Canvas& c) { c.ToColumn(column); }, false);
}
void ImageCanvas::SetLineWidth(int pixels) {
  Draw([&](Canvas& c) { c.SetLineWidth(pixels); }, false);
}
void ImageCanvas::SetLineStyle(LineStyle style) {
  Draw([&](Canvas& c) { c.SetLineStyle(style); }, false);
}
void ImageCanvas::Line(double x1, double y1, double x2, double y2, std::optional<Rgb> colour) {
  Draw([&](Canvas& c) { c.Line(x1, y1, x2, y2, colour); });
}
void ImageCanvas::Circle(double x, double y, double radius) {
  Draw([&](Canvas& c) { c.Circle(x, y, radius); });
}

}  // namespace backprop
