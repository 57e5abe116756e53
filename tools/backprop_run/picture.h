// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

class QImage;
class QSize;

namespace backprop {

class Canvas;

// An offscreen picture of the main window for --png: the Qt application it
// needs (on the offscreen platform unless QT_QPA_PLATFORM says otherwise)
// and a canvas painting into an image of the given size in pixels with the
// main window's colours.
class Picture {
 public:
  Picture(int& argc, char** argv, QSize size);
  ~Picture();
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  Canvas& Surface();
  // Shows whatever was drawn as large as the picture allows (--fit).
  void FitToDrawing();
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
