// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QWidget>

class QAction;
class QLabel;
class QSlider;

namespace backprop {

// What a press of "One Cycle" or "One Pattern" asks of training, until
// training takes it up.
enum class TrainingStep { None, Cycle, Pattern };

// The Training dock's controls: "Pause" / "Resume", "One Cycle", "One
// Pattern", the speed from "Full speed" down to one cycle a second, and the
// state of the run in words. They hold the pause, the step asked for and
// the speed, and nothing else; the main window's yield reads them. Every
// control has a shortcut on a key that types no character, so using one is
// never a key typed on the drawing (which stops training).
class TrainingControls : public QWidget {
  Q_OBJECT

 public:
  explicit TrainingControls(QWidget* parent = nullptr);

  // Whether "Pause" is pressed; its caption then reads "Resume".
  bool Paused() const;
  void SetPaused(bool paused);
  // The step asked for and not yet taken.
  TrainingStep Step() const { return step_; }
  // Hands the step asked for to training, which takes it now.
  TrainingStep TakeStep();
  // "One Cycle" and "One Pattern": from a pause, or while training runs,
  // when they pause training once their step is done.
  void AskForStep(TrainingStep step);

  // Cycles a second; 0 at full speed.
  int CyclesPerSecond() const;
  // The speed by its place among the choices, 0 the slowest.
  void SetSpeedIndex(int index);
  int SpeedIndex() const;
  static int SpeedCount();
  // The name of a speed: "Full speed", "1 cycle a second", ...
  static QString SpeedName(int cyclesPerSecond);

  // Whether a run trains: the steps wait for one.
  void SetTraining(bool training);
  // The state in words ("Training: cycle 41 of 999, paused") and, below
  // it, what comes next.
  void ShowState(const QString& state, const QString& detail);
  QString State() const;
  QString Detail() const;
  // The line that shows the state, repainted while training runs.
  QWidget* StateLine() const;

  // Pause, One Cycle, One Pattern, Slower and Faster, whose shortcuts the
  // main window takes.
  QList<QAction*> Actions() const;

 signals:
  // The pause, the step asked for or the speed changed.
  void Changed();
  // The user used a control's action (by its button or its shortcut).
  void Used();

 private:
  void BuildActions();
  void BuildLines();
  void LayOut();
  QAction* AddAction(const QString& text, const QString& objectName, Qt::Key key,
                     const QString& tip);
  void ShowPauseCaption();
  void ShowSpeedName();

  QAction* pause_;
  QAction* oneCycle_;
  QAction* onePattern_;
  QAction* slower_;
  QAction* faster_;
  QSlider* speed_;
  QLabel* speedName_;
  QLabel* state_;
  QLabel* detail_;
  TrainingStep step_ = TrainingStep::None;
};

}  // namespace backprop
