#include "ui/main/help_document.h"

#include <QFile>
#include <QRegularExpression>

namespace backprop {

std::optional<QString> ReadHelpDocument(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QString text = QString::fromUtf8(file.readAll());
  if (file.error() != QFileDevice::NoError || text.isEmpty()) return std::nullopt;
  // The document is kept with CR LF ends; a copy whose ends were changed
  // on the way still reads the same.
  static const QRegularExpression lineEnd("\r\n|\r|\n");
  text.replace(lineEnd, "\r\n");
  return text;
}

}  // namespace backprop
