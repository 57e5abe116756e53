// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/backprop_run/picture.h"

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QSize>
#include <QtGlobal>

#include <cstdio>

#include "files/file_error.h"
#include "ui/canvas/image_canvas.h"
#include "ui/common/window_style.h"

namespace backprop {

namespace {

// Qt's notes about the offscreen platform (no runtime directory and the
// like) are no concern of a run; only its errors reach standard error.
void ErrorsOnly(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
  }
}

// Must run before the application object exists: the platform is chosen then.
int& PrepareEnvironment(int& argc) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(ErrorsOnly);
  return argc;
}

}  // namespace

struct Picture::Parts {
  Parts(int& argc, char** argv, QSize size)
      : application(PrepareEnvironment(argc), argv),
        canvas(size, WindowFont(), kDrawingForeground, kDrawingBackground) {}

  QGuiApplication application;
  ImageCanvas canvas;
};

Picture::Picture(int& argc, char** argv, QSize size)
    : parts_(std::make_unique<Parts>(argc, argv, size)) {}

Picture::~Picture() = default;

Canvas& Picture::Surface() { return parts_->canvas; }

void Picture::FitToDrawing() { parts_->canvas.SetFitToDrawing(true); }

std::string Picture::PngBytes(const QImage& image) {
  const QByteArray bytes = backprop::PngBytes(image);
  if (bytes.isEmpty()) throw FileError({}, "cannot make the picture");
  return bytes.toStdString();
}

std::string Picture::PngBytes() const { return PngBytes(parts_->canvas.Image()); }

}  // namespace backprop
