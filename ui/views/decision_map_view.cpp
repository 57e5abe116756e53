// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/views/decision_map_view.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPaintEngine>
#include <QPainter>
#include <QPushButton>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/engine_error.h"
#include "engine/net_evaluation.h"
#include "engine/neurode_maps.h"
#include "engine/number_text.h"
#include "engine/workspace.h"
#include "ui/canvas/map_image.h"
#include "ui/canvas/repaint_throttle.h"
#include "ui/views/picture_saving.h"
#include "ui/views/view_docks.h"

namespace backprop {

namespace {

// Points along the input of a one-input plot.
constexpr int kPlotPoints = 200;

QColor ToColour(const MapColour& c) { return {c.red, c.green, c.blue}; }

QString Number(double value) { return QString::fromStdString(NumberText(value)).trimmed(); }

// The field's surroundings: the input 2 labels left of the square, the
// input 1 labels under it, the legend to its right.
struct FieldMetrics {
  int labelWidth;
  int legendWidth;
  int lineHeight;
};

FieldMetrics MetricsOf(const QFontMetrics& metrics) {
  const int labelWidth = metrics.horizontalAdvance("-00.000") + 6;
  return {labelWidth, 18 + labelWidth, metrics.height()};
}

}  // namespace

// ---- the field ---------------------------------------------------------

MapField::MapField(QWidget* parent) : QWidget(parent) {
  setMinimumSize(220, 180);
  setObjectName("DecisionMapField");
  setAccessibleName("Decision map");
  setAccessibleDescription(
      "The chosen neurode's output over the square of the two inputs, "
      "with the patterns as dots in their desired output's colour");
}

void MapField::Show(QImage field, double inputLow, double inputHigh, double outputLow,
                    double outputHigh, std::vector<MapPattern> patterns) {
  field_ = std::move(field);
  if (inputLow != inputLow_ || inputHigh != inputHigh_ || outputLow != outputLow_ ||
      outputHigh != outputHigh_ || patterns != patterns_) {
    inputLow_ = inputLow;
    inputHigh_ = inputHigh;
    outputLow_ = outputLow;
    outputHigh_ = outputHigh;
    patterns_ = std::move(patterns);
    overlay_ = QImage();
  }
  update();
}

void MapField::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  overlay_ = QImage();
}

QRect MapField::Square() const {
  const FieldMetrics m = MetricsOf(fontMetrics());
  const int side = std::max(
      40, std::min(width() - m.labelWidth - m.legendWidth - 16, height() - 2 * m.lineHeight - 12));
  return {m.labelWidth, 6, side, side};
}

void MapField::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().window());
  if (field_.isNull()) return;
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.drawImage(Square(), field_);
  // A picture being saved keeps its texts and dots as vectors.
  if (p.paintEngine() == nullptr || p.paintEngine()->type() != QPaintEngine::Raster) {
    PaintOverlay(p);
    return;
  }
  const qreal ratio = devicePixelRatioF();
  const QSize pixels = (QSizeF(size()) * ratio).toSize();
  if (overlay_.size() != pixels) {
    overlay_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    overlay_.setDevicePixelRatio(ratio);
    overlay_.fill(Qt::transparent);
    QPainter o(&overlay_);
    o.setFont(font());
    PaintOverlay(o);
  }
  p.drawImage(0, 0, overlay_);
}

void MapField::PaintOverlay(QPainter& p) const {
  const FieldMetrics m = MetricsOf(fontMetrics());
  const int labelWidth = m.labelWidth;
  const int lineHeight = m.lineHeight;
  const QRect square = Square();
  const int side = square.width();
  p.setPen(Qt::black);
  p.drawRect(square.adjusted(0, 0, -1, -1));

  const QString low = Number(inputLow_);
  const QString high = Number(inputHigh_);
  p.drawText(QRect(square.left() - 2, square.bottom() + 2, labelWidth, lineHeight), Qt::AlignLeft,
             low);
  p.drawText(QRect(square.right() - labelWidth + 2, square.bottom() + 2, labelWidth, lineHeight),
             Qt::AlignRight, high);
  p.drawText(QRect(square.left(), square.bottom() + 2, side, lineHeight), Qt::AlignHCenter,
             "input 1");
  p.drawText(QRect(0, square.bottom() - lineHeight, labelWidth - 4, lineHeight), Qt::AlignRight,
             low);
  p.drawText(QRect(0, square.top(), labelWidth - 4, lineHeight), Qt::AlignRight, high);
  p.save();
  p.translate(labelWidth - 4 - lineHeight, square.center().y());
  p.rotate(-90);
  p.drawText(QRect(-side / 2, 0, side, lineHeight), Qt::AlignHCenter, "input 2");
  p.restore();

  // The patterns: dots in their desired output's colour.
  p.setRenderHint(QPainter::Antialiasing);
  const double span = inputHigh_ - inputLow_;
  for (const MapPattern& pattern : patterns_) {
    if (span == 0) break;
    const double fx = (pattern.input1 - inputLow_) / span;
    const double fy = (pattern.input2 - inputLow_) / span;
    if (!(fx >= -0.02 && fx <= 1.02 && fy >= -0.02 && fy <= 1.02)) continue;
    const QPointF at(square.left() + fx * (side - 1), square.bottom() - fy * (side - 1));
    p.setPen(QPen(Qt::black, 1.5));
    const double target = pattern.target.value_or(std::numeric_limits<double>::quiet_NaN());
    p.setBrush(ToColour(ColourOfOutput(target, outputLow_, outputHigh_)));
    p.drawEllipse(at, 5.0, 5.0);
  }

  // The legend: the colour bar in the user's output units.
  const QRect bar(square.right() + 12, square.top(), 14, side);
  for (int y = 0; y < bar.height(); ++y) {
    const double t = 1.0 - static_cast<double>(y) / std::max(1, bar.height() - 1);
    p.setPen(ToColour(
        ColourOfOutput(outputLow_ + t * (outputHigh_ - outputLow_), outputLow_, outputHigh_)));
    p.drawLine(bar.left(), bar.top() + y, bar.right(), bar.top() + y);
  }
  p.setPen(Qt::black);
  p.setBrush(Qt::NoBrush);
  p.drawRect(bar.adjusted(0, 0, -1, -1));
  const int textLeft = bar.right() + 4;
  p.drawText(QRect(textLeft, bar.top(), labelWidth, lineHeight), Qt::AlignLeft,
             Number(outputHigh_));
  p.drawText(QRect(textLeft, bar.center().y() - lineHeight / 2, labelWidth, lineHeight),
             Qt::AlignLeft, Number((outputLow_ + outputHigh_) / 2));
  p.drawText(QRect(textLeft, bar.bottom() - lineHeight, labelWidth, lineHeight), Qt::AlignLeft,
             Number(outputLow_));
}

// ---- the view ----------------------------------------------------------

DecisionMapView::DecisionMapView(const Workspace& ws, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent),
      ws_(ws),
      dialogs_(dialogs),
      neurode_(new QComboBox(this)),
      message_(new QLabel(this)),
      field_(new MapField(this)),
      chart_(new QChart()),
      plot_(new QChartView(chart_, this)),
      throttle_(new RepaintThrottle(
          this, [this] { Refresh(); }, kViewShare, RepaintThrottle::Cost::PreparationAndPainting)) {
  setObjectName("DecisionMap");
  neurode_->setObjectName("DecisionMapNeurode");
  message_->setObjectName("DecisionMapMessage");
  message_->setWordWrap(true);
  chart_->legend()->setAlignment(Qt::AlignBottom);
  chart_->setMargins(QMargins(4, 4, 4, 4));
  plot_->setRenderHint(QPainter::Antialiasing);
  plot_->setMinimumSize(220, 180);
  plot_->setAccessibleName("Outputs against the input");
  neurodeLabel_ = new QLabel("Neurode:", this);
  neurodeLabel_->setBuddy(neurode_);
  auto* savePicture = new QPushButton("Save Picture...", this);
  savePicture->setObjectName("DecisionMapSavePicture");
  savePicture->setAutoDefault(true);
  connect(savePicture, &QPushButton::clicked, this, [this] {
    SavePictureAs(this, dialogs_, "decision-map.png", [this](bool svg) { return Picture(svg); });
  });
  connect(neurode_, &QComboBox::activated, this, [this] { Refresh(); });

  auto* top = new QHBoxLayout;
  top->addWidget(neurodeLabel_);
  top->addWidget(neurode_);
  top->addStretch(1);
  top->addWidget(savePicture);
  auto* column = new QVBoxLayout(this);
  column->addLayout(top);
  column->addWidget(message_);
  column->addWidget(field_, 1);
  column->addWidget(plot_, 1);
  ShowMessage({});
}

DecisionMapView::Neurode DecisionMapView::Shown() const {
  const QPoint at = neurode_->currentData().toPoint();
  return {at.x(), at.y()};
}

void DecisionMapView::NetChanged() {
  if (isVisible()) throttle_->Request();
}

void DecisionMapView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Refresh();
}

void DecisionMapView::ShowMessage(const QString& text) {
  message_->setText(text);
  message_->setVisible(!text.isEmpty());
  field_->hide();
  plot_->hide();
  ShowSelector(false);
}

// The selector is shown for two-input nets of several neurodes only.
void DecisionMapView::ShowSelector(bool shown) {
  neurode_->setVisible(shown);
  neurodeLabel_->setVisible(shown);
}

void DecisionMapView::Refresh() {
  int inputs = 0;
  int outputs = 0;
  int outputLayer = 0;
  std::vector<int> sizes;  // of layers 2..L
  try {
    const NetEvaluator net(ws_);
    inputs = net.Inputs();
    outputs = net.Outputs();
    const NetGeometry geometry = ValidatedGeometry(ws_);
    outputLayer = geometry.OutputLayer();
    for (int k = 2; k <= outputLayer; ++k) sizes.push_back(geometry.Size(k));
  } catch (const EngineError& error) {
    ShowMessage(QString("The net cannot be evaluated: ") + error.what());
    return;
  }
  if (outputs < 1 || (inputs != 1 && inputs != 2) || ws_.LayerCount < 2) {
    ShowMessage("The decision map needs a net of one or two inputs and at least one output.");
    return;
  }
  message_->hide();
  if (inputs == 2) {
    OfferNeurodes(outputLayer, sizes);
    ShowSelector(neurode_->count() > 1);
    ShowField(Shown(), outputLayer);
  } else {
    ShowSelector(false);
    ShowPlot();
  }
}

void DecisionMapView::OfferNeurodes(int outputLayer, const std::vector<int>& sizes) {
  QList<QPoint> offered;
  for (int k = 2; k <= outputLayer; ++k) {
    for (int j = 1; j <= sizes[static_cast<std::size_t>(k - 2)]; ++j) offered.append({k, j});
  }
  QList<QPoint> present;
  for (int n = 0; n < neurode_->count(); ++n) present.append(neurode_->itemData(n).toPoint());
  if (offered == present) return;
  const QPoint kept = neurode_->currentData().toPoint();
  neurode_->clear();
  for (const QPoint& at : offered) {
    neurode_->addItem(QString("layer %1, neurode %2").arg(at.x()).arg(at.y()), at);
  }
  const int index = neurode_->findData(kept);
  neurode_->setCurrentIndex(index >= 0 ? index : neurode_->findData(QPoint(outputLayer, 1)));
}

std::vector<MapPattern> DecisionMapView::Patterns(std::optional<int> output) const {
  std::vector<MapPattern> patterns;
  const bool trainingSet = ws_.LoadedSet == kDataSetD1 || ws_.LoadedSet == kDataSetD2;
  if (!trainingSet) return patterns;
  const int count = std::clamp(static_cast<int>(std::floor(ws_.PatternCount)), 0, kMaxPatterns);
  for (int p = 1; p <= count; ++p) {
    MapPattern pattern{ws_.RawInputs(1, p), ws_.RawInputs(2, p), std::nullopt};
    if (output) pattern.target = ws_.RawTargets(*output, p);
    patterns.push_back(pattern);
  }
  return patterns;
}

void DecisionMapView::ShowField(Neurode neurode, int outputLayer) {
  const bool output = neurode.layer == outputLayer;
  // An output in the user's units, as stepping shows it; a hidden
  // neurode's own output in the net's.
  const std::vector<double> grid =
      output ? OutputGrid(ws_, neurode.node, kDecisionMapPoints)
             : NeurodeGrid(ws_, neurode.layer, neurode.node, kDecisionMapPoints);
  const double low = output ? static_cast<double>(ws_.OutputRangeLow) : kNeurodeOutputLow;
  const double high = output ? static_cast<double>(ws_.OutputRangeHigh) : kNeurodeOutputHigh;
  field_->Show(MapImage(grid, kDecisionMapPoints, low, high), ws_.InputRangeLow, ws_.InputRangeHigh,
               low, high, Patterns(output ? std::optional<int>(neurode.node) : std::nullopt));
  plot_->hide();
  field_->show();
}

void DecisionMapView::ShowPlot() {
  chart_->removeAllSeries();
  for (QAbstractAxis* axis : chart_->axes()) {
    chart_->removeAxis(axis);
    delete axis;
  }
  const NetEvaluator net(ws_);
  const double low = ws_.InputRangeLow;
  const double high = ws_.InputRangeHigh;
  auto* x = new QValueAxis;
  x->setTitleText("input 1");
  x->setRange(std::min(low, high), std::max(low, high));
  auto* y = new QValueAxis;
  y->setTitleText("output");
  double yLow = std::min<double>(ws_.OutputRangeLow, ws_.OutputRangeHigh);
  double yHigh = std::max<double>(ws_.OutputRangeLow, ws_.OutputRangeHigh);
  chart_->addAxis(x, Qt::AlignBottom);
  chart_->addAxis(y, Qt::AlignLeft);
  for (int j = 1; j <= net.Outputs(); ++j) {
    auto* curve = new QLineSeries;
    curve->setName("output " + QString::number(j));
    for (int n = 0; n < kPlotPoints; ++n) {
      const double input = low + (high - low) * n / (kPlotPoints - 1);
      const double value = net.Output(&input, j);
      if (!std::isfinite(value)) continue;
      curve->append(input, value);
      yLow = std::min(yLow, value);
      yHigh = std::max(yHigh, value);
    }
    chart_->addSeries(curve);
    curve->attachAxis(x);
    curve->attachAxis(y);
    const std::vector<MapPattern> patterns = Patterns(j);
    if (patterns.empty()) continue;
    auto* dots = new QScatterSeries;
    dots->setName("patterns " + QString::number(j));
    dots->setMarkerSize(9);
    dots->setColor(curve->color());
    dots->setBorderColor(Qt::black);
    for (const MapPattern& pattern : patterns) {
      dots->append(pattern.input1, *pattern.target);
      yLow = std::min(yLow, *pattern.target);
      yHigh = std::max(yHigh, *pattern.target);
    }
    chart_->addSeries(dots);
    dots->attachAxis(x);
    dots->attachAxis(y);
  }
  y->setRange(yLow, yHigh > yLow ? yHigh : yLow + 1);
  // One output needs no legend: the line is the output, the dots its patterns.
  chart_->legend()->setVisible(net.Outputs() > 1);
  field_->hide();
  plot_->show();
}

QByteArray DecisionMapView::Picture(bool svg) {
  Refresh();
  if (plot_->isVisible()) return WidgetPicture(*plot_, svg);
  return WidgetPicture(*field_, svg);
}

}  // namespace backprop
