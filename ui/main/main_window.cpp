#include "ui/main/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>

#include "engine/canvas.h"
#include "engine/draw_net.h"
#include "engine/workspace.h"
#include "ui/canvas/canvas_view.h"
#include "ui/common/dialogs.h"
#include "ui/common/maximise.h"
#include "ui/main/deferred_canvas.h"
#include "ui/main/designer.h"
#include "ui/main/repaint_throttle.h"
#include "ui/common/twips.h"
#include "ui/common/window_style.h"
#include "ui/main/vector_state.h"
#include "ui/main/window_owner.h"

namespace backprop {

namespace {
// Events run at most this often during training (5 ms).
constexpr qint64 kYieldIntervalNs = 5'000'000;

}  // namespace

MainWindow::MainWindow(Workspace& ws, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent),
      ws_(ws),
      dialogs_(dialogs),
      view_(new CanvasView(WindowFont(), kDrawingForeground, kDrawingBackground, this)),
      owner_(std::make_unique<WindowOwner>(ws, *this, dialogs)),
      yieldGate_(kYieldIntervalNs) {
  setWindowTitle("BACKPROPAGATION");
  view_->setFont(WindowFont());
  setCentralWidget(view_);
  // Training redraws far more often than a screen can show; its drawing is
  // held back and drawn once per repaint.
  repaint_ = new RepaintThrottle(view_, [this] { canvas_->Flush(); });
  canvas_ = std::make_unique<DeferredCanvas>(
      view_->Canvas(), [this] { return ws_.Busy == 1; }, [this] { repaint_->Request(); });
  view_->Canvas().SetChangedCallback([this] { repaint_->Request(); });
  connect(view_, &CanvasView::Pressed, this,
          [this](double x, double y, Qt::MouseButton button) { Form_MouseDown(button, x, y); });
  connect(view_, &CanvasView::Moved, this, &MainWindow::Form_MouseMove);

  BuildDesignerControls();
  BuildMenuBar();
}

// The owner's windows refer back to this one, so they go first; the view's
// change notices must not reach the throttle while it is destroyed.
MainWindow::~MainWindow() {
  owner_.reset();
  view_->Canvas().SetChangedCallback({});
}

void MainWindow::BuildDesignerControls() {
  command1_ = new QPushButton("Done", view_);
  command1_->setObjectName("Command1");
  command2_ = new QPushButton("Remove 1 Layer", view_);
  command2_->setObjectName("Command2");
  text1_ = new QPlainTextEdit(view_);
  text1_->setObjectName("Text1");
  text1_->setPlainText(kDesignerHint);
  // The hint is for reading; keys typed on the window go to the window,
  // where they stop training.
  text1_->setReadOnly(true);
  for (QWidget* control : {static_cast<QWidget*>(command1_), static_cast<QWidget*>(command2_),
                           static_cast<QWidget*>(text1_)}) {
    control->setFocusPolicy(Qt::NoFocus);
    control->hide();
  }
  connect(command1_, &QPushButton::clicked, this, &MainWindow::Command1_Click);
  connect(command2_, &QPushButton::clicked, this, &MainWindow::Command2_Click);
  PlaceDesignerControls();
}

void MainWindow::PlaceDesignerControls() {
  const double dpiX = logicalDpiX();
  const double dpiY = logicalDpiY();
  command1_->setGeometry(TwipsToPixels(6480, 5040, 855, 495, dpiX, dpiY));
  command2_->setGeometry(TwipsToPixels(7320, 5040, 1815, 495, dpiX, dpiY));
  text1_->setGeometry(TwipsToPixels(6480, 5520, 2655, 855, dpiX, dpiY));
}

Canvas& MainWindow::MainCanvas() { return *canvas_; }

void MainWindow::FlushDrawing() { canvas_->Flush(); }

void MainWindow::YieldToEvents() {
  if (!yieldGate_.Open()) return;
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

void MainWindow::LeaveDesignMode() {
  text1_->hide();
  // The editor leaves design mode while this window is hidden; maximising
  // must not show it then.
  if (isVisible()) {
    ShowMaximised(this);
  } else {
    setWindowState(windowState() | Qt::WindowMaximized);
  }
  command2_->hide();
  command1_->hide();
  ws_.DesignMode = 0;
}

void MainWindow::ShowMainWindow() {
  if (ending_) return;
  show();
  raise();
  activateWindow();
}

void MainWindow::ApplyStartUpDefaults() {
  if (ws_.AboutShown != 0) return;
  ws_.AnalogThreshold = 0.001;
  owner_->PresetListingChoices();
  ApplyDefaults(ws_);
}

void MainWindow::Form_Load() {
  ShowMaximised(this);
  text1_->hide();
  text1_->setPlainText(kDesignerHint);
  command1_->hide();
  command2_->hide();
  ws_.DesignMode = 0;
  ApplyStartUpDefaults();
  DrawNet(ws_, MainCanvas());
}

void MainWindow::Form_GotFocus() {
  ShowMaximised(this);
  command2_->hide();
  command1_->hide();
  ApplyStartUpDefaults();
  DrawNet(ws_, MainCanvas());
  MainCanvas().SetLineWidth(1);
}

void MainWindow::Form_MouseDown(Qt::MouseButton, double x, double y) {
  ws_.InterruptKey = kClickInterruptKey;
  if (ws_.DesignMode != 1) return;
  DesignerPress(ws_, x, y);
  MainCanvas().Clear();
  DrawNet(ws_, MainCanvas());
  command1_->show();
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

void MainWindow::Form_KeyPress(int keyAscii) { ws_.InterruptKey = static_cast<std::int16_t>(keyAscii); }

void MainWindow::Form_Unload() { EndProgram(); }

void MainWindow::Command1_Click() {
  text1_->hide();
  command2_->hide();
  command1_->hide();
  ws_.DesignMode = 0;
  ws_.InterruptKey = 0;
}

void MainWindow::Command2_Click() {
  RemoveOneLayer(ws_);
  DrawNet(ws_, MainCanvas());
}

void MainWindow::EndProgram() {
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
  const QString text = event->text();
  if (text.isEmpty()) {
    QMainWindow::keyPressEvent(event);
    return;
  }
  Form_KeyPress(text.at(0).unicode());
}

void MainWindow::closeEvent(QCloseEvent* event) {
  Form_Unload();
  event->accept();
}

}  // namespace backprop
