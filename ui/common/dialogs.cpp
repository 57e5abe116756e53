#include "ui/common/dialogs.h"

#include <QInputDialog>
#include <QMessageBox>

namespace backprop {

namespace {

class QtDialogs : public Dialogs {
 public:
  void Warning(QWidget* parent, const QString& title, const QString& text) override {
    QMessageBox::warning(parent, title, text);
  }
  void Information(QWidget* parent, const QString& title, const QString& text) override {
    QMessageBox::information(parent, title, text);
  }
  QString Input(QWidget* parent, const QString& prompt, const QString& title) override {
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, {}, &ok);
    return ok ? text : QString();
  }
};

}  // namespace

Dialogs& RealDialogs() {
  static QtDialogs dialogs;
  return dialogs;
}

}  // namespace backprop
