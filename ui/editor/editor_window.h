#pragma once

#include <QMainWindow>

#include "engine/workspace.h"

class QPlainTextEdit;

namespace backprop {

class MainWindowAccess;

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
class EditorWindow : public QMainWindow {
  Q_OBJECT

 public:
  EditorWindow(Workspace& ws, MainWindowAccess& mainWindow, QWidget* parent = nullptr);
  ~EditorWindow() override;

  // The window title that names a buffer: "Program: " + ProgramName, ...
  static QString TitleFor(const Workspace& ws, BufferId id);

  // Puts the text of the buffer named by EditorBuffer into the text area
  // (empties it when EditorBuffer names no buffer).
  void ShowBufferText();

  // The text area, for the tests.
  QPlainTextEdit* TextArea() const { return textArea_; }

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

  Workspace& ws_;
  MainWindowAccess& mainWindow_;
  QPlainTextEdit* textArea_;
};

}  // namespace backprop
