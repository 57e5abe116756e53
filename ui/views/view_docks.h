// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QAction;
class QDockWidget;
class QMainWindow;
class QMenuBar;

namespace backprop {

// A dock's redrawing (its numbers and its painting) takes at most one part
// in this many of the time while training goes on, so the docks together
// cost training little; the docks are redrawn less often when they are slow.
inline constexpr int kViewShare = 30;

class ArithmeticView;
class CanvasView;
class DecisionMapView;
class DockLayout;
class Dialogs;
class ErrorCurveView;
class Host;
class TrainingControls;
class LessonDocks;
struct CycleReport;
struct NetElement;
struct Workspace;

// The View menu and its docks beside the main window's drawing: the
// training controls, the error curve, the decision map, the arithmetic of
// one pattern and the lesson, each hidden at start, moved, floated and
// closed as docks are, and opened or closed at any time, also while a run
// trains; DockLayout keeps them usable at every size and between runs. Two
// switches, off at start, change how the drawing shows the net: "Fit Net"
// and "Neurode Maps". "Save Picture..." saves the drawing itself; "Reset
// Layout" puts the docks back in place. The main window tells the docks
// what the engine tells it; with every dock closed they only record the
// error curve.
class ViewDocks : public QObject {
  Q_OBJECT

 public:
  ViewDocks(Workspace& ws, QMainWindow& window, Host& host, Dialogs& dialogs, CanvasView& drawing);
  ~ViewDocks() override;

  // Adds the View menu to the menu bar.
  void AddMenu(QMenuBar* bar);

  void TrainingStarted();
  void CycleEnded(const CycleReport& report);
  // The net was redrawn: the map and the arithmetic follow.
  void NetRedrawn();
  // A program run starts or has ended.
  void RunStarting();
  void RunEnded();
  // "Save Picture...": the drawing as PNG or SVG.
  void SaveDrawing();
  // Brings every open dock up to date with the weights now, without
  // waiting for the screen's rate.
  void RefreshNow();

  // "Fit Net": outside design mode the drawing shows the net as large as
  // its area allows.
  QAction* FitNetAction() const { return fitNet_; }
  bool FitNet() const;
  // "Neurode Maps": each neurode of layers 2..L drawn as a map of its output.
  QAction* NeurodeMapsAction() const { return neurodeMaps_; }
  bool NeurodeMaps() const;
  // A file set was loaded: the lesson follows.
  void FileSetLoaded();

  ErrorCurveView& Curve() { return *curve_; }
  DecisionMapView& Map() { return *map_; }
  ArithmeticView& Arithmetic() { return *arithmetic_; }
  TrainingControls& Training() { return *training_; }
  QDockWidget* CurveDock() const { return curveDock_; }
  QDockWidget* ArithmeticDock() const { return arithmeticDock_; }
  QDockWidget* TrainingDock() const { return trainingDock_; }
  LessonDocks& Lessons() { return *lessons_; }
  // Where the docks stand, kept usable at every size and between runs.
  DockLayout& Layout() { return *layout_; }

 private:
  void Highlight(const NetElement& element);

  Workspace& ws_;
  QMainWindow& window_;
  Dialogs& dialogs_;
  CanvasView& drawing_;
  ErrorCurveView* curve_;
  DecisionMapView* map_;
  ArithmeticView* arithmetic_;
  TrainingControls* training_;
  QDockWidget* curveDock_ = nullptr;
  QDockWidget* mapDock_ = nullptr;
  QDockWidget* arithmeticDock_ = nullptr;
  QDockWidget* trainingDock_ = nullptr;
  QAction* fitNet_;
  QAction* neurodeMaps_;
  LessonDocks* lessons_;
  DockLayout* layout_;
};

}  // namespace backprop
