#pragma once

#include <memory>
#include <string>

namespace backprop {

class Canvas;

// An offscreen picture of the main window for --png: the Qt application it
// needs (on the offscreen platform unless QT_QPA_PLATFORM says otherwise)
// and a canvas painting into an image with the main window's colours.
class Picture {
 public:
  Picture(int& argc, char** argv);
  ~Picture();
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  Canvas& Surface();
  // Writes the picture as a PNG; false with the reason in `error` on failure.
  bool Save(const std::string& file, std::string& error) const;

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace backprop
