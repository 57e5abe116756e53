// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/keyboard.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>

namespace backprop {

bool TypesCharacter(const QKeyEvent& event) {
  const Qt::KeyboardModifiers held = event.modifiers();
  if (held.testFlag(Qt::AltModifier) && !held.testFlag(Qt::ControlModifier)) return false;
  return !event.text().isEmpty();
}

void AddMenuBarKey(QMainWindow& window) {
  auto* key = new QAction(&window);
  key->setObjectName("MenuBarKey");
  key->setShortcut(QKeySequence(Qt::Key_F10));
  key->setShortcutContext(Qt::WindowShortcut);
  window.addAction(key);
  QObject::connect(key, &QAction::triggered, &window, [&window] {
    // The menu bar watches its window for a lone Alt; the same two events
    // hand it the keyboard, with all it does for Alt (Esc gives the focus
    // back). A key event of Alt itself reports Alt held as the opposite of
    // the state it is given, the state before the key.
    QKeyEvent altDown(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::NoModifier);
    QApplication::sendEvent(&window, &altDown);
    QKeyEvent altUp(QEvent::KeyRelease, Qt::Key_Alt, Qt::AltModifier);
    QApplication::sendEvent(&window, &altUp);
  });
}

void LeaveWithEscape(QWidget& window, std::function<void()> leave) {
  auto* key = new QAction(&window);
  key->setObjectName("EscapeKey");
  key->setShortcut(QKeySequence(Qt::Key_Escape));
  key->setShortcutContext(Qt::WindowShortcut);
  window.addAction(key);
  QObject::connect(key, &QAction::triggered, &window, std::move(leave));
}

void GiveShortcut(QAction& action, const QKeySequence& key, const QString& description) {
  action.setShortcut(key);
  action.setShortcutContext(Qt::WindowShortcut);
  const QString named = description + " (" + key.toString(QKeySequence::NativeText) + ")";
  action.setToolTip(named);
  action.setStatusTip(description);
  action.setWhatsThis(named);
}

}  // namespace backprop
