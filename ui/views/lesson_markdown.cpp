// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/views/lesson_markdown.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>

#include <utility>
#include <vector>

namespace backprop {

namespace {

// Laying out a line that cannot break costs the square of its length; a
// zero-width space after this many characters without a blank bounds it.
constexpr int kLongestRun = 1000;

QString WithBreakPoints(QString text) {
  int run = 0;
  for (qsizetype at = 0; at < text.size(); ++at) {
    const QChar c = text.at(at);
    run = c.isSpace() ? 0 : run + 1;
    if (run >= kLongestRun && !c.isHighSurrogate()) {
      text.insert(at + 1, QChar(0x200B));
      ++at;
      run = 0;
    }
  }
  return text;
}

// Each picture becomes "[picture: NAME]" in the format around it, so that
// a picture inside a link still leads where the link does.
void PicturesAsNames(QTextDocument& document) {
  std::vector<std::pair<int, QTextImageFormat>> pictures;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.charFormat().isImageFormat()) continue;
      // Alike pictures side by side share one fragment, a character each.
      for (int n = 0; n < fragment.length(); ++n) {
        pictures.emplace_back(fragment.position() + n, fragment.charFormat().toImageFormat());
      }
    }
  }
  QTextCursor cursor(&document);
  // One change for the layout to follow, not one per picture.
  cursor.beginEditBlock();
  // From the end, so that the positions still to come stay where they were.
  for (auto it = pictures.rbegin(); it != pictures.rend(); ++it) {
    QTextCharFormat text = it->second;
    text.setObjectType(QTextFormat::NoObject);
    text.clearProperty(QTextFormat::ImageName);
    cursor.setPosition(it->first);
    cursor.setPosition(it->first + 1, QTextCursor::KeepAnchor);
    cursor.insertText("[picture: " + it->second.name() + "]", text);
  }
  cursor.endEditBlock();
}

}  // namespace

void RenderLessonNote(QTextDocument& document, std::string_view markdown) {
  const QString text =
      WithBreakPoints(QString::fromUtf8(markdown.data(), static_cast<qsizetype>(markdown.size())));
  if (markdown.size() > kLargestRenderedNote) {
    document.setPlainText(QString("This note is longer than %1 KiB, so it shows as plain text.\n\n")
                              .arg(kLargestRenderedNote / 1024) +
                          text);
    return;
  }
  document.setMarkdown(text, QTextDocument::MarkdownFeatures(QTextDocument::MarkdownDialectGitHub |
                                                             QTextDocument::MarkdownNoHTML));
  PicturesAsNames(document);
}

}  // namespace backprop
