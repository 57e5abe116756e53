// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/parameters/parameters_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QResizeEvent>

#include <array>

#include "engine/workspace.h"
#include "ui/canvas/canvas_view.h"
#include "ui/common/keyboard.h"
#include "ui/common/main_window_access.h"
#include "ui/common/maximise.h"
#include "ui/common/window_style.h"
#include "ui/parameters/override_marks.h"
#include "ui/parameters/parameter_actions.h"
#include "ui/parameters/parameter_table.h"

namespace backprop {

namespace {

using Handler = void (ParametersWindow::*)();

// The handlers of the row entries, in the order of ParameterRows().
constexpr std::array<Handler, kParameterRows> kRowHandlers = {
    &ParametersWindow::fn_Click,   &ParametersWindow::ep_Click,  &ParametersWindow::fr_Click,
    &ParametersWindow::rg_Click,   &ParametersWindow::rs_Click,  &ParametersWindow::sr_Click,
    &ParametersWindow::sc_Click,   &ParametersWindow::tp_Click,  &ParametersWindow::ad_Click,
    &ParametersWindow::errr_Click, &ParametersWindow::thr_Click,
};

}  // namespace

ParametersWindow::ParametersWindow(Workspace& ws, MainWindowAccess& mainWindow, Dialogs& dialogs,
                                   QWidget* parent)
    : QMainWindow(parent), ws_(ws), mainWindow_(mainWindow), dialogs_(dialogs) {
  NameSecondaryWindow(*this, "Form5", "Parameters");

  // The list's font belongs to the drawing surface; the menu bar keeps the
  // platform's menu font.
  listView_ = new CanvasView(WindowFont(), palette().color(QPalette::WindowText),
                             palette().color(QPalette::Window), this);
  listView_->setFont(WindowFont());
  listView_->setFocusPolicy(Qt::StrongFocus);
  listView_->installEventFilter(this);
  setCentralWidget(listView_);
  connect(listView_, &CanvasView::Pressed, this,
          [this](double x, double y, Qt::MouseButton) { Form_MouseDown(x, y); });

  const auto& rows = ParameterRows();
  for (int i = 0; i < kParameterRows; ++i) {
    QAction* action = menuBar()->addAction(rows[i].caption);
    action->setObjectName(rows[i].name);
    connect(action, &QAction::triggered, this, kRowHandlers[i]);
  }
  QAction* end = menuBar()->addAction("E&nd");
  end->setObjectName("ond");
  connect(end, &QAction::triggered, this, &ParametersWindow::ond_Click);
  // Each entry has its mnemonic; F10 opens the menu bar and Esc leaves as
  // "End" does. A screen reader reads the list as text.
  AddMenuBarKey(*this);
  LeaveWithEscape(*this, [this] { ond_Click(); });
  listView_->setAccessibleName("Parameters");

  Form_Load();
}

ParametersWindow::~ParametersWindow() {
  // The view's last events must not reach the half-destroyed window.
  listView_->removeEventFilter(this);
}

void ParametersWindow::ShowParms() {
  const std::string text = DrawParametersWindow(ws_, listView_->Canvas());
  listView_->setAccessibleDescription(QString::fromStdString(text));
}

void ParametersWindow::Form_Load() { ShowParms(); }

void ParametersWindow::Form_Activate() {
  ShowMaximised(this);
  ShowParms();
}

void ParametersWindow::Form_GotFocus() {
  ShowMaximised(this);
  ShowParms();
}

void ParametersWindow::Form_LostFocus() {
  if (dialogDepth_ > 0 || !isVisible()) return;
  // Only another window of this program takes the focus away; switching to
  // another application, or to a box this window opened, does not.
  QWidget* active = QApplication::activeWindow();
  if (!active || active == this || isAncestorOf(active)) return;
  ond_Click();
}

void ParametersWindow::Form_MouseDown(double, double y) {
  if (const int row = RowAt(y); row >= 0) (this->*kRowHandlers[row])();
}

void ParametersWindow::fn_Click() { Choose(kFunctionRow); }
void ParametersWindow::ep_Click() { Choose(kEpsilonRow); }
void ParametersWindow::fr_Click() { Choose(kInputRangeRow); }
void ParametersWindow::rg_Click() { Choose(kOutputRangeRow); }
void ParametersWindow::rs_Click() { Choose(kSeedRow); }
void ParametersWindow::sr_Click() { Choose(kShowRateRow); }
void ParametersWindow::sc_Click() { Choose(kUpdateRow); }
void ParametersWindow::tp_Click() { Choose(kTrainingLimitRow); }
void ParametersWindow::ad_Click() { Choose(kOutputModeRow); }
void ParametersWindow::errr_Click() { Choose(kErrorTestRow); }
void ParametersWindow::thr_Click() { Choose(kThresholdRow); }

void ParametersWindow::ond_Click() {
  hide();
  mainWindow_.ShowMainWindow();
}

bool ParametersWindow::event(QEvent* event) {
  // Handle the window's own event first, so a redraw sees its new state.
  const bool handled = QMainWindow::event(event);
  // A hidden window has nothing to activate: an activation reported after
  // "End" hid it must not show it again.
  if (event->type() == QEvent::WindowActivate && isVisible()) Form_Activate();
  if (event->type() == QEvent::WindowDeactivate) Form_LostFocus();
  return handled;
}

void ParametersWindow::closeEvent(QCloseEvent* event) {
  // Only the user's close box counts; a hidden window was already left.
  if (isVisible()) ond_Click();
  event->accept();
}

bool ParametersWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == listView_) {
    if (event->type() == QEvent::FocusIn) Form_GotFocus();
    if (event->type() == QEvent::Resize) {
      // Redraw at the new size rather than let the old image be stretched.
      listView_->Canvas().Resize(static_cast<QResizeEvent*>(event)->size(),
                                 listView_->devicePixelRatioF());
      ShowParms();
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void ParametersWindow::Choose(int row) {
  ++dialogDepth_;
  RunParameterRow(ws_, dialogs_, this, ParameterRows()[static_cast<std::size_t>(row)]);
  --dialogDepth_;
  ShowParms();
}

}  // namespace backprop
