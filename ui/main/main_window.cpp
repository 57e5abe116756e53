// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QToolTip>
#include <QVBoxLayout>

#include "engine/canvas.h"
#include "engine/draw_net.h"
#include "engine/net_hit.h"
#include "engine/neurode_maps.h"
#include "engine/number_text.h"
#include "engine/workspace.h"
#include "ui/canvas/canvas_view.h"
#include "ui/canvas/vector_state.h"
#include "ui/common/dialogs.h"
#include "ui/common/keyboard.h"
#include "ui/common/maximise.h"
#include "ui/common/window_style.h"
#include "ui/main/deferred_canvas.h"
#include "ui/main/designer.h"
#include "ui/main/designer_strip.h"
#include "ui/main/training_pace.h"
#include "ui/main/window_owner.h"
#include "ui/parameters/parameter_actions.h"
#include "ui/views/dock_layout.h"
#include "ui/views/training_controls.h"
#include "ui/views/view_docks.h"

namespace backprop {

namespace {
// Events run at most this often during training (5 ms).
constexpr qint64 kYieldIntervalNs = 5'000'000;

}  // namespace

MainWindow::MainWindow(Workspace& ws, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent),
      ws_(ws),
      dialogs_(dialogs),
      view_(new CanvasView(WindowFont(), kDrawingForeground, kDrawingBackground)),
      owner_(std::make_unique<WindowOwner>(ws, *this, dialogs)),
      yieldGate_(kYieldIntervalNs) {
  setWindowTitle("BACKPROPAGATION");
  BuildDrawingArea();
  ConnectDrawing();
  views_ = std::make_unique<ViewDocks>(ws_, *this, *this, dialogs_, *view_);
  ConnectTrainingPace();
  BuildMenuBar();
  connect(views_->FitNetAction(), &QAction::toggled, this, &MainWindow::ApplyFit);
  connect(views_->NeurodeMapsAction(), &QAction::toggled, this, &MainWindow::NeurodeMapsSwitched);
}

// The owner's windows and the docks refer back to this one, so they go first.
MainWindow::~MainWindow() {
  view_->removeEventFilter(this);
  pace_.reset();
  views_.reset();
  owner_.reset();
}

// The designer's strip above the drawing; the drawing takes the rest.
void MainWindow::BuildDrawingArea() {
  auto* area = new QWidget(this);
  auto* column = new QVBoxLayout(area);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  designer_ = new DesignerStrip(area);
  view_->setParent(area);
  view_->setFont(WindowFont());
  // The drawing takes the focus on a click and by Tab, so that keys typed
  // after a click on it reach it (and stop training); a screen reader
  // names it and says what net it shows.
  view_->setFocusPolicy(Qt::StrongFocus);
  view_->setAccessibleName("Net drawing");
  view_->installEventFilter(this);
  column->addWidget(designer_);
  column->addWidget(view_, 1);
  setCentralWidget(area);
  connect(designer_->DoneButton(), &QPushButton::clicked, this, &MainWindow::Command1_Click);
  connect(designer_->RemoveLayerButton(), &QPushButton::clicked, this, &MainWindow::Command2_Click);
}

// Training redraws far more often than a screen can show; its drawing is
// held back and drawn once per repaint.
void MainWindow::ConnectDrawing() {
  canvas_ = std::make_unique<DeferredCanvas>(
      view_->Canvas(), [this] { return ws_.Busy == 1; }, [this] { view_->RequestRepaint(); });
  view_->SetRepaintPreparation([this] { canvas_->Flush(); });
  connect(view_, &CanvasView::Pressed, this,
          [this](double x, double y, Qt::MouseButton button) { Form_MouseDown(button, x, y); });
  connect(view_, &CanvasView::Moved, this, &MainWindow::Form_MouseMove);
  connect(view_, &CanvasView::ToolTipAsked, this, &MainWindow::ShowNetTip);
  connect(view_, &CanvasView::DoubleClicked, this, &MainWindow::EditWeightAt);
}

// The Training dock's controls hold training in this window's yield.
void MainWindow::ConnectTrainingPace() {
  TrainingPace::Window window;
  window.letEventsRun = [this] {
    if (yieldGate_.Open()) RunPendingEvents();
  };
  window.waitForEvents = [] {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    ClearUpperVectorState();
  };
  window.showDrawing = [this] {
    FlushDrawing();
    view_->RequestRepaint();
  };
  pace_ = std::make_unique<TrainingPace>(ws_, *this, *views_, std::move(window));
  // Their shortcuts work wherever this window has the focus.
  addActions(views_->Training().Actions());
}

Canvas& MainWindow::MainCanvas() { return *canvas_; }

void MainWindow::FlushDrawing() {
  canvas_->Flush();
  view_->Canvas().FollowFit();
}

void MainWindow::YieldToEvents() {
  if (pace_->Engaged()) {
    pace_->Yield();
    return;
  }
  if (!yieldGate_.Open()) return;
  RunPendingEvents();
  // The events may have paused training.
  if (pace_->Engaged()) pace_->Yield();
}

void MainWindow::RunPendingEvents() {
  QApplication::processEvents();
  // Events may have painted; the engine's arithmetic follows.
  ClearUpperVectorState();
}

void MainWindow::ShowWarning(const std::string& message) {
  FlushDrawing();
  QString text = QString::fromStdString(message);
  text.remove('\r');
  dialogs_.Warning(this, kMessageBoxTitle, text);
}

void MainWindow::TrainingStarted() {
  // The new run's patterns may cost quite differently from the last run's.
  yieldGate_.Restart();
  views_->TrainingStarted();
  pace_->TrainingStarted();
}
void MainWindow::CycleEnded(const CycleReport& report) {
  views_->CycleEnded(report);
  pace_->CycleEnded(report);
}
void MainWindow::NetRedrawn() {
  if (views_->NeurodeMaps()) DrawNeurodeMaps(ws_, MainCanvas());
  views_->NetRedrawn();
  const QString description = QString::fromStdString(DescribeNet(ws_));
  if (view_->accessibleDescription() != description) view_->setAccessibleDescription(description);
}

void MainWindow::RedrawNet() { backprop::RedrawNet(ws_, *this); }

void MainWindow::ApplyFit() {
  view_->Canvas().SetFitToDrawing(views_->FitNet() && ws_.DesignMode != 1);
}

void MainWindow::NeurodeMapsSwitched() {
  if (!Busy()) RedrawNet();
}

void MainWindow::LeaveDesignMode() {
  designer_->HideHint();
  // The editor leaves design mode while this window is hidden; maximising
  // must not show it then.
  if (isVisible()) {
    ShowMaximised(this);
  } else {
    setWindowState(windowState() | Qt::WindowMaximized);
  }
  designer_->HideButtons();
  ws_.DesignMode = 0;
  ApplyFit();
}

void MainWindow::ShowMainWindow() {
  if (ending_) return;
  show();
  raise();
  activateWindow();
}

void MainWindow::FileSetLoaded() { views_->FileSetLoaded(); }

void MainWindow::ApplyStartUpDefaults() {
  if (ws_.AboutShown != 0) return;
  ws_.AnalogThreshold = 0.001;
  owner_->PresetListingChoices();
  ApplyDefaults(ws_);
}

void MainWindow::Form_Load() {
  ShowMaximised(this);
  // Keys typed from the start reach the drawing.
  view_->setFocus(Qt::OtherFocusReason);
  designer_->Reset();
  ws_.DesignMode = 0;
  ApplyStartUpDefaults();
  RedrawNet();
}

void MainWindow::Form_GotFocus() {
  ShowMaximised(this);
  designer_->HideButtons();
  ApplyStartUpDefaults();
  RedrawNet();
  MainCanvas().SetLineWidth(1);
}

void MainWindow::Form_MouseDown(Qt::MouseButton, double x, double y) {
  ws_.InterruptKey = kClickInterruptKey;
  if (ws_.DesignMode != 1) return;
  DesignerPress(ws_, x, y);
  MainCanvas().Clear();
  RedrawNet();
  designer_->ShowDone();
}

void MainWindow::Form_MouseMove(double, double) {
  // Movements queued while the box is open must not open a second one.
  if (ws_.AboutShown == 0 && !aboutBoxOpen_) {
    aboutBoxOpen_ = true;
    dialogs_.Information(this, kMessageBoxTitle, kCopyrightNotice);
    aboutBoxOpen_ = false;
  }
  ws_.AboutShown = 1;
}

void MainWindow::Form_KeyPress(int keyAscii) {
  ws_.InterruptKey = static_cast<std::int16_t>(keyAscii);
}

void MainWindow::Form_Unload() { EndProgram(); }

namespace {
// How near, in pixels, the pointer must be to a connection or neurode.
constexpr double kPointerReach = 4.0;
}  // namespace

NetElement MainWindow::ElementAt(double x, double y) const {
  const QPointF perUnit = view_->PixelsPerUnit();
  return FindNetElement(ws_, x, y, perUnit.x(), perUnit.y(), kPointerReach);
}

void MainWindow::ShowNetTip(double x, double y, QPoint global) {
  const NetElement element = ElementAt(x, y);
  if (element.kind == NetElement::Kind::None) {
    QToolTip::hideText();
    return;
  }
  QToolTip::showText(global, QString::fromStdString(DescribeNetElement(ws_, element)), view_);
}

void MainWindow::EditWeightAt(double x, double y) {
  if (ws_.DesignMode == 1 || Busy()) return;
  const NetElement e = ElementAt(x, y);
  if (e.kind != NetElement::Kind::Connection) return;
  const QString current =
      QString::fromStdString(ShortestNumberText(ws_.Weights(e.node, e.target, e.layer))).trimmed();
  const QString answer = dialogs_.InputWithValue(
      this, QString::fromStdString(NetElementName(e)) + "\nNew weight:", "New weight", current);
  if (answer.isEmpty()) return;
  const double value = ReadLeadingNumber(answer.toStdString());
  if (!std::isfinite(value)) {
    dialogs_.Warning(this, kMessageBoxTitle, kNumberTooLargeWarning);
    return;
  }
  ws_.Weights(e.node, e.target, e.layer) = value;
  MainCanvas().Clear();
  RedrawNet();
}

void MainWindow::Command1_Click() {
  designer_->HideAll();
  ws_.DesignMode = 0;
  ws_.InterruptKey = 0;
  ApplyFit();
}

void MainWindow::Command2_Click() {
  RemoveOneLayer(ws_);
  RedrawNet();
}

void MainWindow::RememberLayout() {
  rememberLayout_ = true;
  views_->Layout().Restore();
}

void MainWindow::EndProgram() {
  if (rememberLayout_ && !ending_) views_->Layout().Save();
  ending_ = true;
  ws_.InterruptKey = kClickInterruptKey;
  owner_->DiscardAll();
  hide();
  // Leaves the main event loop once any run on the stack has unwound; with
  // no loop running (tests) it does nothing.
  QCoreApplication::exit(0);
}

bool MainWindow::event(QEvent* event) {
  // In design mode the window's buttons take the focus, not the window. A
  // hidden window has no focus to gain: an activation reported after a
  // command hid it (the menu that closed hands it back late) must not show
  // it over the window the command opened.
  if (event->type() == QEvent::WindowActivate && !ending_ && ws_.DesignMode != 1 && isVisible()) {
    Form_GotFocus();
  }
  return QMainWindow::event(event);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  // Only keys that type a character count, as for a key press handler.
  if (!TypesCharacter(*event)) {
    QMainWindow::keyPressEvent(event);
    return;
  }
  Form_KeyPress(event->text().at(0).unicode());
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // Tab typed on the drawing is a typed key too, and then moves the focus on.
  if (watched == view_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && TypesCharacter(*key)) {
      Form_KeyPress(key->text().at(0).unicode());
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  Form_Unload();
  event->accept();
}

}  // namespace backprop
