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
#include "ui/views/arithmetic_view.h"
#include "ui/views/decision_map_view.h"
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
      fitNet_(new QAction("Fit Net", this)),
      neurodeMaps_(new QAction("Neurode Maps", this)),
      lessons_(new LessonDocks(ws, window, host, dialogs)) {
  fitNet_->setObjectName("ViewFitNet");
  neurodeMaps_->setObjectName("ViewNeurodeMaps");
  for (QAction* option : {fitNet_, neurodeMaps_}) option->setCheckable(true);
  // First, so that it stands above the curve and the map.
  trainingDock_ = AddDock(training_, "Training", "TrainingDock", Qt::RightDockWidgetArea);
  curveDock_ = AddDock(curve_, "Error Curve", "ErrorCurveDock", Qt::RightDockWidgetArea);
  mapDock_ = AddDock(map_, "Decision Map", "DecisionMapDock", Qt::RightDockWidgetArea);
  arithmeticDock_ = AddDock(arithmetic_, "Arithmetic", "ArithmeticDock", Qt::BottomDockWidgetArea);
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

QDockWidget* ViewDocks::AddDock(QWidget* view, const QString& title, const char* name, int area) {
  auto* dock = new QDockWidget(title, &window_);
  dock->setObjectName(name);
  dock->setWidget(view);
  dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                    QDockWidget::DockWidgetFloatable);
  window_.addDockWidget(static_cast<Qt::DockWidgetArea>(area), dock);
  dock->hide();
  return dock;
}

void ViewDocks::AddMenu(QMenuBar* bar) {
  QMenu* menu = bar->addMenu("View");
  menu->setObjectName("View");
  menu->menuAction()->setObjectName("View");
  const struct {
    QDockWidget* dock;
    const char* name;
  } entries[] = {{curveDock_, "ViewErrorCurve"},
                 {mapDock_, "ViewDecisionMap"},
                 {arithmeticDock_, "ViewArithmetic"},
                 {trainingDock_, "ViewTraining"}};
  for (const auto& entry : entries) {
    QAction* toggle = entry.dock->toggleViewAction();
    toggle->setObjectName(entry.name);
    menu->addAction(toggle);
  }
  menu->addSeparator();
  menu->addAction(fitNet_);
  menu->addAction(neurodeMaps_);
  menu->addSeparator();
  lessons_->AddEntries(menu);
  menu->addSeparator();
  QAction* save = menu->addAction("Save Picture...");
  save->setObjectName("ViewSavePicture");
  connect(save, &QAction::triggered, this, &ViewDocks::SaveDrawing);
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
