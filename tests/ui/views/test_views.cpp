// SPDX-License-Identifier: GPL-3.0-or-later
// The View menu's docks through the real main window: the drawing beside
// them, the error curve, the decision map, the weight inspector,
// back-propagation by hand, the fitted drawing and the neurode maps.
#include <QtTest>

#include <QComboBox>
#include <QDockWidget>

#include "engine/forward_pass.h"
#include "engine/interpreter.h"
#include "engine/net_evaluation.h"
#include "engine/net_layout.h"
#include "engine/neurode_maps.h"
#include "engine/workspace.h"
#include "tests/support/hostile_numbers.h"
#include "tests/support/nets.h"
#include "tests/support/qt_test_main.h"
#include "tests/support/recording_canvas.h"
#include "tests/support/same_numbers.h"
#include "tests/ui/main/main_window_fixture.h"
#include "ui/views/arithmetic_view.h"
#include "ui/views/decision_map_view.h"
#include "ui/views/error_curve_view.h"
#include "ui/views/view_docks.h"

using namespace backprop;
using backprop::testing::InkAround;
using backprop::testing::MainWindowFixture;
using backprop::testing::SameCells;
using backprop::testing::SameNumbers;

namespace {

void Prepare(Workspace& ws, const std::string& program) {
  ws.AboutShown = 1;
  ws.TextBuffer(BufferId::TrainingDataD1) = testing::kExclusiveOrSet;
  ws.TextBuffer(BufferId::ProgramS1) = std::string(testing::kExclusiveOrNet) + program;
}

void Open(MainWindowFixture& f, const char* action) {
  if (!f.Action(action)->isChecked()) f.Action(action)->trigger();
}

// The grid point of a map at inputs of the input square's corners: input 1
// grows along a row, row 0 holds input 2's high end.
QPoint Corner(double input1, double input2, int n) {
  return {input1 < 0 ? 0 : n - 1, input2 < 0 ? n - 1 : 0};
}

QRgb Colour(double value, double low, double high) {
  const MapColour c = ColourOfOutput(value, low, high);
  return qRgb(c.red, c.green, c.blue);
}

// The bounding box, in device pixels, of the pixels that are clearly red.
QRect RedPixels(const QImage& image) {
  QRect box;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() > 200 && c.green() < 80 && c.blue() < 80) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

}  // namespace

class ViewsTest : public QObject {
  Q_OBJECT

 private slots:
  void designerPressesLandBesideOpenDocks();
  void curveKeepsEveryCycleAndTheRunBefore();
  void mapShowsTheSteppedOutputsAndChangesNothing();
  void doubleClickSetsExactlyThatWeight();
  void viewsOpenAndCloseWhileBusy();
  void applyTrainsThePatternAsOnePatternTrainingWould();
  void oneCycleReportsOnceAndBothWaitWhileBusy();
  void fittedNetIsLargerAndItsConnectionsStillAnswer();
  void hiddenNeurodeMapsShowTheArithmeticOutputs();
};

void ViewsTest::designerPressesLandBesideOpenDocks() {
  MainWindowFixture f;
  f.ws.AboutShown = 1;
  Open(f, "ViewErrorCurve");
  Open(f, "ViewDecisionMap");
  Open(f, "ViewArithmetic");
  f.Action("ne")->trigger();
  QTRY_VERIFY(f.window.Views().ArithmeticDock()->isVisible());
  QVERIFY(f.View().width() < f.window.width());
  f.ClickAt(4, 4);
  QCOMPARE(f.ws.LayerCount.Value(), 4.0);
  QCOMPARE(f.ws.LayerSizes(4).Value(), 4.0);
}

void ViewsTest::curveKeepsEveryCycleAndTheRunBefore() {
  MainWindowFixture f;
  Prepare(f.ws, "ERRTEST=0\r\nTRAINMAX=6\r\nTRAIN=1\r\nEPSILON=.2\r\nTRAINMAX=9\r\nTRAIN=1\r\n");
  f.Action("TN")->trigger();
  const ErrorCurveView& curve = f.window.Views().Curve();
  QCOMPARE(curve.Previous().Points().size(), std::size_t(5));
  QCOMPARE(curve.Current().Points().size(), std::size_t(8));
  for (std::size_t n = 0; n < 8; ++n) QCOMPARE(curve.Current().Points()[n].trial, double(n + 1));
  QVERIFY(curve.Caption().startsWith("Trial= 8    Error= ."));
  const std::string csv = curve.Csv();
  QCOMPARE(std::count(csv.begin(), csv.end(), '\n'), 1 + 5 + 8);
}

void ViewsTest::mapShowsTheSteppedOutputsAndChangesNothing() {
  MainWindowFixture f;
  Prepare(f.ws, "TRAIN=1\r\n");
  f.Action("TN")->trigger();
  Open(f, "ViewDecisionMap");
  DecisionMapView& map = f.window.Views().Map();
  const Workspace before = f.ws;
  map.Refresh();
  QVERIFY(SameNumbers(f.ws, before));
  const int n = kDecisionMapPoints;
  QCOMPARE(map.Field().size(), QSize(n, n));
  for (int p = 1; p <= 4; ++p) {
    f.Action("SWP")->trigger();
    const double stepped = OutputToUserRange(f.ws, f.ws.NodeValues(1, 3));
    const QPoint at = Corner(f.ws.RawInputs(1, p), f.ws.RawInputs(2, p), n);
    QCOMPARE(map.Field().pixel(at), Colour(stepped, f.ws.OutputRangeLow, f.ws.OutputRangeHigh));
  }
}

void ViewsTest::doubleClickSetsExactlyThatWeight() {
  MainWindowFixture f;
  Prepare(f.ws, "");
  f.Action("TN")->trigger();
  const Workspace before = f.ws;
  f.dialogs.answers.push_back("-.25x");
  // Only the connection from neurode 1 of layer 1 to neurode 1 of layer 2
  // passes near (1.25, 1).
  QTest::mouseDClick(&f.View(), Qt::LeftButton, {}, f.PixelAt(1.25, 1));
  QCOMPARE(f.dialogs.prompts.size(), 1);
  QCOMPARE(f.ws.Weights(1, 1, 1), -0.25);
  f.ws.Weights(1, 1, 1) = before.Weights(1, 1, 1);
  QVERIFY(SameCells(f.ws.Weights, before.Weights));
  // Cancel keeps the weight.
  QTest::mouseDClick(&f.View(), Qt::LeftButton, {}, f.PixelAt(1.25, 1));
  QCOMPARE(f.ws.Weights(1, 1, 1), before.Weights(1, 1, 1));
  // A number too large is refused with a warning; anything else is read.
  for (const testing::HostileAnswer& answer : testing::HostileAnswers()) {
    f.ws.Weights(1, 1, 1) = 7;
    f.dialogs.warnings.clear();
    f.dialogs.answers = {QString::fromUtf8(answer.text.data(), answer.text.size())};
    QTest::mouseDClick(&f.View(), Qt::LeftButton, {}, f.PixelAt(1.25, 1));
    QCOMPARE(f.ws.Weights(1, 1, 1), answer.stored.value_or(7));
    QCOMPARE(f.dialogs.warnings.size(), answer.stored ? 0 : 1);
  }
}

void ViewsTest::viewsOpenAndCloseWhileBusy() {
  MainWindowFixture f;
  Prepare(f.ws, "ERRTEST=0\r\nTRAINMAX=100000000\r\nTRAIN=1\r\n");
  int checks = 0;
  QTimer during;
  QObject::connect(&during, &QTimer::timeout, [&] {
    if (f.ws.Busy != 1) return;
    ++checks;
    f.Action("ViewErrorCurve")->trigger();
    f.Action("ViewDecisionMap")->trigger();
    if (checks == 4) f.ws.InterruptKey = 27;
  });
  during.start(1);
  f.Action("TN")->trigger();
  during.stop();
  QVERIFY(checks >= 4);
  // Opened and closed twice each: closed again, and the curve went on.
  QVERIFY(!f.window.Views().CurveDock()->isVisible());
  QVERIFY(f.window.Views().Curve().Current().Points().size() > 1);
}

void ViewsTest::applyTrainsThePatternAsOnePatternTrainingWould() {
  MainWindowFixture f;
  Prepare(f.ws, "");
  f.Action("TN")->trigger();
  Workspace reference = f.ws;
  Open(f, "ViewArithmetic");
  ArithmeticView& arithmetic = f.window.Views().Arithmetic();
  arithmetic.Choose(1, 1);
  const double shownNewWeight = arithmetic.Shown().newWeight[1][1][1];
  arithmetic.Apply();
  QCOMPARE(arithmetic.Pattern(), 2);
  QCOMPARE(f.ws.HandPatterns.Value(), 1.0);
  QCOMPARE(f.ws.Weights(1, 1, 1), shownNewWeight);
  f.Action("SWP")->trigger();

  // The same pattern trained by a TRAIN line on a set of that pattern alone.
  testing::ScriptedHost host;
  reference.TextBuffer(BufferId::TrainingDataD1) = "1\r\n-1,-1,-1\r\n";
  reference.TextBuffer(BufferId::ProgramS1) = "TRAINMAX=2\r\nTRAIN=1\r\n";
  reference.RunMode = kRunProgramS1;
  RunProgram(reference, host);
  QVERIFY(SameCells(f.ws.Weights, reference.Weights));
  reference.TextBuffer(BufferId::TrainingDataD1) = testing::kExclusiveOrSet;
  reference.RunMode = kStepTraining;
  reference.StepPosition = 1;
  RunProgram(reference, host);
  QVERIFY(SameCells(f.ws.NodeValues, reference.NodeValues));
}

void ViewsTest::oneCycleReportsOnceAndBothWaitWhileBusy() {
  MainWindowFixture f;
  Prepare(f.ws, "");
  f.Action("TN")->trigger();
  Open(f, "ViewArithmetic");
  ArithmeticView& arithmetic = f.window.Views().Arithmetic();
  const ErrorCurveView& curve = f.window.Views().Curve();

  const Workspace before = f.ws;
  f.ws.Busy = 1;
  arithmetic.Apply();
  arithmetic.OneCycle();
  QVERIFY(SameCells(f.ws.Weights, before.Weights));
  QCOMPARE(f.ws.HandCycles.Value(), 0.0);
  f.ws.Busy = 0;

  arithmetic.OneCycle();
  QCOMPARE(f.ws.HandCycles.Value(), 1.0);
  QCOMPARE(f.ws.Busy.Value(), 0.0);
  QVERIFY(!SameCells(f.ws.Weights, before.Weights));
  QCOMPARE(curve.Current().Points().size(), std::size_t(1));
  QVERIFY(curve.Caption().startsWith("Trial= 1    Error="));
  f.window.FlushDrawing();
  QVERIFY(InkAround(f.View().Canvas().Image(), f.View().Canvas().Scale(), 5.0, 1.0, 3.0, 0.3) > 0);
  arithmetic.OneCycle();
  QCOMPARE(curve.Current().Points().size(), std::size_t(2));
}

void ViewsTest::fittedNetIsLargerAndItsConnectionsStillAnswer() {
  MainWindowFixture f;
  Prepare(f.ws, "");
  f.Action("TN")->trigger();
  // One red connection, from neurode 1 of layer 1 to neurode 2 of layer 2.
  for (int h = 1; h <= 2; ++h) {
    for (int i = 0; i <= 2; ++i) {
      for (int j = 1; j <= 2; ++j) f.ws.Weights(i, j, h) = 0.5;
    }
  }
  f.ws.Weights(1, 2, 1) = -0.5;
  f.window.Form_GotFocus();
  f.window.FlushDrawing();
  const QRect plain = RedPixels(f.View().Canvas().Image());

  Open(f, "ViewFitNet");
  f.window.FlushDrawing();
  const QImage& fitted = f.View().Canvas().Image();
  const QRect red = RedPixels(fitted);
  QVERIFY2(red.width() > 2 * plain.width(), "a 2-2-1 net is drawn at least twice as large");
  // A double click at the middle of the line as drawn asks for its weight.
  const QPointF middle = QRectF(red).center() / fitted.devicePixelRatio();
  QTest::mouseDClick(&f.View(), Qt::LeftButton, {}, middle.toPoint());
  QCOMPARE(f.dialogs.prompts.size(), 1);
  QVERIFY2(f.dialogs.prompts[0].contains("layer 1, neurode 1 -> layer 2, neurode 2"),
           qPrintable(f.dialogs.prompts[0]));

  // The designer presses on the whole grid again.
  f.Action("ne")->trigger();
  QCOMPARE(f.View().Canvas().Scale(),
           (UserScale{kNetScaleLeft, kNetScaleTop, kNetScaleRight, kNetScaleBottom}));
}

void ViewsTest::hiddenNeurodeMapsShowTheArithmeticOutputs() {
  MainWindowFixture f;
  Prepare(f.ws, "");
  f.Action("TN")->trigger();
  Open(f, "ViewArithmetic");
  Open(f, "ViewDecisionMap");
  Open(f, "ViewNeurodeMaps");
  f.window.FlushDrawing();
  ArithmeticView& arithmetic = f.window.Views().Arithmetic();
  DecisionMapView& map = f.window.Views().Map();
  const NeurodeMaps drawn = EvaluateNeurodeMaps(f.ws, kNeurodeMapPoints);
  for (int p = 1; p <= 4; ++p) {
    arithmetic.Choose(1, p);
    const PatternArithmetic& shown = arithmetic.Shown();
    for (int j = 1; j <= 2; ++j) {
      const double expected = shown.output[2][j];
      const QPoint at = Corner(shown.rawInputs[1], shown.rawInputs[2], kNeurodeMapPoints);
      QCOMPARE(drawn.values[2][j][static_cast<std::size_t>(at.y() * kNeurodeMapPoints + at.x())],
               expected);
      // Chosen as a user chooses it.
      auto* selector = map.findChild<QComboBox*>("DecisionMapNeurode");
      const int index = selector->findText(QString("layer 2, neurode %1").arg(j));
      QVERIFY(index >= 0);
      selector->setCurrentIndex(index);
      emit selector->activated(index);
      QCOMPARE(
          map.Field().pixel(Corner(shown.rawInputs[1], shown.rawInputs[2], kDecisionMapPoints)),
          Colour(expected, -1, 1));
    }
  }
  // The drawing shows the maps: both ends of the colours appear.
  const QImage& image = f.View().Canvas().Image();
  int red = 0;
  int blue = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      red += c.red() > 200 && c.green() < 120 && c.blue() < 120;
      blue += c.blue() > 200 && c.red() < 120 && c.green() < 120;
    }
  }
  QVERIFY(red > 50 && blue > 50);
}

BACKPROP_QT_TEST(ViewsTest);
#include "test_views.moc"
