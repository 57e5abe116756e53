// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace backprop {

class Canvas;
struct PatternArithmetic;

// What a training cycle reports, as the views and recorders hear it: the
// cycle number and error sum as the report shows them (the error at full
// precision; in digital mode the digital count) and the report's own texts.
struct CycleReport {
  double trial = 0.0;
  double errorSum = 0.0;
  std::string_view trialText;  // what follows "Trial="
  std::string_view errorText;  // what follows "Error="; empty when no error is shown
  bool byHand = false;         // a cycle the user ran by hand, outside a program run
  bool digital = false;        // the error shown is the digital count (OutputMode 0)
};

// What the engine needs from the window it runs under: the main window's
// drawing surface, a chance for pending window events to run during
// training, and a warning box. Beyond those, it tells its host what
// happened, for the views that show learning: these calls do nothing unless
// a host listens.
class Host {
 public:
  virtual ~Host() = default;

  virtual Canvas& MainCanvas() = 0;
  // Lets pending window events run; key presses and clicks handled there
  // set the workspace's InterruptKey.
  virtual void YieldToEvents() = 0;
  // A modal warning with an exclamation icon and an OK button.
  virtual void ShowWarning(const std::string& message) = 0;

  // A TRAIN line starts training.
  virtual void TrainingStarted() {}
  // A training cycle ended and was reported.
  virtual void CycleEnded(const CycleReport&) {}
  // The net was drawn afresh on the main canvas (its weights may have changed).
  virtual void NetRedrawn() {}

  // Where training writes the arithmetic of every pattern it trains from
  // now on (set, pattern and every number of the step), or nullptr for
  // none. Read before each pattern's step, so a host can ask for one
  // pattern's numbers while a run is paused.
  void RecordSteps(PatternArithmetic* record) { stepRecord_ = record; }
  PatternArithmetic* StepRecord() const { return stepRecord_; }

 private:
  PatternArithmetic* stepRecord_ = nullptr;
};

}  // namespace backprop
