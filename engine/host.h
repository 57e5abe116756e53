#pragma once

#include <string>

namespace backprop {

class Canvas;

// What the engine needs from the window it runs under: the main window's
// drawing surface, a chance for pending window events to run during
// training, and a warning box.
class Host {
 public:
  virtual ~Host() = default;

  virtual Canvas& MainCanvas() = 0;
  // Lets pending window events run; key presses and clicks handled there
  // set the workspace's InterruptKey.
  virtual void YieldToEvents() = 0;
  // A modal warning with an exclamation icon and an OK button.
  virtual void ShowWarning(const std::string& message) = 0;
};

}  // namespace backprop
