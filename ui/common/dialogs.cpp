// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

namespace backprop {

SaveChoice CompletedChoice(const QString& file, int chosenType, const QList<FileType>& types) {
  const QString suffix = QFileInfo(file).suffix();
  if (suffix.isEmpty()) return {file + types.value(chosenType).extension, chosenType};
  for (int type = 0; type < types.size(); ++type) {
    if (types[type].extension.mid(1).compare(suffix, Qt::CaseInsensitive) == 0) return {file, type};
  }
  return {file, chosenType};
}

namespace {

QString NameFilter(const FileType& type) { return type.name + " (*" + type.extension + ")"; }

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
  SaveChoice SaveFile(QWidget* parent, const QString& title, const QString& suggested,
                      const QList<FileType>& types) override {
    QStringList filters;
    for (const FileType& type : types) filters << NameFilter(type);
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    // The type of the name suggested is the one chosen first.
    const int first = CompletedChoice(suggested, 0, types).type;
    dialog.selectNameFilter(filters.value(first));
    // The dialog adds the chosen type's extension to a bare name before it
    // asks whether to replace a file, so it asks about the final name.
    const auto follow = [&dialog, &filters, &types](const QString& filter) {
      const int type = static_cast<int>(filters.indexOf(filter));
      dialog.setDefaultSuffix(types.value(type).extension.mid(1));
    };
    follow(filters.value(first));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, follow);
    dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString chosen = dialog.selectedFiles().constFirst();
    const SaveChoice choice = CompletedChoice(
        chosen, std::max(0, static_cast<int>(filters.indexOf(dialog.selectedNameFilter()))), types);
    // A dialog of the platform's may leave the name bare and ask only about
    // the name typed: the final one is asked about here.
    if (choice.file != chosen && QFileInfo::exists(choice.file) &&
        QMessageBox::warning(
            parent, title,
            QFileInfo(choice.file).fileName() + " already exists.\nDo you want to replace it?",
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes) {
      return {};
    }
    return choice;
  }
};

}  // namespace

Dialogs& RealDialogs() {
  static QtDialogs dialogs;
  return dialogs;
}

}  // namespace backprop
