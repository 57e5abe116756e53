// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTextBrowser>

namespace backprop {

// A set's lesson note, rendered from its Markdown (RenderLessonNote).
// Nothing the note names is ever fetched: HTML in it shows as text and
// pictures as their names; a link is handed on by its text alone
// (LinkClicked), for the lessons to decide.
class LessonView : public QTextBrowser {
  Q_OBJECT

 public:
  explicit LessonView(QWidget* parent = nullptr);

  // Shows a note; an empty one says that the set has none.
  void ShowNote(const std::string& markdown);

  // Nothing is loaded from anywhere: every resource is empty.
  QVariant loadResource(int type, const QUrl& name) override;

 signals:
  // A link was clicked: its target as written in the note.
  void LinkClicked(const QString& target);
};

}  // namespace backprop
