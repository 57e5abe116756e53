// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QWidget;

namespace backprop {

class Dialogs;

// Asks for a file name in the standard save dialog, offering "PNG picture"
// and "SVG picture", and saves the picture there in the type chosen, its
// extension added to a bare name (see CompletedChoice); the dialog asks
// before it replaces a file of the final name. `picture(true)` gives the
// SVG bytes, `picture(false)` the PNG bytes. A failure says "UNABLE TO SAVE
// FILE" and why (a folder, a pipe, a device, a link that leads nowhere or
// round in a loop, a place that may not be written): the old file stays
// whole and no new file is left behind.
void SavePictureAs(QWidget* parent, Dialogs& dialogs, const QString& suggestedName,
                   const std::function<QByteArray(bool svg)>& picture);

// The same for a text of comma-separated values (".csv").
void SaveCsvAs(QWidget* parent, Dialogs& dialogs, const QString& suggestedName,
               const std::string& text);

// A widget's picture: its look as an SVG document or as PNG bytes.
QByteArray WidgetPicture(QWidget& widget, bool svg);

}  // namespace backprop
