// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/maximise.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace backprop {

void ShowMaximised(QWidget* window) {
  QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
  if (screen && !window->isMaximized()) window->setGeometry(screen->availableGeometry());
  window->showMaximized();
}

}  // namespace backprop
