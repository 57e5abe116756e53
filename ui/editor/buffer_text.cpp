#include "ui/editor/buffer_text.h"

#include <QStringDecoder>

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

QString BufferToEditorText(std::string_view bytes) {
  QStringDecoder decoder = Utf8Decoder();
  QString decoded = decoder(View(bytes));
  if (decoder.hasError()) decoded = QString::fromLatin1(View(bytes));

  QString text;
  text.reserve(decoded.size());
  for (qsizetype i = 0; i < decoded.size(); ++i) {
    const QChar ch = decoded[i];
    if (ch == u'\r') {
      if (i + 1 < decoded.size() && decoded[i + 1] == u'\n') ++i;
      text += u'\n';
    } else if (ch == QChar::ParagraphSeparator) {
      // The text area turns it into a line break of its own.
      text += u'\n';
    } else {
      text += ch;
    }
  }
  return text;
}

std::string EditorTextToBuffer(const QString& text, std::string_view replaced) {
  QString withCrLf;
  withCrLf.reserve(text.size() + text.count(u'\n'));
  for (QChar ch : text) {
    if (ch == u'\n') {
      withCrLf += u"\r\n";
    } else {
      withCrLf += ch;
    }
  }
  const QByteArray bytes =
      !IsValidUtf8(replaced) && FitsLatin1(withCrLf) ? withCrLf.toLatin1() : withCrLf.toUtf8();
  return bytes.toStdString();
}

}  // namespace backprop
