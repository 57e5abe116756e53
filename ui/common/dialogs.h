#pragma once

#include <QString>

class QWidget;

namespace backprop {

// The answer to a question box.
enum class Answer { Yes, No, Cancel };

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
  // The standard save dialog: a file name to save under, with `suggested`
  // offered first and `filter` naming the kinds of file; empty for Cancel.
  // Boxes that cannot ask answer Cancel.
  virtual QString SaveFileName(QWidget* parent, const QString& title, const QString& suggested,
                               const QString& filter) {
    static_cast<void>(parent);
    static_cast<void>(title);
    static_cast<void>(suggested);
    static_cast<void>(filter);
    return {};
  }
};

// The real Qt message and input boxes.
Dialogs& RealDialogs();

}  // namespace backprop
