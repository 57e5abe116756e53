// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

class QWidget;

namespace backprop {

// The answer to a question box.
enum class Answer { Yes, No, Cancel };

// A kind of file a save dialog offers: "PNG picture", ".png".
struct FileType {
  QString name;
  QString extension;
};

// What a save dialog chose: the file and the place of its type among those
// offered; an empty file for Cancel.
struct SaveChoice {
  QString file;
  int type = 0;
};

// The name a save writes to and the type it writes: a name without an
// extension gets the chosen type's; a name that ends in the extension of
// another offered type is saved as that type, so that the file is what its
// name says.
SaveChoice CompletedChoice(const QString& file, int chosenType, const QList<FileType>& types);

// The modal boxes the windows open. Windows take them by reference so that
// tests can answer them without a user; RealDialogs() opens the real ones.
class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // A message box with an exclamation icon and one OK button.
  virtual void Warning(QWidget* parent, const QString& title, const QString& text) = 0;
  // A plain message box with one OK button (the copyright notice, notes).
  virtual void Information(QWidget* parent, const QString& title, const QString& text) = 0;
  // An input box with a prompt, a title, an empty entry field, OK and
  // Cancel; returns the typed text, or an empty text for Cancel.
  virtual QString Input(QWidget* parent, const QString& prompt, const QString& title) = 0;
  // The same with the entry field holding `value` at first. Boxes that
  // cannot show a value ask as Input does.
  virtual QString InputWithValue(QWidget* parent, const QString& prompt, const QString& title,
                                 const QString& value) {
    static_cast<void>(value);
    return Input(parent, prompt, title);
  }
  // A question box with Yes, No and Cancel (Cancel the default). Boxes that
  // cannot ask answer Cancel.
  virtual Answer Ask(QWidget* parent, const QString& title, const QString& text) {
    static_cast<void>(parent);
    static_cast<void>(title);
    static_cast<void>(text);
    return Answer::Cancel;
  }
  // The standard save dialog over the offered types, `suggested` offered
  // first: the completed choice (CompletedChoice), after the dialog asked
  // before a file of that final name is replaced. Boxes that cannot ask
  // answer Cancel.
  virtual SaveChoice SaveFile(QWidget* parent, const QString& title, const QString& suggested,
                              const QList<FileType>& types) {
    static_cast<void>(parent);
    static_cast<void>(title);
    static_cast<void>(suggested);
    static_cast<void>(types);
    return {};
  }
};

// The real Qt message and input boxes.
Dialogs& RealDialogs();

}  // namespace backprop
