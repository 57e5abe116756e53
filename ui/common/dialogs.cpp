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
  Answer Ask(QWidget* parent, const QString& title, const QString& text) override {
    switch (QMessageBox::question(parent, title, text,
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                  QMessageBox::Cancel)) {
      case QMessageBox::Yes:
        return Answer::Yes;
      case QMessageBox::No:
        return Answer::No;
      default:
        return Answer::Cancel;
    }
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
