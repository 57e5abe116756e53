#include "ui/views/lesson_view.h"

#include <QTextDocument>
#include <QUrl>

namespace backprop {

namespace {

// HTML shows as it is written: every "<" and "&" is escaped for Markdown,
// so no tag or entity reaches the document as such. Code spans and blocks
// show escapes literally, so there the text is left as written (Markdown
// keeps it as text anyway).
QString WithoutHtml(const QString& markdown) {
  QString out;
  out.reserve(markdown.size() + markdown.size() / 16);
  bool fenced = false;
  for (const QString& line : markdown.split(u'\n')) {
    if (line.trimmed().startsWith(QLatin1String("```"))) fenced = !fenced;
    if (fenced || line.startsWith(QLatin1String("    ")) || line.startsWith(u'\t')) {
      out += line;
    } else {
      int ticks = 0;
      for (const QChar c : line) {
        if (c == u'`') ++ticks;
        if ((c == u'<' || c == u'&') && ticks % 2 == 0) out += u'\\';
        out += c;
      }
    }
    out += u'\n';
  }
  out.chop(1);
  return out;
}

}  // namespace

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
  if (markdown.empty()) {
    setMarkdown("*This set has no lesson note.*");
    return;
  }
  document()->setMarkdown(
      WithoutHtml(QString::fromUtf8(markdown.data(), static_cast<qsizetype>(markdown.size()))),
      QTextDocument::MarkdownDialectGitHub);
}

QVariant LessonView::loadResource(int, const QUrl&) { return {}; }

}  // namespace backprop
