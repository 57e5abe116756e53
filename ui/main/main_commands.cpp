// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's menu commands. Commands that start work do nothing
// while a run trains (Busy = 1); Parms, List, Help and End act at any time,
// so a window can be opened, or the program ended, in the middle of
// training.
#include <QMenu>
#include <QMenuBar>

#include <array>
#include <string_view>

#include "engine/canvas.h"
#include "engine/draw_net.h"
#include "engine/interpreter.h"
#include "engine/workspace.h"
#include "files/load_save_dialog.h"
#include "ui/common/dialogs.h"
#include "ui/common/keyboard.h"
#include "ui/common/maximise.h"
#include "ui/common/window_style.h"
#include "ui/editor/editor_window.h"
#include "ui/editor/generate_data_dialog.h"
#include "ui/listing/listing_window.h"
#include "ui/main/designer_strip.h"
#include "ui/main/help_window.h"
#include "ui/main/main_window.h"
#include "ui/main/training_pace.h"
#include "ui/main/window_owner.h"
#include "ui/parameters/parameters_window.h"
#include "ui/views/view_docks.h"

namespace backprop {

namespace {
// A menu entry: its name, its caption (with the letter its mnemonic
// underlines marked "&"), its handler and, for the commands a student
// repeats, a key that types no character, so that using it during training
// is never a typed key that stops the run.
struct MenuEntry {
  const char* name;
  const char* caption;
  void (MainWindow::*handler)();
  QKeySequence key = {};
  const char* description = "";
};
}  // namespace

void MainWindow::BuildMenuBar() {
  QMenuBar* bar = menuBar();
  bar->setAccessibleName("Menu bar");
  const auto add = [this](auto* parent, const MenuEntry& entry) {
    QAction* action = parent->addAction(entry.caption);
    action->setObjectName(entry.name);
    if (!entry.key.isEmpty()) GiveShortcut(*action, entry.key, entry.description);
    connect(action, &QAction::triggered, this, entry.handler);
  };

  add(bar, {"ne", "&Netdesign", &MainWindow::ne_Click});
  QMenu* edit = bar->addMenu("&Edit");
  edit->setObjectName("ed");
  edit->menuAction()->setObjectName("ed");
  const std::array<MenuEntry, 5> editEntries{{
      {"pr", "&Program(S1)", &MainWindow::pr_Click},
      {"ps2", "P&rogram(S2)", &MainWindow::ps2_Click},
      {"Tr", "&Training Data (D1)", &MainWindow::Tr_Click},
      {"Ta", "Training &Data (D2)", &MainWindow::Ta_Click},
      {"testdata", "T&est Set (T1)", &MainWindow::testdata_Click},
  }};
  for (const MenuEntry& entry : editEntries) add(edit, entry);
  edit->addSeparator();
  add(edit, {"GenerateData", "&Generate Data...", &MainWindow::GenerateData_Click});
  const std::array<MenuEntry, 9> entries{{
      {"TN", "&Run(S1)", &MainWindow::TN_Click, Qt::CTRL | Qt::Key_F5, "Run Program S1"},
      {"ru", "R&un(S2)", &MainWindow::ru_Click, Qt::CTRL | Qt::Key_F6, "Run Program S2"},
      {"SWP", "&StepThruTrn(D1)", &MainWindow::SWP_Click, Qt::CTRL | Qt::Key_F7,
       "Step to the next pattern of the training set"},
      {"tdst", "S&tepThruTst(T1)", &MainWindow::tdst_Click, Qt::CTRL | Qt::Key_F8,
       "Step to the next pattern of the test set"},
      {"pms", "&Parms", &MainWindow::pms_Click},
      {"li", "&List", &MainWindow::li_Click},
      {"sa", "L&oad/Save", &MainWindow::sa_Click},
      {"he", "&Help", &MainWindow::he_Click, Qt::Key_F1, "Show the help document"},
      {"eee", "En&d", &MainWindow::eee_Click},
  }};
  for (const MenuEntry& entry : entries) {
    if (std::string_view(entry.name) == "he") views_->AddMenu(bar);
    add(bar, entry);
  }
  // The menu bar's own actions reach their shortcuts wherever this window
  // has the focus; F10 hands the bar the keyboard.
  AddMenuBarKey(*this);
}

bool MainWindow::Busy() const { return ws_.Busy == 1; }

void MainWindow::ne_Click() {
  if (Busy()) return;
  designer_->ShowAll();
  ws_.InterruptKey = kClickInterruptKey;
  ws_.DesignMode = 1;
  // The designer's presses need the whole grid.
  ApplyFit();
}

void MainWindow::OpenEditor(BufferId id) {
  EditorWindow& editor = owner_->Editor();
  editor.setWindowTitle(EditorWindow::TitleFor(ws_, id));
  ws_.EditorBuffer = static_cast<int>(id);
  hide();
  ShowMaximised(&editor);
  editor.ShowBufferText();
}

void MainWindow::EditBuffer(BufferId id) {
  if (Busy()) return;
  LeaveDesignMode();
  OpenEditor(id);
}

void MainWindow::pr_Click() { EditBuffer(BufferId::ProgramS1); }

// The only Edit entry that leaves design mode alone.
void MainWindow::ps2_Click() {
  if (Busy()) return;
  OpenEditor(BufferId::ProgramS2);
}

void MainWindow::Tr_Click() {
  if (Busy()) return;
  ws_.LoadedSet = kNoDataSet;  // the edited text is read afresh by the next step
  EditBuffer(BufferId::TrainingDataD1);
}

void MainWindow::Ta_Click() { EditBuffer(BufferId::TrainingDataD2); }

void MainWindow::testdata_Click() { EditBuffer(BufferId::TestSetT1); }

void MainWindow::GenerateData_Click() {
  if (Busy()) return;
  LeaveDesignMode();
  auto* dialog = new GenerateDataDialog(ws_, dialogs_, this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->open();
}

void MainWindow::pms_Click() {
  hide();
  ShowMaximised(&owner_->Parameters());
}

void MainWindow::li_Click() {
  LeaveDesignMode();
  hide();
  owner_->Listing().ShowForListing();
}

void MainWindow::sa_Click() {
  if (Busy()) return;
  LeaveDesignMode();
  hide();
  ShowMaximised(&owner_->LoadSave());
}

void MainWindow::TN_Click() { Run(kRunProgramS1); }
void MainWindow::ru_Click() { Run(kRunProgramS2); }
void MainWindow::SWP_Click() { Step(kStepTraining); }
void MainWindow::tdst_Click() { Step(kStepTest); }

void MainWindow::Run(int runMode) {
  if (Busy()) return;
  ws_.RunMode = runMode;
  LeaveDesignMode();
  views_->RunStarting();
  RunProgram(ws_, *this);
  FlushDrawing();
  views_->RunEnded();
  pace_->RunEnded();
}

void MainWindow::Step(int runMode) {
  if (Busy()) return;
  // Switching into this step mode starts from a clean drawing; stepping on
  // in the same mode keeps what the last step wrote until it rewrites it.
  if (ws_.RunMode != runMode) {
    MainCanvas().Clear();
    RedrawNet();
  }
  Run(runMode);
}

void MainWindow::he_Click() {
  HelpWindow* help = owner_->Help();
  if (help == nullptr) {
    dialogs_.Warning(this, kMessageBoxTitle, "FILE NOT FOUND");
    return;
  }
  hide();
  ShowMaximised(help);
}

void MainWindow::eee_Click() { EndProgram(); }

}  // namespace backprop
