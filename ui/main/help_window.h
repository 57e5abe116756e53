// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>

class QPlainTextEdit;

namespace backprop {

class MainWindowAccess;

// The help window ("Form6"): the user document in a read-only fixed-width
// text area, and one menu entry, "END", back to the main window.
class HelpWindow : public QMainWindow {
  Q_OBJECT

 public:
  HelpWindow(const QString& document, MainWindowAccess& main, QWidget* parent = nullptr);

  // The read-only text area that shows the document.
  QPlainTextEdit& DocumentArea() { return *documentArea_; }

 public slots:
  // "END": hide this window and show the main window again.
  void nutron_Click();

 protected:
  // The close box (Form_Unload): back to the main window; the owner then
  // discards this window.
  void closeEvent(QCloseEvent* event) override;

 private:
  MainWindowAccess& mainWindow_;
  QPlainTextEdit* documentArea_;
};

}  // namespace backprop
