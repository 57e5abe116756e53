#include "ui/views/error_curve_view.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "engine/engine_error.h"
#include "engine/host.h"
#include "engine/number_text.h"
#include "engine/workspace.h"
#include "ui/canvas/repaint_throttle.h"
#include "ui/views/picture_saving.h"
#include "ui/views/view_docks.h"

namespace backprop {

namespace {

const QColor kCurrentColour(0, 0, 128);  // the drawing's navy
const QColor kPreviousColour(160, 160, 160);
const QColor kThresholdColour(200, 0, 0);
const QColor kTestColour(220, 110, 0);
const QColor kPreviousTestColour(240, 200, 160);

QList<QPointF> ToPoints(const std::vector<CurvePoint>& points, double floor) {
  QList<QPointF> list;
  list.reserve(static_cast<qsizetype>(points.size()));
  for (const CurvePoint& p : points) {
    if (!std::isfinite(p.error)) continue;
    list.append(QPointF(p.trial, std::max(p.error, floor)));
  }
  return list;
}

// Sets a value axis to the round-numbered range around low..high. Every
// change of an axis lays out every series again, so the range is rounded
// on a detached axis first and the chart's axis changes only when the
// rounded range does: most refreshes leave it alone.
void SetNiceRange(QValueAxis& axis, double low, double high) {
  QValueAxis rounded;
  rounded.setRange(low, high);
  rounded.applyNiceNumbers();
  if (rounded.min() != axis.min() || rounded.max() != axis.max()) {
    axis.setRange(rounded.min(), rounded.max());
  }
  axis.setTickCount(rounded.tickCount());
}

// Replaces a series' points unless they are the same already.
void SetPoints(QLineSeries& series, const QList<QPointF>& points) {
  if (series.points() != points) series.replace(points);
}

}  // namespace

ErrorCurveView::ErrorCurveView(const Workspace& ws, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent),
      ws_(ws),
      dialogs_(dialogs),
      caption_(new QLabel(this)),
      logarithmic_(new QCheckBox("Logarithmic error axis", this)),
      testSet_(new QComboBox(this)),
      chart_(new QChart()),
      chartView_(new QChartView(chart_, this)),
      currentSeries_(new QLineSeries()),
      previousSeries_(new QLineSeries()),
      thresholdSeries_(new QLineSeries()),
      testSeries_(new QLineSeries()),
      previousTestSeries_(new QLineSeries()),
      throttle_(new RepaintThrottle(
          chartView_->viewport(), [this] { Refresh(); }, kViewShare,
          RepaintThrottle::Cost::PreparationAndPainting)) {
  setObjectName("ErrorCurve");
  caption_->setObjectName("ErrorCurveCaption");
  caption_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  QFont captionFont = caption_->font();
  captionFont.setBold(true);
  caption_->setFont(captionFont);
  logarithmic_->setObjectName("ErrorCurveLogarithmic");
  testSet_->setObjectName("ErrorCurveTestSet");
  testSet_->addItem("Test error: none", 0);
  testSet_->addItem("Test error: D2", kDataSetD2);
  testSet_->addItem("Test error: T1", kTestSetT1);
  testSet_->setToolTip(
      "Also draw the error of a set with desired outputs after every cycle, under the "
      "weights of the moment (T1 is then read with its desired outputs)");
  BuildChart();

  auto* saveData = new QPushButton("Save Data...", this);
  saveData->setObjectName("ErrorCurveSaveData");
  auto* savePicture = new QPushButton("Save Picture...", this);
  savePicture->setObjectName("ErrorCurveSavePicture");
  connect(saveData, &QPushButton::clicked, this,
          [this] { SaveCsvAs(this, dialogs_, "error-curve.csv", Csv()); });
  connect(savePicture, &QPushButton::clicked, this, [this] {
    SavePictureAs(this, dialogs_, "error-curve.png", [this](bool svg) { return Picture(svg); });
  });
  connect(logarithmic_, &QCheckBox::toggled, this, &ErrorCurveView::SetLogarithmic);
  connect(testSet_, &QComboBox::currentIndexChanged, this, [this] {
    // Another set's errors are not comparable: its line starts afresh.
    currentTest_ = ErrorCurve();
    previousTest_ = ErrorCurve();
    testText_.clear();
    Refresh();
  });

  // Two short rows, so that the dock stays narrow beside the drawing.
  auto* choices = new QHBoxLayout;
  choices->addWidget(logarithmic_);
  choices->addWidget(testSet_);
  choices->addStretch(1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(saveData);
  buttons->addWidget(savePicture);
  auto* column = new QVBoxLayout(this);
  column->addWidget(caption_);
  column->addWidget(chartView_, 1);
  column->addLayout(choices);
  column->addLayout(buttons);
}

void ErrorCurveView::BuildChart() {
  chart_->legend()->hide();
  chart_->setMargins(QMargins(4, 4, 4, 4));
  previousSeries_->setPen(QPen(kPreviousColour, 1.5));
  currentSeries_->setPen(QPen(kCurrentColour, 1.5));
  QPen dashed(kThresholdColour, 1.0, Qt::DashLine);
  thresholdSeries_->setPen(dashed);
  previousTestSeries_->setPen(QPen(kPreviousTestColour, 1.5));
  testSeries_->setPen(QPen(kTestColour, 1.5));
  for (QLineSeries* series :
       {previousSeries_, previousTestSeries_, currentSeries_, testSeries_, thresholdSeries_}) {
    chart_->addSeries(series);
  }
  chartView_->setRenderHint(QPainter::Antialiasing);
  chartView_->setMinimumSize(240, 160);
  SetLogarithmic(false);
}

void ErrorCurveView::SetLogarithmic(bool logarithmic) {
  for (QAbstractAxis* axis : {xAxis_, yAxis_}) {
    if (axis == nullptr) continue;
    chart_->removeAxis(axis);
    delete axis;
  }
  auto* x = new QValueAxis;
  x->setTitleText("Trial");
  x->setLabelFormat("%.0f");
  xAxis_ = x;
  if (logarithmic) {
    auto* y = new QLogValueAxis;
    y->setLabelFormat("%.2g");
    y->setMinorTickCount(-1);
    yAxis_ = y;
  } else {
    auto* y = new QValueAxis;
    y->setLabelFormat("%.3g");
    yAxis_ = y;
  }
  yAxis_->setTitleText("Error");
  chart_->addAxis(xAxis_, Qt::AlignBottom);
  chart_->addAxis(yAxis_, Qt::AlignLeft);
  for (QLineSeries* series :
       {previousSeries_, previousTestSeries_, currentSeries_, testSeries_, thresholdSeries_}) {
    series->attachAxis(xAxis_);
    series->attachAxis(yAxis_);
  }
  Refresh();
}

void ErrorCurveView::StartCurve(bool byHand) {
  previous_ = std::move(current_);
  current_ = ErrorCurve();
  previousTest_ = std::move(currentTest_);
  currentTest_ = ErrorCurve();
  currentByHand_ = byHand;
}

int ErrorCurveView::TestSet() const { return testSet_->currentData().toInt(); }

void ErrorCurveView::SetTestSet(int set) {
  const int index = testSet_->findData(set);
  if (index >= 0) testSet_->setCurrentIndex(index);
}

void ErrorCurveView::MeasureTest(double trial) {
  const int set = TestSet();
  if (set == 0) return;
  try {
    const TestError test = testMeter_.Measure(ws_, set);
    currentTest_.Add(trial, test.error);
    const bool digital = ws_.OutputMode == kDigitalOutput;
    std::string error = digital ? PrintForm(test.error) : FormatPattern(test.error, " ##.######");
    error.erase(error.find_last_not_of(' ') + 1);
    testText_ = "   Test=" + error;
    if (test.counting != RightCounting::None) {
      testText_ += "  (test: " + std::to_string(test.right) + " of " +
                   std::to_string(test.patterns) + " right)";
    }
  } catch (const EngineError& e) {
    currentTest_.Add(trial, std::numeric_limits<double>::quiet_NaN());
    testText_ = std::string("   Test: ") + e.what();
  }
}

void ErrorCurveView::TrainingStarted() { StartCurve(false); }

void ErrorCurveView::CycleEnded(const CycleReport& report) {
  if (report.byHand &&
      (!currentByHand_ || current_.Empty() || report.trial <= current_.Last().trial)) {
    StartCurve(true);
  }
  current_.Add(report.trial, report.errorSum);
  MeasureTest(report.trial);
  trialText_ = report.trialText;
  errorText_ = report.errorText;
  if (isVisible()) throttle_->Request();
}

QString ErrorCurveView::Caption() const {
  if (trialText_.empty()) return {};
  std::string caption = "Trial=" + trialText_;
  if (!errorText_.empty()) caption += "   Error=" + errorText_;
  caption += testText_;
  return QString::fromStdString(caption);
}

void ErrorCurveView::Refresh() {
  caption_->setText(Caption().isEmpty() ? QString("No training yet") : Caption());
  const bool logarithmic = logarithmic_->isChecked();
  double lowest = 0;
  for (const ErrorCurve* curve : {&current_, &previous_, &currentTest_, &previousTest_}) {
    const double low = curve->LowestPositiveError();
    if (low > 0 && (lowest == 0 || low < lowest)) lowest = low;
  }
  // A logarithmic axis cannot show 0: errors of 0 sit at its floor.
  const double floor =
      logarithmic ? (lowest > 0 ? lowest / 10 : 1e-6) : -std::numeric_limits<double>::infinity();
  SetPoints(*currentSeries_, ToPoints(current_.Summary(), floor));
  SetPoints(*previousSeries_, ToPoints(previous_.Summary(), floor));
  SetPoints(*testSeries_, ToPoints(currentTest_.Summary(), floor));
  SetPoints(*previousTestSeries_, ToPoints(previousTest_.Summary(), floor));

  double lastTrial = 1;
  double highest = 0;
  for (const ErrorCurve* curve : {&current_, &previous_, &currentTest_, &previousTest_}) {
    if (!curve->Empty()) lastTrial = std::max(lastTrial, curve->Last().trial);
    highest = std::max(highest, curve->HighestError());
  }
  // Training stops below the threshold only in analog reporting with the
  // error test on.
  const bool thresholdApplies = ws_.ShowTest == 1 && ws_.ErrorTest == 1 &&
                                ws_.OutputMode != kDigitalOutput && ws_.AnalogThreshold > 0;
  QList<QPointF> threshold;
  if (thresholdApplies) {
    threshold = {QPointF(0, ws_.AnalogThreshold), QPointF(lastTrial, ws_.AnalogThreshold)};
    highest = std::max<double>(highest, ws_.AnalogThreshold);
  }
  SetPoints(*thresholdSeries_, threshold);
  // Round numbers on the axes, so the ticks read easily.
  SetNiceRange(*static_cast<QValueAxis*>(xAxis_), 0, std::max(2.0, lastTrial));
  if (logarithmic) {
    const double top = highest > 0 ? highest * 2 : 1;
    yAxis_->setRange(floor, std::max(top, floor * 10));
  } else {
    SetNiceRange(*static_cast<QValueAxis*>(yAxis_), 0, highest > 0 ? highest : 1);
  }
}

std::string ErrorCurveView::Csv() const {
  std::vector<const ErrorCurve*> curves;
  if (!previous_.Empty()) curves.push_back(&previous_);
  curves.push_back(&current_);
  if (currentTest_.Empty() && previousTest_.Empty()) return CurvesCsv(curves);
  std::vector<const ErrorCurve*> tests;
  if (!previous_.Empty()) tests.push_back(&previousTest_);
  tests.push_back(&currentTest_);
  return CurvesCsv(curves, tests);
}

QByteArray ErrorCurveView::Picture(bool svg) {
  Refresh();
  return WidgetPicture(*chartView_, svg);
}

void ErrorCurveView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Refresh();
}

}  // namespace backprop
