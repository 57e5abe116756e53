// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>

#include "engine/workspace.h"

class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;

namespace backprop {

class MainWindowAccess;
class PauseTimer;

// The editor: one maximised window whose text area (Text1) is the working
// copy of the buffer named by the workspace's EditorBuffer. Its menu bar
// switches to another buffer or, with "End", goes back to the main window;
// each of these first stores the text area back into its buffer. Closing
// the window stores back the same way and destroys the window, so the next
// opening builds it afresh.
//
// The main window opens it in this order: setWindowTitle(TitleFor(ws, id)),
// ws.EditorBuffer = id, hide itself, ShowMaximised(editor),
// editor->ShowBufferText().
//
// Beyond that, a list under the text area shows the warnings of the text
// checks for the text being edited (and is hidden when there are none). The
// text is checked when a buffer is shown and after every pause in typing,
// so typing in a long text never waits on a check; a click on a warning
// puts the cursor at the start of its line.
class EditorWindow : public QMainWindow {
  Q_OBJECT

 public:
  // `pause` times the checks while typing (the editor takes it over);
  // without one, the editor waits kCheckPauseMs.
  EditorWindow(Workspace& ws, MainWindowAccess& mainWindow, QWidget* parent = nullptr,
               PauseTimer* pause = nullptr);
  ~EditorWindow() override;

  // The window title that names a buffer: "Program: " + ProgramName, ...
  static QString TitleFor(const Workspace& ws, BufferId id);

  // Puts the text of the buffer named by EditorBuffer into the text area
  // (empties it when EditorBuffer names no buffer).
  void ShowBufferText();

  // The text area and the warnings under it, for the tests.
  QPlainTextEdit* TextArea() const { return textArea_; }
  QListWidget* WarningList() const { return warningList_; }

  // The pause in typing after which the text is checked.
  static constexpr int kCheckPauseMs = 400;

 public slots:
  void Form_Load();
  void wnd_Click();
  void am_Click();
  void pos2_Click();
  void ng_Click();
  void un_Click();
  void tq_Click();
  void Text1_LostFocus();

 protected:
  void closeEvent(QCloseEvent* event) override;  // Form_Unload
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The buffer named by EditorBuffer, or nullptr when it names none.
  std::string* CurrentBuffer();
  // Writes the text area into its buffer when the user changed it.
  void StoreBack();
  void SwitchTo(BufferId id);
  // Checks the text area's text and lists the warnings.
  void CheckText();
  // Puts the cursor at the start of a warning's line.
  void GoToWarning(const QListWidgetItem* item);

  Workspace& ws_;
  MainWindowAccess& mainWindow_;
  QPlainTextEdit* textArea_;
  QListWidget* warningList_;
  PauseTimer* pause_;
};

}  // namespace backprop
