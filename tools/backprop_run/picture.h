#pragma once

#include <memory>
#include <string>

class QImage;

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
  // The picture as the bytes of a PNG file; throws FileError (without a
  // file name) when it cannot be encoded.
  std::string PngBytes() const;
  // The same for any image.
  static std::string PngBytes(const QImage& image);

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace backprop
