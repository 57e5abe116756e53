// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <string>

#include "engine/error_curve.h"
#include "engine/test_error.h"

class QCheckBox;
class QComboBox;
class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QAbstractAxis;

namespace backprop {

class Dialogs;
class RepaintThrottle;
struct CycleReport;
struct Workspace;

// The error curve: every training cycle's error against its trial, the
// curve of the run before it in grey for comparison (cut off where the run
// shown now has got to), and, while training stops at the analog
// threshold, a dashed line there. A legend names the runs by their TRAIN
// line and learning rate; the axes' ticks are whole trials and distinct
// errors, as many as their labels have room for. Above the chart the
// last report stays readable after the run. The chart follows the screen's
// rate and draws each curve's summary, so a run of a million cycles stays
// smooth; "Save Data..." writes every value. With a test set chosen (D2, or
// T1 read with its desired outputs) a second line shows that set's error
// after every cycle, measured read-only under the weights of the moment,
// and the caption says how many of its patterns the net gets right.
class ErrorCurveView : public QWidget {
  Q_OBJECT

 public:
  ErrorCurveView(const Workspace& ws, Dialogs& dialogs, QWidget* parent = nullptr);

  // A TRAIN line starts: its curve is new, the last one turns grey.
  void TrainingStarted();
  // A cycle ended with its report. Cycles run by hand continue their own
  // curve while their trials go on counting up.
  void CycleEnded(const CycleReport& report);

  const ErrorCurve& Current() const { return current_; }
  const ErrorCurve& Previous() const { return previous_; }
  const ErrorCurve& CurrentTest() const { return currentTest_; }
  const ErrorCurve& PreviousTest() const { return previousTest_; }
  // The test set measured after every cycle: 2 (D2), 4 (T1) or 0 for none.
  int TestSet() const;
  void SetTestSet(int set);
  // The last report: "Trial= 12    Error= .012346", and the test set's
  // "   Test= .03 (test: 27 of 30 right)".
  QString Caption() const;
  // Draws the curves now (the chart otherwise follows the screen's rate).
  void Refresh();
  // Every value of both curves, as "Save Data..." writes them.
  std::string Csv() const;
  // The chart as "Save Picture..." writes it.
  QByteArray Picture(bool svg);

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildChart();
  void SetLogarithmic(bool logarithmic);
  void StartCurve(bool byHand);
  void MeasureTest(double trial);
  // The axes' ticks for the trials and errors shown, at the plot's size.
  void FitTicks();
  // The legend's names, for the lines drawn.
  void NameSeries(bool threshold);

  const Workspace& ws_;
  Dialogs& dialogs_;
  ErrorCurve current_;
  ErrorCurve previous_;
  ErrorCurve currentTest_;
  ErrorCurve previousTest_;
  TestErrorMeter testMeter_;
  std::string testText_;  // the caption's test part
  bool currentByHand_ = false;
  QString currentName_;  // the runs' names in the legend
  QString previousName_;
  double lastTrial_ = 1;  // the trials and errors the axes span
  double highest_ = 0;
  int retick_ = 0;  // how often the ticks may still follow the plot's size
  std::string trialText_;
  std::string errorText_;
  QLabel* caption_;
  QCheckBox* logarithmic_;
  QComboBox* testSet_;
  QChart* chart_;
  QWidget* plot_;  // the chart and its legend
  QChartView* chartView_;
  QLabel* legend_;
  QLineSeries* currentSeries_;
  QLineSeries* previousSeries_;
  QLineSeries* thresholdSeries_;
  QLineSeries* testSeries_;
  QLineSeries* previousTestSeries_;
  QAbstractAxis* xAxis_ = nullptr;
  QAbstractAxis* yAxis_ = nullptr;
  RepaintThrottle* throttle_;
};

}  // namespace backprop
