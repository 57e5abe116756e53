// SPDX-License-Identifier: GPL-3.0-or-later
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
#include "engine/program_text.h"
#include "engine/text_lines.h"
#include "engine/training.h"
#include "engine/workspace.h"
#include "ui/canvas/repaint_throttle.h"
#include "ui/views/axis_ticks.h"
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

// Replaces a series' points unless they are the same already.
void SetPoints(QLineSeries& series, const QList<QPointF>& points) {
  if (series.points() != points) series.replace(points);
}

// The highest error drawn up to trial `last`.
double HighestUpTo(const QList<QPointF>& points, double last) {
  double highest = 0;
  for (const QPointF& p : points) {
    if (p.x() <= last) highest = std::max(highest, p.y());
  }
  return highest;
}

// The name of a run of training: its TRAIN line and learning rate, "S1
// line 16: TRAIN=1, ε .2", or the set trained by hand.
QString RunName(const Workspace& ws, bool byHand) {
  const QString epsilon = QString::fromStdString(NumberText(ws.Epsilon)).trimmed();
  if (byHand) return QString("by hand on D%1, ε %2").arg(ws.SelectedSet.Value()).arg(epsilon);
  const bool second = ws.RunMode == kRunProgramS2;
  const std::string& program = ws.TextBuffer(second ? BufferId::ProgramS2 : BufferId::ProgramS1);
  QString line = "TRAIN";
  for (const ProgramLine& running : RunningLines(program)) {
    if (running.number == ws.RunningLine) {
      line = QString::fromStdString(std::string(TrimBlanks(running.text)));
    }
  }
  return QString("%1 line %2: %3, ε %4")
      .arg(second ? "S2" : "S1")
      .arg(ws.RunningLine)
      .arg(line)
      .arg(epsilon);
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
      plot_(new QWidget(this)),
      chartView_(new QChartView(chart_, plot_)),
      legend_(new QLabel(plot_)),
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
  caption_->setAccessibleName("Last report");
  caption_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  QFont captionFont = caption_->font();
  captionFont.setBold(true);
  caption_->setFont(captionFont);
  logarithmic_->setObjectName("ErrorCurveLogarithmic");
  testSet_->setObjectName("ErrorCurveTestSet");
  testSet_->setAccessibleName("Test error");
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
  // Enter presses them too, as in a dialog.
  saveData->setAutoDefault(true);
  savePicture->setAutoDefault(true);
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
  // The chart and, under it, the names of its lines, saved as one picture.
  auto* plotColumn = new QVBoxLayout(plot_);
  plotColumn->setContentsMargins(0, 0, 0, 0);
  plotColumn->addWidget(chartView_, 1);
  plotColumn->addWidget(legend_);
  column->addWidget(plot_, 1);
  column->addLayout(choices);
  column->addLayout(buttons);
}

void ErrorCurveView::BuildChart() {
  // The legend is a label of its own, which wraps long names rather than
  // cutting them short.
  chart_->legend()->hide();
  legend_->setObjectName("ErrorCurveLegend");
  legend_->setWordWrap(true);
  legend_->setTextFormat(Qt::RichText);
  legend_->setAutoFillBackground(true);
  legend_->setBackgroundRole(QPalette::Base);
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
  chartView_->setAccessibleName("Error curve");
  // The labels' room changes with the plot's size: the ticks follow.
  connect(chart_, &QChart::plotAreaChanged, this, [this] {
    if (retick_ > 0) {
      --retick_;
      FitTicks();
    }
  });
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
  x->setMinorTickCount(0);
  xAxis_ = x;
  if (logarithmic) {
    auto* y = new QLogValueAxis;
    y->setLabelFormat("%.2g");
    y->setMinorTickCount(-1);
    yAxis_ = y;
  } else {
    yAxis_ = new QValueAxis;
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
  previousName_ = std::move(currentName_);
  currentName_ = RunName(ws_, byHand);
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
  const QList<QPointF> current = ToPoints(current_.Summary(), floor);
  const QList<QPointF> previous = ToPoints(previous_.Summary(), floor);
  const QList<QPointF> test = ToPoints(currentTest_.Summary(), floor);
  const QList<QPointF> previousTest = ToPoints(previousTest_.Summary(), floor);
  SetPoints(*currentSeries_, current);
  SetPoints(*previousSeries_, previous);
  SetPoints(*testSeries_, test);
  SetPoints(*previousTestSeries_, previousTest);

  // The trials follow the run shown now; the one before is cut off there.
  const ErrorCurve& leading = current_.Empty() ? previous_ : current_;
  lastTrial_ = leading.Empty() ? 1 : std::max(1.0, leading.Last().trial);
  highest_ = 0;
  for (const QList<QPointF>* points : {&current, &previous, &test, &previousTest}) {
    highest_ = std::max(highest_, HighestUpTo(*points, lastTrial_));
  }
  const bool threshold = StopsBelowThreshold(ws_) && ws_.AnalogThreshold > 0;
  if (threshold) highest_ = std::max<double>(highest_, ws_.AnalogThreshold);
  FitTicks();
  const double right = static_cast<QValueAxis*>(xAxis_)->max();
  SetPoints(*thresholdSeries_, threshold ? QList<QPointF>{QPointF(0, ws_.AnalogThreshold),
                                                          QPointF(right, ws_.AnalogThreshold)}
                                         : QList<QPointF>{});
  if (logarithmic) {
    // Whole decades, so that every label is a power of ten.
    const double top = highest_ > 0 ? highest_ * 2 : 1;
    const double low = std::pow(10.0, std::floor(std::log10(floor)));
    yAxis_->setRange(low, std::pow(10.0, std::ceil(std::log10(std::max(top, low * 10)))));
  }
  NameSeries(threshold);
  // The plot's size may change with the new labels; the ticks may follow
  // it a few times, not back and forth for ever.
  retick_ = 3;
}

void ErrorCurveView::FitTicks() {
  const QRectF plot = chart_->plotArea();
  const QSizeF length =
      plot.isValid() && plot.width() > 1 ? plot.size() : QSizeF(chartView_->size()) * 0.75;
  auto* x = static_cast<QValueAxis*>(xAxis_);
  const QFontMetricsF across(x->labelsFont());
  const auto wide = [&across](const QString& label) {
    return across.horizontalAdvance(label) + 2 * across.averageCharWidth();
  };
  ShowTicks(*x, ChooseTicks(lastTrial_, length.width(), true, wide));
  if (auto* y = qobject_cast<QValueAxis*>(yAxis_)) {
    const QFontMetricsF down(y->labelsFont());
    const auto high = [&down](const QString&) { return down.height() * 1.5; };
    ShowTicks(*y, ChooseTicks(highest_ > 0 ? highest_ : 1, length.height(), false, high));
  }
}

void ErrorCurveView::NameSeries(bool threshold) {
  const QString testName = QString("test error (%1)").arg(TestSet() == kTestSetT1 ? "T1" : "D2");
  const struct {
    const QLineSeries* series;
    QString name;
  } names[] = {{currentSeries_, currentName_.isEmpty() ? QString("error") : currentName_},
               {previousSeries_, "before: " + previousName_},
               {testSeries_, testName},
               {previousTestSeries_, "before: " + testName},
               {thresholdSeries_,
                "threshold " + QString::fromStdString(NumberText(ws_.AnalogThreshold)).trimmed()}};
  // Only what is drawn is named, each in its line's colour.
  QStringList lines;
  for (const auto& entry : names) {
    const bool drawn = entry.series == thresholdSeries_ ? threshold : entry.series->count() > 0;
    if (!drawn) continue;
    lines << QString("<span style=\"color:%1\">&#9632;</span>&nbsp;%2")
                 .arg(entry.series->pen().color().name(), entry.name.toHtmlEscaped());
  }
  const QString legend = lines.join("<br>");
  if (legend_->text() != legend) legend_->setText(legend);
  legend_->setVisible(!lines.isEmpty());
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
  return WidgetPicture(*plot_, svg);
}

void ErrorCurveView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Refresh();
}

void ErrorCurveView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // The plot's new size may leave the labels more or less room.
  retick_ = 3;
}

}  // namespace backprop
