// SPDX-License-Identifier: GPL-3.0-or-later
// Renders arbitrary lesson notes as the Lesson dock does and follows their
// links as the lessons would. Rendering asks for no resource and leaves no
// picture in the document; an HTML snippet that stands as a paragraph of
// its own, whatever Markdown comes before and after it, shows as written;
// the headline is taken from the note's own lines; and every link that is
// accepted names a set in the note's own folder.
#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>

#include "files/exercise_library.h"
#include "fuzz/fuzz_input.h"
#include "ui/views/lesson_markdown.h"

namespace {

using namespace backprop;

// HTML that must never be taken as HTML.
constexpr const char* kSnippets[] = {
    "<b>bold</b>",
    "<img src=\"/etc/hostname\">",
    "<script>alert(1)</script>",
    "<a href=\"/etc/passwd\">away</a>",
    "<!-- a comment -->",
    "<div>a block</div>",
    "<iframe src=\"http://example.invalid/\"></iframe>",
    "<style>p { color: red }</style>",
    "<table><tr><td>cell</td></tr></table>",
    "<br>",
    "<?php echo 1; ?>",
    "<![CDATA[ data ]]>",
};

// A document that stops the run if anything is ever loaded for it.
class NoteDocument : public QTextDocument {
 protected:
  QVariant loadResource(int, const QUrl&) override { std::abort(); }
};

bool IsBareName(const std::string& name) {
  if (name.empty() || name.find_first_of("/\\:.?#") != std::string::npos) return false;
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
  }
  const std::filesystem::path folder("lessons");
  const std::filesystem::path set = folder / name;
  return set.parent_path() == folder && set.filename() == name;
}

void CheckLink(const std::string& link) {
  const std::optional<std::string> name = LinkedSetName(link);
  if (name && !IsBareName(*name)) std::abort();
}

}  // namespace

// Fontconfig keeps its caches of the system's fonts until the process ends,
// which the leak check at the end would report.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static QGuiApplication application(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::FuzzInput input(data, size);
  const std::string snippet = kSnippets[input.Byte() % std::size(kSnippets)];
  const std::vector<std::string> texts = input.Texts(2);
  const std::string note = texts[0] + "\n\n" + snippet + "\n" + texts[1];

  const NoteHeadline headline = HeadlineOf(note);
  for (const std::string* line : {&headline.title, &headline.summary}) {
    if (line->find('\n') != std::string::npos || note.find(*line) == std::string::npos) {
      std::abort();
    }
  }
  CheckLink(texts[0]);
  CheckLink(texts[1]);

  NoteDocument document;
  RenderLessonNote(document, note);
  document.setTextWidth(320);
  document.documentLayout()->documentSize();
  if (!document.toPlainText().remove(QChar(0x200B)).contains(QString::fromStdString(snippet))) {
    std::abort();
  }
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat format = it.fragment().charFormat();
      if (format.isImageFormat()) std::abort();
      if (format.isAnchor()) CheckLink(format.anchorHref().toStdString());
    }
  }
  return 0;
}
