// The View menu's docks through the real main window: the drawing beside
// them, the error curve, the decision map, the weight inspector and
// back-propagation by hand.
#include <QtTest>

#include <QDockWidget>

#include "engine/forward_pass.h"
#include "engine/interpreter.h"
#include "engine/workspace.h"
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
  QCOMPARE(map.Field().size(), QSize(100, 100));
  for (int p = 1; p <= 4; ++p) {
    f.Action("SWP")->trigger();
    const double stepped = OutputToUserRange(f.ws, f.ws.NodeValues(1, 3));
    QCOMPARE(map.ValueAt(f.ws.RawInputs(1, p), f.ws.RawInputs(2, p)), stepped);
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

BACKPROP_QT_TEST(ViewsTest);
#include "test_views.moc"
