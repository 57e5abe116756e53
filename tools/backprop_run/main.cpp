// SPDX-License-Identifier: GPL-3.0-or-later
// backprop-run: runs a network program of a file set without the window and
// prints what the run writes on the main window. See UsageText().

#include <QSize>

#include <algorithm>
#include <csignal>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/draw_net.h"
#include "engine/engine_error.h"
#include "engine/error_curve.h"
#include "engine/forwarding_canvas.h"
#include "engine/net_evaluation.h"
#include "engine/neurode_maps.h"
#include "engine/pattern_arithmetic.h"
#include "engine/visible_text.h"
#include "engine/workspace.h"
#include "files/file_error.h"
#include "files/file_set.h"
#include "files/weights_file.h"
#include "tools/backprop_run/explain_text.h"
#include "tools/backprop_run/headless_run.h"
#include "tools/backprop_run/picture.h"
#include "tools/backprop_run/run_check.h"
#include "tools/backprop_run/run_options.h"
#include "tools/backprop_run/run_outputs.h"
#include "tools/backprop_run/run_summary.h"
#include "tools/backprop_run/text_canvas.h"
#include "ui/canvas/map_image.h"

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

void Report(const std::string& message) { std::cerr << "backprop-run: " << message << '\n'; }

// Where the messages of one set's run go: as they are, or, in a summary of
// several sets, each line after the set's name.
class SetMessages {
 public:
  SetMessages(const std::string& base, bool named)
      : prefix_(named ? backprop::VisibleText(base) + ": " : "") {}
  void Report(const std::string& message) const { ::Report(prefix_ + message); }
  // The run's warnings (a run error's three lines).
  std::ostream& Warnings() { return prefix_.empty() ? std::cerr : warnings_; }
  void FlushWarnings() {
    std::istringstream lines(warnings_.str());
    for (std::string line; std::getline(lines, line);) std::cerr << prefix_ << line << '\n';
    warnings_.str({});
  }

 private:
  std::string prefix_;
  std::ostringstream warnings_;
};

int Fail(const std::string& message) {
  Report(message);
  return kExitUsageOrFileError;
}

// Reads the texts of the set that exist; none at all is an error.
std::optional<std::string> ReadTexts(backprop::Workspace& ws, const std::string& base) {
  using namespace backprop;
  ws.FileNames = FileSetNames(base);
  const RowChoice rows = ExistingTextRows(ws);
  if (rows == RowChoice{}) {
    return "no file of the set " + VisibleText(base) + " exists (" + VisibleText(base) +
           ".pr1, .pr2, .ds1, .ds2 or .qs1)";
  }
  try {
    LoadFileSet(ws, rows);
  } catch (const FileError& error) {
    return FileErrorMessage(kLoadFailedText, error);
  }
  return std::nullopt;
}

// The files the run writes, by the options that name them.
std::vector<backprop::NamedFile> OutputFiles(const backprop::RunOptions& options) {
  std::vector<backprop::NamedFile> files;
  for (const auto& [by, file] : {std::pair{"--png", &options.pngFile},
                                 {"--save-weights", &options.saveWeightsFile},
                                 {"--curve", &options.curveFile},
                                 {"--map", &options.mapFile}}) {
    if (!file->empty()) files.push_back({by, *file});
  }
  return files;
}

// The files the run has read: the set's texts that are there and the
// weights file.
std::vector<backprop::NamedFile> InputFiles(const backprop::Workspace& ws,
                                            const backprop::RunOptions& options) {
  using namespace backprop;
  std::vector<NamedFile> files;
  const RowChoice rows = ExistingTextRows(ws);
  for (int row = 0; row < kFileSetRows - 1; ++row) {
    if (rows[row]) files.push_back({"the set's", ws.FileNames[row]});
  }
  if (!options.loadWeightsFile.empty()) {
    files.push_back({"--load-weights", options.loadWeightsFile});
  }
  return files;
}

// The layer --map shows: the one asked for, or the output layer.
int MapLayer(const backprop::RunOptions& options, const backprop::NetGeometry& geometry) {
  return options.mapLayer == 0 ? geometry.OutputLayer() : options.mapLayer;
}

// Why --map cannot draw the final net (a net without two inputs, or without
// the neurode asked for), if it cannot.
std::optional<std::string> MapUsageError(const backprop::Workspace& ws,
                                         const backprop::RunOptions& options) {
  try {
    const backprop::NetEvaluator net(ws);
    if (net.Inputs() != 2 || net.Outputs() < 1) {
      return "--map needs a net of two inputs and an output; the final net has " +
             std::to_string(net.Inputs()) + " input(s) and " + std::to_string(net.Outputs()) +
             " output(s)";
    }
    const backprop::NetGeometry geometry = backprop::ValidatedGeometry(ws);
    const int layer = MapLayer(options, geometry);
    if (layer > geometry.layerCount || options.mapNeurode > geometry.Size(layer)) {
      return "--map-neurode " + std::to_string(layer) + ":" + std::to_string(options.mapNeurode) +
             ": the final net has no neurode " + std::to_string(options.mapNeurode) + " in layer " +
             std::to_string(layer) + " (it has " + std::to_string(geometry.layerCount) + " layers)";
    }
    return std::nullopt;
  } catch (const backprop::EngineError& error) {
    return std::string("--map: the final net cannot be evaluated: ") + error.what();
  }
}

// Why --neurode-maps could not draw the final net's maps, if it could not.
std::optional<std::string> NeurodeMapsUsageError(const backprop::Workspace& ws) {
  try {
    const backprop::NetEvaluator net(ws);
    if (net.Inputs() == 2) return std::nullopt;
    return "--neurode-maps needs a net of two inputs; the final net has " +
           std::to_string(net.Inputs()) + " input(s)";
  } catch (const backprop::EngineError& error) {
    return std::string("--neurode-maps: the final net cannot be evaluated: ") + error.what();
  }
}

// An output neurode in the user's output units, as stepping shows it; a
// hidden neurode's own output over -1..1.
std::string MapPng(const backprop::Workspace& ws, const backprop::RunOptions& options) {
  using namespace backprop;
  const NetGeometry geometry = ValidatedGeometry(ws);
  const int layer = MapLayer(options, geometry);
  const bool output = layer == geometry.OutputLayer();
  const int n = kDecisionMapPoints;
  const QImage image = output ? MapImage(OutputGrid(ws, options.mapNeurode, n), n,
                                         ws.OutputRangeLow, ws.OutputRangeHigh)
                              : MapImage(NeurodeGrid(ws, layer, options.mapNeurode, n), n,
                                         kNeurodeOutputLow, kNeurodeOutputHigh);
  return Picture::PngBytes(image);
}


// Measures the test set after the run; prints its lines unless quiet. False
// when it cannot be measured (said as a usage error).
bool MeasureTest(const backprop::Workspace& ws, int set, bool quiet, const SetMessages& messages,
                 backprop::RunSummary& summary) {
  using namespace backprop;
  const std::string option = "--test " + std::to_string(set) + ": ";
  try {
    const TestError test = MeasureTestError(ws, set);
    if (test.patterns == 0) {
      messages.Report(option + "the set holds no pattern");
      return false;
    }
    summary.test = test;
    if (!quiet) std::cout << TestLines(test, ws.OutputMode == kDigitalOutput);
    return true;
  } catch (const EngineError& error) {
    messages.Report(option + error.what());
    return false;
  }
}

// Reads, runs and writes the outputs of one set; returns its exit status.
// In a summary the run's own text is not printed.
int RunSet(const backprop::RunOptions& options, const std::string& base, int argc, char** argv,
           SetMessages& messages, backprop::RunSummary& summary) {
  using namespace backprop;
  const bool quiet = options.summary;
  Workspace ws;
  ApplyDefaults(ws);
  if (const auto message = ReadTexts(ws, base)) {
    messages.Report(*message);
    return kExitUsageOrFileError;
  }
  if (!options.loadWeightsFile.empty()) {
    if (const auto message = ReadWeightsFileOrMessage(ws, options.loadWeightsFile)) {
      messages.Report(*message);
      return kExitUsageOrFileError;
    }
  }
  if (!options.check) {
    if (const auto clash = OutputClash(OutputFiles(options), InputFiles(ws, options))) {
      messages.Report(*clash);
      return kExitUsageOrFileError;
    }
  }

  // The checks read the texts as this run will; they change nothing.
  const std::vector<std::string> warnings = RunWarnings(ws, options.program);
  if (options.check) {
    for (const std::string& warning : warnings) std::cout << warning << '\n';
    return warnings.empty() ? 0 : kExitWarnings;
  }
  for (const std::string& warning : warnings) std::cerr << warning << '\n';
  std::cerr.flush();

  std::unique_ptr<Picture> picture;
  if (!options.pngFile.empty() || !options.mapFile.empty()) {
    picture = std::make_unique<Picture>(argc, argv, QSize(options.pngWidth, options.pngHeight));
    // The window shows the net before any run, and a run that only steps
    // writes its values over it in the net's coordinates: so does the
    // picture. Not a text of the run, so it is not printed.
    DrawNet(ws, picture->Surface());
    if (options.neurodeMaps) DrawNeurodeMaps(ws, picture->Surface());
  }

  std::ostream nowhere(nullptr);
  TextCanvas text(quiet ? nowhere : std::cout);
  std::optional<ForwardingCanvas> both;
  if (!options.pngFile.empty()) both.emplace(std::vector<Canvas*>{&text, &picture->Surface()});
  HeadlessHost host(ws, both ? static_cast<Canvas&>(*both) : text, messages.Warnings(),
                    &interruptRequest);
  if (!options.curveFile.empty()) host.RecordCurves();
  if (options.neurodeMaps) host.DrawNeurodeMaps();
  if (options.testSet != 0) host.RecordTestCurves(options.testSet);
  const bool ranToEnd = RunNetworkProgram(ws, options.program, host);
  text.Flush();
  messages.FlushWarnings();
  summary.trains = host.Trains();
  summary.last = host.LastCycle();

  bool usageFailed = false;
  if (options.testSet != 0 && !MeasureTest(ws, options.testSet, quiet, messages, summary)) {
    usageFailed = true;
  }
  // The arithmetic of one pattern, after the run's own output.
  if (options.explainSet != 0) {
    try {
      std::cout << ExplainText(ExplainPattern(ws, options.explainSet, options.explainPattern));
    } catch (const EngineError& error) {
      messages.Report("--explain " + std::to_string(options.explainSet) + ":" +
                      std::to_string(options.explainPattern) + ": " + error.what());
      usageFailed = true;
    }
  }

  // Every output is written on its own; the weights only after a run that
  // ended without a run error.
  std::vector<RunOutput> outputs;
  if (!options.pngFile.empty()) {
    if (options.fit) picture->FitToDrawing();
    if (options.neurodeMaps) {
      if (const auto message = NeurodeMapsUsageError(ws)) {
        messages.Report(*message);
        usageFailed = true;
      }
    }
    outputs.push_back({options.pngFile, [&picture] { return picture->PngBytes(); }});
  }
  if (!options.curveFile.empty()) {
    outputs.push_back({options.curveFile, [&host, &options] {
                         const auto pointers = [](const std::vector<ErrorCurve>& list) {
                           std::vector<const ErrorCurve*> curves(list.size());
                           std::transform(list.begin(), list.end(), curves.begin(),
                                          [](const ErrorCurve& curve) { return &curve; });
                           return curves;
                         };
                         if (options.testSet == 0) return CurvesCsv(pointers(host.Curves()));
                         return CurvesCsv(pointers(host.Curves()), pointers(host.TestCurves()));
                       }});
  }
  if (!options.mapFile.empty()) {
    if (const auto message = MapUsageError(ws, options)) {
      messages.Report(*message);
      usageFailed = true;
    } else {
      outputs.push_back({options.mapFile, [&ws, &options] { return MapPng(ws, options); }});
    }
  }
  if (ranToEnd && !options.saveWeightsFile.empty()) {
    outputs.push_back({options.saveWeightsFile, [&ws] { return WeightsFileText(ws); }});
  }
  const std::vector<std::string> failures = WriteRunOutputs(outputs);
  for (const std::string& failure : failures) messages.Report(failure);

  if (!ranToEnd) return kExitRunError;
  return failures.empty() && !usageFailed ? 0 : kExitUsageOrFileError;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace backprop;
  // A closed pipe on standard output is a failed write, reported at the end,
  // not a death that would lose the outputs still to be written.
  std::signal(SIGPIPE, SIG_IGN);

  RunOptions options;
  try {
    options = ParseRunOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const UsageError& error) {
    return Fail(VisibleText(error.what()) + "\nTry 'backprop-run --help'.");
  }
  if (options.help) {
    std::cout << UsageText() << std::flush;
    return std::cout ? 0 : Fail("cannot write standard output");
  }

  InstallInterruptHandler();
  // A summary ends with the highest status of its sets.
  int status = 0;
  if (options.summary) std::cout << SummaryHeader();
  for (const std::string& base : options.bases) {
    SetMessages messages(base, options.summary && options.bases.size() > 1);
    RunSummary summary;
    summary.base = base;
    summary.exit = RunSet(options, base, argc, argv, messages, summary);
    status = std::max(status, summary.exit);
    if (options.summary) std::cout << SummaryLine(summary) << std::flush;
  }

  std::cout.flush();
  const bool printed = static_cast<bool>(std::cout);
  if (!printed) Report("cannot write standard output (a closed pipe or a full disk)");
  if (status == kExitRunError) return status;
  return printed ? status : kExitUsageOrFileError;
}
