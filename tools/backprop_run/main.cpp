// backprop-run: runs a network program of a file set without the window and
// prints what the run writes on the main window. See UsageText().

#include <csignal>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "engine/draw_net.h"
#include "engine/workspace.h"
#include "files/weights_file.h"
#include "tools/backprop_run/file_set.h"
#include "tools/backprop_run/headless_run.h"
#include "tools/backprop_run/picture.h"
#include "tools/backprop_run/run_options.h"
#include "tools/backprop_run/tee_canvas.h"
#include "tools/backprop_run/text_canvas.h"

namespace {

constexpr int kExitRunError = 2;
constexpr int kExitUsageOrFileError = 1;

volatile std::sig_atomic_t interruptRequest = 0;

extern "C" void RequestInterrupt(int) { interruptRequest = 1; }

// The first Ctrl+C stops training the way a key press in the window does;
// the handler then resets, so a second one ends the process at once.
void InstallInterruptHandler() {
  struct sigaction action = {};
  action.sa_handler = RequestInterrupt;
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
}

int Fail(const std::string& message) {
  std::cerr << "backprop-run: " << message << '\n';
  return kExitUsageOrFileError;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace backprop;

  RunOptions options;
  try {
    options = ParseRunOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const UsageError& error) {
    return Fail(std::string(error.what()) + "\nTry 'backprop-run --help'.");
  }
  if (options.help) {
    std::cout << UsageText();
    return 0;
  }

  Workspace ws;
  ApplyDefaults(ws);
  try {
    ReadFileSet(ws, options.base);
  } catch (const FileSetError& error) {
    return Fail(error.what());
  }

  if (!options.loadWeightsFile.empty()) {
    if (const auto message = ReadWeightsFileOrMessage(ws, options.loadWeightsFile)) {
      return Fail(*message);
    }
  }

  std::unique_ptr<Picture> picture;
  if (!options.pngFile.empty()) {
    picture = std::make_unique<Picture>(argc, argv);
    // The window shows the net before any run, and a run that only steps
    // writes its values over it in the net's coordinates: so does the
    // picture. Not a text of the run, so it is not printed.
    DrawNet(ws, picture->Surface());
  }

  InstallInterruptHandler();
  TextCanvas text(std::cout);
  bool ranToEnd = false;
  if (picture) {
    TeeCanvas both(text, picture->Surface());
    HeadlessHost host(ws, both, std::cerr, &interruptRequest);
    ranToEnd = RunNetworkProgram(ws, options.program, host);
  } else {
    HeadlessHost host(ws, text, std::cerr, &interruptRequest);
    ranToEnd = RunNetworkProgram(ws, options.program, host);
  }
  text.Flush();
  std::cout.flush();

  if (picture) {
    std::string error;
    if (!picture->Save(options.pngFile, error)) {
      return Fail("cannot write " + options.pngFile + ": " + error);
    }
  }
  if (!ranToEnd) return kExitRunError;
  if (!options.saveWeightsFile.empty()) {
    if (const auto message = WriteWeightsFileOrMessage(ws, options.saveWeightsFile)) {
      return Fail(*message);
    }
  }
  return 0;
}
