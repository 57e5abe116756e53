// SPDX-License-Identifier: GPL-3.0-or-later
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
  QStringList questions;           // "title: text"
  std::deque<Answer> askAnswers;   // Cancel when empty

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
  Answer Ask(QWidget*, const QString& title, const QString& text) override {
    questions << title + ": " + text;
    if (askAnswers.empty()) return Answer::Cancel;
    const Answer answer = askAnswers.front();
    askAnswers.pop_front();
    return answer;
  }
};

}  // namespace backprop::testing
