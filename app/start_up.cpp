// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/start_up.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <thread>

#include "ui/main/main_window.h"

namespace backprop {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// How long a display that refuses connections is waited for, and after how
// long the wait is mentioned.
constexpr auto kDisplayPatience = 10s;
constexpr auto kMentionWaitAfter = 500ms;

// Qt uses X unless QT_QPA_PLATFORM names another platform first.
bool QtUsesX11() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  return platform == nullptr || *platform == '\0' || std::string_view(platform).starts_with("xcb");
}

const char* ConnectionProblem(int error) {
  switch (error) {
    case XCB_CONN_CLOSED_PARSE_ERR:
      return "is not a display name";
    case XCB_CONN_CLOSED_INVALID_SCREEN:
      return "has no such screen";
    default:
      return "does not accept connections (no X server, or access refused)";
  }
}

QtMessageHandler previousHandler = nullptr;

void ExitOnFatal(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  previousHandler(type, context, message);
  if (type == QtFatalMsg) {
    std::fflush(stderr);
    std::_Exit(EXIT_FAILURE);
  }
}

// Watches every paint inside the window: the first one means the window is
// on the screen and drawn. A zero timer fires only once the event loop has
// run what was queued before it, so start-up is over when End runs.
class EndAfterFirstPaint : public QObject {
 public:
  explicit EndAfterFirstPaint(MainWindow& window) : QObject(&window), window_(window) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !ending_) {
      ending_ = true;
      QTimer::singleShot(0, &window_, &MainWindow::eee_Click);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  MainWindow& window_;
  bool ending_ = false;
};

}  // namespace

WindowSystemStart::WindowSystemStart() {
  previousHandler = qInstallMessageHandler(ExitOnFatal);
  if (!QtUsesX11()) {
    ready_ = true;
    return;
  }
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') {
    std::fprintf(stderr,
                 "backpropagation: no display to show the window on (DISPLAY is not set)\n");
    return;
  }
  const Clock::time_point start = Clock::now();
  auto pause = 10ms;
  bool mentioned = false;
  for (;;) {
    display_ = xcb_connect(nullptr, nullptr);
    const int error = xcb_connection_has_error(display_);
    if (error == 0) break;
    xcb_disconnect(display_);
    display_ = nullptr;
    const auto waited = Clock::now() - start;
    if (error != XCB_CONN_ERROR || waited >= kDisplayPatience) {
      std::fprintf(stderr, "backpropagation: the display %s %s\n", display,
                   ConnectionProblem(error));
      return;
    }
    if (!mentioned && waited >= kMentionWaitAfter) {
      std::fprintf(stderr, "backpropagation: waiting for the display %s\n", display);
      mentioned = true;
    }
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::milliseconds(250));
  }
  ready_ = true;
}

WindowSystemStart::~WindowSystemStart() { Done(); }

void WindowSystemStart::Done() {
  if (done_) return;
  done_ = true;
  if (display_ != nullptr) xcb_disconnect(display_);
  display_ = nullptr;
  qInstallMessageHandler(previousHandler);
}

void QuitWhenShownIfAsked(MainWindow& window) {
  if (!qEnvironmentVariableIsSet("BACKPROP_QUIT_WHEN_SHOWN")) return;
  // Paint events go to the widgets that paint: the window and its children.
  auto* watcher = new EndAfterFirstPaint(window);
  window.installEventFilter(watcher);
  for (QWidget* child : window.findChildren<QWidget*>()) child->installEventFilter(watcher);
}

}  // namespace backprop
