// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/help_document.h"

#include <QFile>

#include "engine/text_lines.h"

namespace backprop {

std::optional<QString> ReadHelpDocument(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError || bytes.isEmpty()) return std::nullopt;
  // The document is kept with CR LF ends; a copy whose ends were changed
  // on the way still reads the same.
  return QString::fromStdString(WithLineEnds(
      std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), "\r\n"));
}

}  // namespace backprop
