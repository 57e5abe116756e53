// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/window_style.h"

#include <QGuiApplication>
#include <QWidget>

namespace backprop {

QFont WindowFont() {
  QFont font = QGuiApplication::font();
  font.setPointSizeF(8.25);
  font.setBold(true);
  return font;
}

void NameSecondaryWindow(QWidget& window, const char* objectName, const char* title) {
  window.setObjectName(objectName);
  window.setWindowTitle(title);
  window.setAttribute(Qt::WA_DeleteOnClose);
}

}  // namespace backprop
