#pragma once

#include <QString>

class QWidget;

namespace backprop {

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
};

// The real Qt message and input boxes.
Dialogs& RealDialogs();

}  // namespace backprop
