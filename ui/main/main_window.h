// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>

#include <memory>

#include "engine/host.h"
#include "engine/workspace.h"
#include "ui/common/main_window_access.h"
#include "ui/main/yield_gate.h"

namespace backprop {

class CanvasView;
class DeferredCanvas;
class DesignerStrip;
struct NetElement;
class Dialogs;
class TrainingPace;
class ViewDocks;
class WindowOwner;

// The copyright notice of the one-time box at the first mouse movement,
// with the licence under which anyone may copy the program.
inline constexpr const char* kCopyrightNotice =
    "BACKPROPAGATION\n"
    "A program for learning how layered neural networks learn.\n"
    "Copyright (C) 2026 the BACKPROPAGATION authors.\n\n"
    "This program is free software: you can redistribute it and/or modify it under the "
    "terms of the GNU General Public License, version 3 or (at your option) any later "
    "version. It comes with ABSOLUTELY NO WARRANTY.";

// The program's home window, "BACKPROPAGATION": the drawing of the net, the
// designer's controls and the menu bar that leads to every other window.
// It starts the program (defaults, first drawing), is the engine's host
// (canvas, yield, warning box) and the secondary windows' way back. The
// View menu's docks sit beside the drawing, which takes the room they
// leave; hovering over the drawing names a weight or a neurode's value.
// With the View menu's Fit Net the drawing fills its area outside design
// mode; with Neurode Maps every redraw adds each neurode's map.
class MainWindow : public QMainWindow, public Host, public MainWindowAccess {
  Q_OBJECT

 public:
  MainWindow(Workspace& ws, Dialogs& dialogs, QWidget* parent = nullptr);
  ~MainWindow() override;

  CanvasView& View() { return *view_; }
  WindowOwner& Owner() { return *owner_; }
  ViewDocks& Views() { return *views_; }
  // The Training dock's pause, steps and slow motion in the yield.
  TrainingPace& Pace() { return *pace_; }
  // Decides which yields let events run (tests give it a clock of theirs).
  YieldGate& Gate() { return yieldGate_; }

  // Host
  Canvas& MainCanvas() override;
  // Lets pending window events run, at most every few milliseconds; the
  // Training dock's controls may hold training here.
  void YieldToEvents() override;
  // The run-error box: exclamation icon, the program's title (kMessageBoxTitle).
  void ShowWarning(const std::string& message) override;
  // The views hear what training does.
  void TrainingStarted() override;
  void CycleEnded(const CycleReport& report) override;
  // The views follow; with Neurode Maps on, the maps are drawn over the net.
  void NetRedrawn() override;
  // Keeps the docks' places and sizes between runs in the user's settings:
  // puts them back now and keeps them when the program ends.
  void RememberLayout();
  // Brings the drawing up to date: during training the main canvas holds
  // its drawing back until the screen can show it; a fitted drawing then
  // follows what was drawn.
  void FlushDrawing();

  // MainWindowAccess
  // Hides the designer's controls and ends design mode.
  void LeaveDesignMode() override;
  // Shows this window again; its activation redraws the net.
  void ShowMainWindow() override;
  // The lesson of the set loaded follows it.
  void FileSetLoaded() override;

 public slots:
  // Start-up: maximise, hide the designer, defaults until the first mouse
  // movement, draw the net.
  void Form_Load();
  // Every activation outside design mode: maximise, hide the buttons,
  // defaults until the first mouse movement, redraw the net.
  void Form_GotFocus();
  // A press on the drawing, in user coordinates: stops training; in design
  // mode it edits the net.
  void Form_MouseDown(Qt::MouseButton button, double x, double y);
  // A movement over the drawing: the copyright box the first time.
  void Form_MouseMove(double x, double y);
  // A typed character: stops training.
  void Form_KeyPress(int keyAscii);
  // The pointer rests over the drawing: names the weight or neurode there.
  void ShowNetTip(double x, double y, QPoint global);
  // A double click on a connection outside design mode asks for its weight.
  void EditWeightAt(double x, double y);
  // The window was closed: the program ends.
  void Form_Unload();

  void Command1_Click();  // "Done"
  void Command2_Click();  // "Remove 1 Layer"

  void ne_Click();            // "Netdesign"
  void pr_Click();            // "Program(S1)"
  void ps2_Click();           // "Program(S2)"
  void Tr_Click();            // "Training Data (D1)"
  void Ta_Click();            // "Training Data (D2)"
  void testdata_Click();      // "Test Set (T1)"
  void GenerateData_Click();  // "Generate Data...": fills D1, D2 or T1
  void TN_Click();            // "Run(S1)"
  void ru_Click();            // "Run(S2)"
  void SWP_Click();           // "StepThruTrn(D1)"
  void tdst_Click();          // "StepThruTst(T1)"
  void pms_Click();           // "Parms"
  void li_Click();            // "List"
  void sa_Click();            // "Load/Save"
  void he_Click();            // "Help"
  void eee_Click();           // "End"

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildDrawingArea();
  void BuildMenuBar();
  void ConnectDrawing();
  void ConnectTrainingPace();
  // Runs the window events pending now.
  void RunPendingEvents();
  // The neurode or connection drawn at user coordinates (x, y), if any.
  NetElement ElementAt(double x, double y) const;
  // Start-up step shared by the load and focus routines: the defaults and
  // the listing preset, only until the mouse first moves.
  void ApplyStartUpDefaults();
  // Commands that start work do nothing while a run trains.
  bool Busy() const;
  // Opens the editor on a buffer: title, buffer code, this window hidden,
  // the editor shown with the buffer's text.
  void OpenEditor(BufferId id);
  // An Edit entry: unless a run trains, leaves design mode and opens the editor.
  void EditBuffer(BufferId id);
  void Run(int runMode);
  void Step(int runMode);
  // DrawNet on the main canvas; the views follow.
  void RedrawNet();
  // Fits the drawing to the net when Fit Net is on, outside design mode.
  void ApplyFit();
  // Neurode Maps was switched: a redraw shows or drops the maps, unless a
  // run trains, whose next redraw does.
  void NeurodeMapsSwitched();
  // Ends the program: a run still on the stack unwinds at its next yield
  // before the event loop ends, so nothing draws into a destroyed window.
  void EndProgram();

  Workspace& ws_;
  Dialogs& dialogs_;
  CanvasView* view_;
  DesignerStrip* designer_ = nullptr;  // Command1, Command2 and Text1
  std::unique_ptr<DeferredCanvas> canvas_;
  std::unique_ptr<WindowOwner> owner_;
  std::unique_ptr<ViewDocks> views_;
  std::unique_ptr<TrainingPace> pace_;
  YieldGate yieldGate_;
  bool aboutBoxOpen_ = false;
  bool rememberLayout_ = false;
  bool ending_ = false;
};

}  // namespace backprop
