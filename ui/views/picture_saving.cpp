// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/views/picture_saving.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

#include <string>

#include "files/file_error.h"
#include "files/text_file.h"
#include "ui/canvas/image_canvas.h"
#include "ui/common/dialogs.h"
#include "ui/common/window_style.h"

namespace backprop {

namespace {

// Writes the bytes; false after telling the user why not.
bool WriteOrSay(QWidget* parent, Dialogs& dialogs, const QString& file, const QByteArray& bytes) {
  try {
    ReplaceFileContents(
        QFile::encodeName(file).toStdString(),
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return true;
  } catch (const FileError& error) {
    dialogs.Warning(parent, kMessageBoxTitle,
                    QString::fromStdString(FileErrorMessage(kSaveFailedText, error)));
  } catch (const std::bad_alloc&) {
    dialogs.Warning(parent, kMessageBoxTitle, QString(kSaveFailedText) + "\nout of memory");
  }
  return false;
}

const QList<FileType> kPictureTypes{{"PNG picture", ".png"}, {"SVG picture", ".svg"}};
constexpr int kSvgType = 1;

}  // namespace

void SavePictureAs(QWidget* parent, Dialogs& dialogs, const QString& suggestedName,
                   const std::function<QByteArray(bool svg)>& picture) {
  const SaveChoice choice = dialogs.SaveFile(parent, "Save Picture", suggestedName, kPictureTypes);
  if (choice.file.isEmpty()) return;
  WriteOrSay(parent, dialogs, choice.file, picture(choice.type == kSvgType));
}

void SaveCsvAs(QWidget* parent, Dialogs& dialogs, const QString& suggestedName,
               const std::string& text) {
  const SaveChoice choice =
      dialogs.SaveFile(parent, "Save Data", suggestedName, {{"Comma-separated values", ".csv"}});
  if (choice.file.isEmpty()) return;
  WriteOrSay(parent, dialogs, choice.file, QByteArray::fromStdString(text));
}

QByteArray WidgetPicture(QWidget& widget, bool svg) {
  if (!svg) return PngBytes(widget.grab().toImage());
  return SvgBytes(widget.size(), widget.logicalDpiX(),
                  [&widget](QPainter& painter) { widget.render(&painter); });
}

}  // namespace backprop
