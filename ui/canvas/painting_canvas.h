// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPointF>
#include <QSizeF>

#include <optional>

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
  friend bool operator==(const UserScale&, const UserScale&) = default;
};

// Maps a pixel position on a surface of the given size to user coordinates.
QPointF PixelToUser(const UserScale& scale, QSizeF size, QPointF pixel);
// Maps user coordinates to a pixel position.
QPointF UserToPixel(const UserScale& scale, QSizeF size, QPointF user);

// The scale that shows all of `region` on a surface of the given size,
// centred, with as many pixels per unit across as down.
UserScale FittedScale(const UserScale& region, QSizeF size);

// A fitted drawing's pens, circles and texts have their own size where a
// user unit is this many pixels, and grow or shrink with the fit from there.
inline constexpr double kFitReferencePixelsPerUnit = 70.0;

// The Canvas operations painted with QPainter onto a paint device of a
// given size (in the device's own pixels, which a high-density image maps
// onto several of its pixels each): an image on screen, or a vector
// picture. Text uses the given font over an opaque background; print
// columns are the font's average character width. It paints through
// `painter` when one is given (a device that takes only one painter, such
// as an SVG generator), otherwise through a painter of its own for each
// call; without a device it paints nothing and only measures.
//
// With a fit region, every user scale set shows that region of its
// coordinates whole (FittedScale) rather than its own edges, and pens,
// circles and texts grow with the fit, as one picture.
class PaintingCanvas : public Canvas {
 public:
  PaintingCanvas(QPaintDevice* device, QSizeF size, const QFont& font, QColor foreground,
                 QColor background, QPainter* painter = nullptr,
                 std::optional<UserScale> fit = std::nullopt);

  // A canvas that paints nothing and measures as a fitted drawing does, at
  // kFitReferencePixelsPerUnit on both axes: its DrawnExtent() is what a fit
  // region must hold to show every call replayed onto it.
  static PaintingCanvas Measuring(const QFont& font);

  const UserScale& Scale() const { return scale_; }
  // What the calls since the last Clear covered, in user coordinates:
  // circles, solid lines, fields and texts without their trailing blanks.
  // Dotted lines are guides that may run off a fitted drawing and do not
  // count. Empty while nothing counted was drawn.
  const std::optional<UserScale>& DrawnExtent() const { return extent_; }

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
  void Field(double x, double y, double width, double height, const ColourField& field) override;

 private:
  template <typename Paint>
  void WithPainter(Paint paint);
  QPointF ToPixel(double x, double y) const;
  double PixelsPerUnitX() const;
  double PixelsPerUnitY() const;
  double ColumnWidthInUnits() const;
  QFontMetricsF Metrics() const;
  // Widens the drawn extent to hold the box from (x1, y1) to (x2, y2).
  void Cover(double x1, double y1, double x2, double y2);

  QPaintDevice* device_;
  QSizeF size_;
  QFont font_;
  QFont shownFont_;  // the font grown with the fit
  QColor foreground_;
  QColor background_;
  QPainter* painter_;
  std::optional<UserScale> fit_;
  bool measuring_ = false;
  double zoom_ = 1.0;  // how much the fit has grown pens and texts
  UserScale scale_;
  std::optional<UserScale> extent_;
  double cursorX_ = 0.0;
  double cursorY_ = 0.0;
  double lineStartX_ = 0.0;
  int lineWidth_ = 1;
  LineStyle lineStyle_ = LineStyle::Solid;
};

}  // namespace backprop
