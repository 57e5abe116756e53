// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "engine/net_hit.h"
#include "engine/pattern_arithmetic.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace backprop {

class Dialogs;
class Host;
class RepaintThrottle;
struct Workspace;

// Back-propagation by hand: the arithmetic of one pattern of a training set
// with the present weights, number by number and grouped by layer (inputs;
// each neurode's net input, output, slope and delta; the outputs' desired
// values and errors; each weight, its change and its new value), and two
// buttons that train in slow motion: "Apply" applies exactly this step and
// moves to the next pattern, "One Cycle" runs one training cycle over the
// set. Selecting a row highlights its neurode or connection on the drawing.
class ArithmeticView : public QWidget {
  Q_OBJECT

 public:
  ArithmeticView(Workspace& ws, Host& host, Dialogs& dialogs, QWidget* parent = nullptr);

  // The weights may have changed: the numbers follow at the screen's rate.
  void NetChanged();
  // Computes and shows the arithmetic now.
  void Refresh();
  // A program run starts or ends: the buttons wait while it trains.
  void SetRunning(bool running);

  void Apply();     // "Apply"
  void OneCycle();  // "One Cycle"

  // While a run is paused: the pattern about to be trained, from the
  // weights now.
  void ShowNext(int set, int pattern);
  // While a run is paused: the step of the pattern just trained, kept until
  // another pattern is chosen or training goes on.
  void ShowTrained(const PatternArithmetic& step);
  // Training goes on: the numbers follow the weights again.
  void FollowTraining();
  // The line above the numbers while a run is paused, or "".
  QString Note() const;

  int Set() const;      // 1 or 2
  int Pattern() const;  // 1..
  void Choose(int set, int pattern);
  // The arithmetic shown; its pattern is 0 when none could be computed.
  const PatternArithmetic& Shown() const { return shown_; }
  QTreeWidget& Table() const { return *table_; }

 signals:
  // A row of a neurode or a connection was selected (Kind::None: neither).
  void Highlight(const NetElement& element);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  // Chooses the pattern and shows its arithmetic, once.
  void ShowPattern(int pattern);
  void Fill();
  void AddGroup(const QString& title, const QStringList& headers);
  void AddRow(const QString& name, std::initializer_list<double> numbers,
              const NetElement& element = {});
  void ShowCounters();
  void ShowNote(const QString& note);
  // The user chose a set or a pattern.
  void Chosen();
  void Fail(const QString& reason);
  // The reason the step shown would overflow, if it would.
  void ShowOverflow();

  Workspace& ws_;
  Host& host_;
  Dialogs& dialogs_;
  PatternArithmetic shown_;
  QComboBox* set_ = nullptr;
  QSpinBox* pattern_ = nullptr;
  QPushButton* apply_ = nullptr;
  QPushButton* oneCycle_ = nullptr;
  QLabel* counters_ = nullptr;
  QLabel* status_ = nullptr;
  QLabel* note_ = nullptr;
  QTreeWidget* table_ = nullptr;
  QTreeWidgetItem* group_ = nullptr;
  RepaintThrottle* throttle_ = nullptr;
  bool running_ = false;
  bool holdingStep_ = false;  // a step recorded by training is shown
};

}  // namespace backprop
