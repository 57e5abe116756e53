#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace backprop {

// The hint shown with the designer's buttons.
inline constexpr const char* kDesignerHint = "NOTE:  MOUSE CLICK SETS AND ERASES NEURODES.";

// The designer's controls, "Done", "Remove 1 Layer" and the hint, in a strip
// between the menu bar and the drawing. The strip shows while any of them
// is shown and takes its room from the drawing, so no control ever lies over
// a point of the drawing where a press means something.
class DesignerStrip : public QWidget {
  Q_OBJECT

 public:
  explicit DesignerStrip(QWidget* parent = nullptr);

  QPushButton* DoneButton() const { return done_; }
  QPushButton* RemoveLayerButton() const { return removeLayer_; }
  QPlainTextEdit* Hint() const { return hint_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FollowControls();

  QPushButton* done_;
  QPushButton* removeLayer_;
  QPlainTextEdit* hint_;
};

}  // namespace backprop
