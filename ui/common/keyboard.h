// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QKeySequence>
#include <QString>

#include <functional>

class QAction;
class QKeyEvent;
class QMainWindow;
class QMenu;
class QMenuBar;
class QWidget;

namespace backprop {

// Whether a key press types a character, as a window's key press handler
// counts keys. A key held with Alt (without Ctrl, which AltGr may stand
// for) opens a menu or types nothing, and so do keys without text (F-keys,
// arrows, Alt alone).
bool TypesCharacter(const QKeyEvent& event);

// F10 gives the window's menu bar to the keyboard, as a press and release
// of Alt does: the first entry is highlighted, the arrows move, Enter or
// Down opens a menu, Esc leaves. Neither key types a character.
void AddMenuBarKey(QMainWindow& window);

// Esc leaves the window the way its own exit entry does ("End", "Exit").
void LeaveWithEscape(QWidget& window, std::function<void()> leave);

// A shortcut on an action that the window keeps working also while one of
// its floating docks has the focus; its tooltip and accessible
// description name the key.
void GiveShortcut(QAction& action, const QKeySequence& key, const QString& description);

}  // namespace backprop
