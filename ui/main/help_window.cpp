#include "ui/main/help_window.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QMenuBar>
#include <QPlainTextEdit>

#include "ui/common/main_window_access.h"
#include "ui/common/twips.h"

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

  auto* client = new QWidget(this);
  setCentralWidget(client);
  documentArea_ = new QPlainTextEdit(client);
  documentArea_->setObjectName("Text1");
  documentArea_->setFont(DocumentFont());
  documentArea_->setLineWrapMode(QPlainTextEdit::NoWrap);
  documentArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  documentArea_->setPlainText(document);
  // Typed keys change nothing; the caret, scrolling and selecting still work.
  documentArea_->setReadOnly(true);
  documentArea_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);

  // The text area keeps its laid-out size when the window is maximised;
  // only its frame lies left of the window's edge, so no text is cut off.
  QRect area = TwipsToPixels(0, 0, 11775, 7215, logicalDpiX(), logicalDpiY());
  area.moveLeft(-documentArea_->frameWidth());
  documentArea_->setGeometry(area);

  QAction* nutron = menuBar()->addAction("END");
  nutron->setObjectName("nutron");
  connect(nutron, &QAction::triggered, this, &HelpWindow::nutron_Click);
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
