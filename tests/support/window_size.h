// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLayout>
#include <QTest>

namespace backprop::testing {

// Gives a shown window the size a maximised window has on a screen of that
// size; true once its layout has placed the controls for that size.
inline bool ResizeWindow(QWidget* window, QSize size) {
  window->setWindowState(window->windowState() & ~Qt::WindowMaximized);
  window->resize(size);
  const QPoint corner(size.width() - 1, size.height() - 1);
  return QTest::qWaitFor([=] { return window->layout()->geometry().bottomRight() == corner; });
}

}  // namespace backprop::testing
