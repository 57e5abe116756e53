// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's canvas that holds drawing back during training: what
// reaches the real surface must look exactly as if every call had gone
// straight through, with far fewer calls.
#include <QtTest>

#include <map>
#include <string>
#include <utility>

#include "engine/draw_net.h"
#include "engine/workspace.h"
#include "tests/support/qt_test_main.h"
#include "tests/support/recording_canvas.h"
#include "ui/main/deferred_canvas.h"

using namespace backprop;
using backprop::testing::RecordingCanvas;

namespace {

// Counts the calls that reach it, on top of recording the drawing.
class CountingCanvas : public RecordingCanvas {
 public:
  int calls = 0;
  void SetScale(double, double, double, double) override { ++calls; }
  void Clear() override {
    ++calls;
    RecordingCanvas::Clear();
  }
  void MoveTo(double x, double y) override {
    ++calls;
    RecordingCanvas::MoveTo(x, y);
  }
  void Print(std::string_view text) override {
    ++calls;
    RecordingCanvas::Print(text);
  }
  void SetLineWidth(int pixels) override {
    ++calls;
    RecordingCanvas::SetLineWidth(pixels);
  }
  void Line(double x1, double y1, double x2, double y2, std::optional<Rgb> colour) override {
    ++calls;
    RecordingCanvas::Line(x1, y1, x2, y2, colour);
  }
};

Workspace TrainedNet() {
  Workspace ws;
  ApplyDefaults(ws);
  ws.LayerCount = 3;
  ws.LayerSizes(3) = 1;
  ws.BiasFlags(1) = 1;
  ws.Weights(0, 1, 1) = -0.3;
  ws.Weights(1, 2, 1) = 1.2;
  ws.Weights(2, 1, 2) = -2.0;
  return ws;
}

// What training draws over three redraws: the net, then a report per cycle.
void TrainingDrawing(Canvas& canvas, Workspace& ws) {
  for (int redraw = 0; redraw < 3; ++redraw) {
    DrawNet(ws, canvas);
    for (int cycle = 1; cycle <= 3; ++cycle) {
      canvas.MoveTo(5, 1);
      canvas.Print("Trial=");
      canvas.Print(std::to_string(cycle + 10 * redraw));
      canvas.MoveTo(6.5, 1);
      canvas.Print("Error= .25");
    }
    ws.Weights(1, 1, 1) = 0.5 * (redraw + 1);
  }
  canvas.SetLineWidth(3);
}

// The last text written at each place.
std::map<std::pair<double, double>, std::string> VisibleTexts(const RecordingCanvas& canvas) {
  std::map<std::pair<double, double>, std::string> texts;
  for (const auto& t : canvas.texts) texts[{t.x, t.y}] = t.text;
  return texts;
}

void CompareDrawings(const RecordingCanvas& a, const RecordingCanvas& b) {
  QCOMPARE(a.lines.size(), b.lines.size());
  for (std::size_t i = 0; i < a.lines.size(); ++i) {
    const auto& l = a.lines[i];
    const auto& m = b.lines[i];
    QVERIFY(l.x1 == m.x1 && l.y1 == m.y1 && l.x2 == m.x2 && l.y2 == m.y2);
    QVERIFY(l.colour == m.colour && l.width == m.width && l.style == m.style);
  }
  QCOMPARE(a.circles.size(), b.circles.size());
  // A text written again at the same place covers the earlier one, which
  // need not reach the surface: the texts left in view are the same.
  QCOMPARE(VisibleTexts(a), VisibleTexts(b));
  QCOMPARE(a.width, b.width);
  QCOMPARE(a.style, b.style);
}

}  // namespace

class DeferredCanvasTest : public QObject {
  Q_OBJECT

 private slots:
  void heldDrawingLooksTheSameWithOneClear();
  void withoutHoldingBackCallsGoStraightThroughAfterTheHeldOnes();
  void asksForAFlushOncePerBatch();
};

void DeferredCanvasTest::heldDrawingLooksTheSameWithOneClear() {
  Workspace direct = TrainedNet();
  CountingCanvas straight;
  TrainingDrawing(straight, direct);

  Workspace held = TrainedNet();
  CountingCanvas target;
  DeferredCanvas deferred(target, [] { return true; }, {});
  TrainingDrawing(deferred, held);
  QCOMPARE(target.calls, 0);
  deferred.Flush();

  CompareDrawings(target, straight);
  QCOMPARE(target.clears, 1);
  QVERIFY(target.calls * 2 < straight.calls);
}

void DeferredCanvasTest::withoutHoldingBackCallsGoStraightThroughAfterTheHeldOnes() {
  bool holding = true;
  RecordingCanvas target;
  DeferredCanvas deferred(target, [&holding] { return holding; }, {});
  deferred.MoveTo(1, 2);
  deferred.Print("held");
  QVERIFY(target.texts.empty());

  holding = false;
  deferred.Print(" then direct");
  QCOMPARE(target.TextLog(), std::string("held then direct"));
  QCOMPARE(target.texts.front().x, 1.0);
  deferred.Line(0, 0, 1, 1, kRed);
  QCOMPARE(target.lines.size(), std::size_t{1});
  deferred.Flush();
  QCOMPARE(target.lines.size(), std::size_t{1});
}

void DeferredCanvasTest::asksForAFlushOncePerBatch() {
  int asked = 0;
  RecordingCanvas target;
  DeferredCanvas deferred(
      target, [] { return true; }, [&asked] { ++asked; });
  Workspace ws = TrainedNet();
  DrawNet(ws, deferred);
  DrawNet(ws, deferred);
  QCOMPARE(asked, 1);
  deferred.Flush();
  deferred.Circle(1, 1, 0.1);
  QCOMPARE(asked, 2);
}

BACKPROP_QT_TEST(DeferredCanvasTest);
#include "test_deferred_canvas.moc"
