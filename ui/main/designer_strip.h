// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace backprop {

// The hint shown with the designer's buttons.
inline constexpr const char* kDesignerHint = "NOTE:  MOUSE CLICK SETS AND ERASES NEURODES.";

// The designer's controls, "Done" (Command1), "Remove 1 Layer" (Command2)
// and the hint (Text1), in a strip between the menu bar and the drawing.
// The strip shows and hides its controls as the window's routines ask, and
// shows itself while any of them is shown, taking its room from the
// drawing, so no control ever lies over a point of the drawing where a
// press means something.
class DesignerStrip : public QWidget {
  Q_OBJECT

 public:
  explicit DesignerStrip(QWidget* parent = nullptr);

  QPushButton* DoneButton() const { return done_; }
  QPushButton* RemoveLayerButton() const { return removeLayer_; }

  // Netdesign: the hint and both buttons shown, the buttons enabled.
  void ShowAll();
  // After a designer press: "Done" shown.
  void ShowDone();
  // Both buttons hidden; the hint stays as it is.
  void HideButtons();
  // The hint hidden; the buttons stay as they are.
  void HideHint();
  // The hint and both buttons hidden.
  void HideAll();
  // Start-up: everything hidden and the hint's text put back.
  void Reset();

 private:
  // The strip shows while any of its controls does.
  void FollowControls();

  QPushButton* done_;
  QPushButton* removeLayer_;
  QPlainTextEdit* hint_;
};

}  // namespace backprop
