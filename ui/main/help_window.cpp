// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/help_window.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QMenuBar>
#include <QPlainTextEdit>

#include "ui/common/keyboard.h"
#include "ui/common/main_window_access.h"

namespace backprop {

namespace {
QFont DocumentFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSizeF(9.75);
  font.setBold(true);
  return font;
}
}  // namespace

HelpWindow::HelpWindow(const QString& document, MainWindowAccess& main, QWidget* parent)
    : QMainWindow(parent), mainWindow_(main) {
  setWindowTitle("Form6");

  documentArea_ = new QPlainTextEdit(this);
  documentArea_->setObjectName("Text1");
  documentArea_->setFont(DocumentFont());
  documentArea_->setLineWrapMode(QPlainTextEdit::NoWrap);
  documentArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  documentArea_->setPlainText(document);
  // Typed keys change nothing; the caret, scrolling and selecting still work.
  documentArea_->setReadOnly(true);
  documentArea_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
  // The document fills the window: on a 640 x 480 screen its laid-out size
  // reaches past the window's edges anyway, and a larger screen shows more
  // of it, with its scroll bar always in sight.
  setCentralWidget(documentArea_);

  documentArea_->setAccessibleName("Help document");
  QAction* nutron = menuBar()->addAction("&END");
  nutron->setObjectName("nutron");
  connect(nutron, &QAction::triggered, this, &HelpWindow::nutron_Click);
  AddMenuBarKey(*this);
  LeaveWithEscape(*this, [this] { nutron_Click(); });
}

void HelpWindow::nutron_Click() {
  hide();
  mainWindow_.ShowMainWindow();
}

void HelpWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  hide();
  mainWindow_.ShowMainWindow();
}

}  // namespace backprop
