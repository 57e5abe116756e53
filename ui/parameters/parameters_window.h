// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>

namespace backprop {

class CanvasView;
class Dialogs;
class MainWindowAccess;
struct Workspace;

// The parameters window (Form5, "Parameters"): lists the eleven default
// parameters on a 10 by 10 user scale and changes them one at a time, from
// its menu bar or by a mouse press on a row. Under the list it marks the
// parameters that Program S1 or S2 sets again when it runs. Every change goes straight into
// the workspace. "End", the close box and the window losing the focus to
// another window of the program all return to the main window; the close
// box also destroys the window. Its own input dialogs and warnings do not
// count as a loss of focus.
class ParametersWindow : public QMainWindow {
  Q_OBJECT

 public:
  ParametersWindow(Workspace& ws, MainWindowAccess& mainWindow, Dialogs& dialogs,
                   QWidget* parent = nullptr);
  ~ParametersWindow() override;

  // The drawing surface, for the tests.
  CanvasView& View() { return *listView_; }

 public slots:
  // Clears and draws the whole list.
  void ShowParms();

  void Form_Load();
  void Form_Activate();
  void Form_GotFocus();
  void Form_LostFocus();
  // A press at user coordinates (x, y) chooses the row whose band holds y.
  void Form_MouseDown(double x, double y);

  void fn_Click();
  void ep_Click();
  void fr_Click();
  void rg_Click();
  void rs_Click();
  void sr_Click();
  void sc_Click();
  void tp_Click();
  void ad_Click();
  void errr_Click();
  void thr_Click();
  void ond_Click();

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;  // Form_Unload
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Runs the action of the row at this place of ParameterRows(), then redraws.
  void Choose(int row);

  Workspace& ws_;
  MainWindowAccess& mainWindow_;
  Dialogs& dialogs_;
  CanvasView* listView_ = nullptr;  // the drawn list of parameters
  // Above zero while one of this window's own modal boxes is open.
  int dialogDepth_ = 0;
};

}  // namespace backprop
