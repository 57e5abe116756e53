#include "ui/common/dialogs.h"

#include <QFileDialog>
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
    return InputWithValue(parent, prompt, title, {});
  }
  QString InputWithValue(QWidget* parent, const QString& prompt, const QString& title,
                         const QString& value) override {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, value, &ok);
    return ok ? text : QString();
  }
  QString SaveFileName(QWidget* parent, const QString& title, const QString& suggested,
                       const QString& filter) override {
    return QFileDialog::getSaveFileName(parent, title, suggested, filter);
  }
};

}  // namespace

Dialogs& RealDialogs() {
  static QtDialogs dialogs;
  return dialogs;
}

}  // namespace backprop
