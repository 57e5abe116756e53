// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/editor/buffer_text.h"

#include <QStringDecoder>

#include "engine/text_lines.h"

namespace backprop {

namespace {

QStringDecoder Utf8Decoder() {
  // Stateless: the bytes are one whole text. ConvertInitialBom keeps a byte
  // order mark as a character, so it is not dropped from an edited text.
  // NOLINTNEXTLINE(modernize-return-braced-init-list): the constructor is explicit.
  return QStringDecoder(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
}

QByteArrayView View(std::string_view bytes) {
  return {bytes.data(), static_cast<qsizetype>(bytes.size())};
}

bool FitsLatin1(const QString& text) {
  for (QChar ch : text) {
    if (ch.unicode() > 0xFF) return false;
  }
  return true;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  QStringDecoder decoder = Utf8Decoder();
  [[maybe_unused]] const QString ignored = decoder(View(bytes));
  return !decoder.hasError();
}

// CR and LF are single bytes in UTF-8 and in Latin-1 alike, and no other
// character's bytes contain them, so line ends are converted on the bytes.
QString BufferToEditorText(std::string_view bytes) {
  const std::string plain = WithLineEnds(bytes, "\n");
  QStringDecoder decoder = Utf8Decoder();
  QString text = decoder(View(plain));
  if (decoder.hasError()) text = QString::fromLatin1(View(plain));
  // The text area turns a paragraph separator into a line break of its own.
  text.replace(QChar::ParagraphSeparator, u'\n');
  return text;
}

std::string EditorTextToBuffer(const QString& text, std::string_view replaced) {
  const QByteArray bytes =
      !IsValidUtf8(replaced) && FitsLatin1(text) ? text.toLatin1() : text.toUtf8();
  return WithLineEnds(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                      "\r\n");
}

}  // namespace backprop
