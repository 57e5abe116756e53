// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/views/view_docks.h"

#include <QAction>
#include <QDockWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "engine/host.h"
#include "engine/net_hit.h"
#include "engine/net_layout.h"
#include "engine/workspace.h"
#include "ui/canvas/canvas_view.h"
#include "ui/common/keyboard.h"
#include "ui/views/arithmetic_view.h"
#include "ui/views/decision_map_view.h"
#include "ui/views/dock_layout.h"
#include "ui/views/error_curve_view.h"
#include "ui/views/lesson_docks.h"
#include "ui/views/picture_saving.h"
#include "ui/views/training_controls.h"

namespace backprop {

ViewDocks::ViewDocks(Workspace& ws, QMainWindow& window, Host& host, Dialogs& dialogs,
                     CanvasView& drawing)
    : QObject(&window),
      ws_(ws),
      window_(window),
      dialogs_(dialogs),
      drawing_(drawing),
      curve_(new ErrorCurveView(ws, dialogs)),
      map_(new DecisionMapView(ws, dialogs)),
      arithmetic_(new ArithmeticView(ws, host, dialogs)),
      training_(new TrainingControls),
      fitNet_(new QAction("&Fit Net", this)),
      neurodeMaps_(new QAction("&Neurode Maps", this)),
      lessons_(new LessonDocks(ws, window, host, dialogs)),
      layout_(new DockLayout(window)) {
  fitNet_->setObjectName("ViewFitNet");
  neurodeMaps_->setObjectName("ViewNeurodeMaps");
  for (QAction* option : {fitNet_, neurodeMaps_}) option->setCheckable(true);
  // First, so that it stands above the curve and the map.
  trainingDock_ = layout_->AddDock(training_, "Training", "TrainingDock", Qt::RightDockWidgetArea);
  curveDock_ = layout_->AddDock(curve_, "Error Curve", "ErrorCurveDock", Qt::RightDockWidgetArea);
  mapDock_ = layout_->AddDock(map_, "Decision Map", "DecisionMapDock", Qt::RightDockWidgetArea);
  arithmeticDock_ =
      layout_->AddDock(arithmetic_, "Arithmetic", "ArithmeticDock", Qt::BottomDockWidgetArea);
  layout_->Manage(lessons_->Dock(), Qt::LeftDockWidgetArea);
  connect(arithmetic_, &ArithmeticView::Highlight, this, &ViewDocks::Highlight);
  // A mark belongs to the arithmetic shown; it goes with its dock.
  connect(arithmeticDock_, &QDockWidget::visibilityChanged, this, [this](bool visible) {
    if (!visible) drawing_.ClearMark();
  });
  // The controls act while their dock is open: closing it lets training
  // run on at once, and using a control (by its shortcut) opens it.
  connect(trainingDock_->toggleViewAction(), &QAction::toggled, this, [this](bool open) {
    if (open) return;
    training_->TakeStep();
    training_->SetPaused(false);
  });
  connect(training_, &TrainingControls::Used, this, [this] {
    if (trainingDock_->isHidden()) trainingDock_->show();
  });
}

ViewDocks::~ViewDocks() = default;

void ViewDocks::AddMenu(QMenuBar* bar) {
  QMenu* menu = bar->addMenu("&View");
  menu->setObjectName("View");
  menu->menuAction()->setObjectName("View");
  // Each entry's caption marks its mnemonic; the keys type no character.
  const struct {
    QDockWidget* dock;
    const char* name;
    const char* caption;
    QKeySequence key;
  } entries[] = {{curveDock_, "ViewErrorCurve", "&Error Curve", Qt::Key_F2},
                 {mapDock_, "ViewDecisionMap", "&Decision Map", Qt::Key_F3},
                 {arithmeticDock_, "ViewArithmetic", "&Arithmetic", Qt::Key_F4},
                 {trainingDock_, "ViewTraining", "&Training", Qt::Key_F11}};
  for (const auto& entry : entries) {
    QAction* toggle = entry.dock->toggleViewAction();
    toggle->setObjectName(entry.name);
    toggle->setText(entry.caption);
    GiveShortcut(*toggle, entry.key, "Open or close the " + entry.dock->windowTitle() + " dock");
    menu->addAction(toggle);
  }
  menu->addSeparator();
  GiveShortcut(*fitNet_, Qt::SHIFT | Qt::Key_F2, "Show the net as large as the drawing allows");
  GiveShortcut(*neurodeMaps_, Qt::SHIFT | Qt::Key_F3, "Draw each neurode as a map of its output");
  menu->addAction(fitNet_);
  menu->addAction(neurodeMaps_);
  menu->addSeparator();
  lessons_->AddEntries(menu);
  menu->addSeparator();
  QAction* save = menu->addAction("&Save Picture...");
  save->setObjectName("ViewSavePicture");
  GiveShortcut(*save, Qt::Key_F12, "Save the drawing as a PNG or SVG picture");
  connect(save, &QAction::triggered, this, &ViewDocks::SaveDrawing);
  QAction* reset = menu->addAction("&Reset Layout");
  reset->setObjectName("ViewResetLayout");
  reset->setStatusTip("Put every dock back in its own place at its own size");
  connect(reset, &QAction::triggered, layout_, &DockLayout::Reset);
}

bool ViewDocks::FitNet() const { return fitNet_->isChecked(); }

bool ViewDocks::NeurodeMaps() const { return neurodeMaps_->isChecked(); }

void ViewDocks::TrainingStarted() { curve_->TrainingStarted(); }

void ViewDocks::CycleEnded(const CycleReport& report) { curve_->CycleEnded(report); }

void ViewDocks::NetRedrawn() {
  map_->NetChanged();
  arithmetic_->NetChanged();
}

void ViewDocks::FileSetLoaded() { lessons_->FileSetLoaded(); }

void ViewDocks::RunStarting() { arithmetic_->SetRunning(true); }

void ViewDocks::RunEnded() {
  arithmetic_->SetRunning(false);
  // Stepping changes what the net holds without redrawing it.
  NetRedrawn();
}

void ViewDocks::RefreshNow() {
  if (curve_->isVisible()) curve_->Refresh();
  if (map_->isVisible()) map_->Refresh();
  if (arithmetic_->isVisible()) arithmetic_->Refresh();
}

void ViewDocks::SaveDrawing() {
  SavePictureAs(&window_, dialogs_, "net.png", [this](bool svg) {
    return svg ? drawing_.Canvas().Svg() : drawing_.Canvas().Png();
  });
}

void ViewDocks::Highlight(const NetElement& e) {
  switch (e.kind) {
    case NetElement::Kind::Neurode: {
      const NetPoint at = NeurodeAt(e.layer, e.node);
      drawing_.MarkPoint(QPointF(at.x, at.y));
      break;
    }
    case NetElement::Kind::Connection: {
      const NetPoint from = NeurodeAt(e.layer, e.node);
      const NetPoint to = NeurodeAt(e.layer + 1, e.target);
      drawing_.MarkLine(QPointF(from.x, from.y), QPointF(to.x, to.y));
      break;
    }
    case NetElement::Kind::None:
      drawing_.ClearMark();
      break;
  }
}

}  // namespace backprop
