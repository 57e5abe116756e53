#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QWidget;

namespace backprop {

class Dialogs;

// Asks for a file name in the standard save dialog and saves a picture
// there: as SVG when the name ends in ".svg", otherwise as PNG (".png" is
// added to a name without an extension). `picture(true)` gives the SVG
// bytes, `picture(false)` the PNG bytes. A failure says "UNABLE TO SAVE
// FILE" and why; an existing file is only replaced by a complete new one.
void SavePictureAs(QWidget* parent, Dialogs& dialogs, const QString& suggestedName,
                   const std::function<QByteArray(bool svg)>& picture);

// The same for a text of comma-separated values (".csv" added when missing).
void SaveCsvAs(QWidget* parent, Dialogs& dialogs, const QString& suggestedName,
               const std::string& text);

// A widget's picture: its look as an SVG document or as PNG bytes.
QByteArray WidgetPicture(QWidget& widget, bool svg);

}  // namespace backprop
