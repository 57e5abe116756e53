#include "ui/common/window_style.h"

#include <QGuiApplication>

namespace backprop {

QFont WindowFont() {
  QFont font = QGuiApplication::font();
  font.setPointSizeF(8.25);
  font.setBold(true);
  return font;
}

}  // namespace backprop
