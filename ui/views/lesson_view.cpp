// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/views/lesson_view.h"

#include <QByteArray>
#include <QTextDocument>
#include <QUrl>

#include "ui/views/lesson_markdown.h"

namespace backprop {

LessonView::LessonView(QWidget* parent) : QTextBrowser(parent) {
  setObjectName("Lesson");
  setAccessibleName("Lesson");
  setOpenLinks(false);
  setOpenExternalLinks(false);
  setMinimumWidth(320);
  connect(this, &QTextBrowser::anchorClicked, this,
          [this](const QUrl& url) { emit LinkClicked(url.toString(QUrl::None)); });
  ShowNote({});
}

void LessonView::ShowNote(const std::string& markdown) {
  // Rendered apart from the view, which would lay the note out afresh at
  // every piece the import adds, then shown whole.
  auto* note = new QTextDocument(this);
  note->setDefaultFont(font());
  if (markdown.empty()) {
    note->setMarkdown("*This set has no lesson note.*");
  } else {
    RenderLessonNote(*note, markdown);
  }
  // The note shown before is a child of this view, so the view deletes it.
  setDocument(note);
}

// An empty answer that is not null: given a null one, the document would
// look for the resource on disk itself.
QVariant LessonView::loadResource(int, const QUrl&) { return QByteArray(); }

}  // namespace backprop
