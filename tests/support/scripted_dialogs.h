#pragma once

#include <QStringList>

#include <deque>

#include "ui/common/dialogs.h"

namespace backprop::testing {

// Dialogs for tests: records every box and answers input boxes from a
// queue (an empty answer, like Cancel, when the queue is empty).
class ScriptedDialogs : public Dialogs {
 public:
  QStringList warnings;      // "title: text"
  QStringList informations;  // "title: text"
  QStringList prompts;       // "title: prompt"
  std::deque<QString> answers;

  void Warning(QWidget*, const QString& title, const QString& text) override {
    warnings << title + ": " + text;
  }
  void Information(QWidget*, const QString& title, const QString& text) override {
    informations << title + ": " + text;
  }
  QString Input(QWidget*, const QString& prompt, const QString& title) override {
    prompts << title + ": " + prompt;
    if (answers.empty()) return {};
    QString answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace backprop::testing
