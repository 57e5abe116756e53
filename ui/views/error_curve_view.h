#pragma once

#include <QWidget>

#include <string>

#include "engine/error_curve.h"

class QCheckBox;
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
// curve of the run before it in grey for comparison, and, while training
// stops at the analog threshold, a dashed line there. Above the chart the
// last report stays readable after the run. The chart follows the screen's
// rate and draws each curve's summary, so a run of a million cycles stays
// smooth; "Save Data..." writes every value.
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
  // The last report: "Trial= 12    Error= .012346".
  QString Caption() const;
  // Draws the curves now (the chart otherwise follows the screen's rate).
  void Refresh();
  // Every value of both curves, as "Save Data..." writes them.
  std::string Csv() const;
  // The chart as "Save Picture..." writes it.
  QByteArray Picture(bool svg);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildChart();
  void SetLogarithmic(bool logarithmic);
  void StartCurve(bool byHand);

  const Workspace& ws_;
  Dialogs& dialogs_;
  ErrorCurve current_;
  ErrorCurve previous_;
  bool currentByHand_ = false;
  std::string trialText_;
  std::string errorText_;
  QLabel* caption_;
  QCheckBox* logarithmic_;
  QChart* chart_;
  QChartView* chartView_;
  QLineSeries* currentSeries_;
  QLineSeries* previousSeries_;
  QLineSeries* thresholdSeries_;
  QAbstractAxis* xAxis_ = nullptr;
  QAbstractAxis* yAxis_ = nullptr;
  RepaintThrottle* throttle_;
};

}  // namespace backprop
