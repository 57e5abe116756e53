// SPDX-License-Identifier: GPL-3.0-or-later
// The Training dock through the real main window: a pause holds the net
// while events run and a click or key still ends the run, the steps train
// exactly one cycle or one pattern, and full speed and slow motion train
// as with the dock closed.
#include <QtTest>

#include <QDockWidget>
#include <QMenuBar>

#include <memory>

#include "engine/workspace.h"
#include "tests/support/nets.h"
#include "tests/support/qt_test_main.h"
#include "tests/support/same_numbers.h"
#include "tests/ui/main/main_window_fixture.h"
#include "ui/main/training_pace.h"
#include "ui/views/arithmetic_view.h"
#include "ui/views/error_curve_view.h"
#include "ui/views/training_controls.h"
#include "ui/views/view_docks.h"

using namespace backprop;
using backprop::testing::DuringTraining;
using backprop::testing::MainWindowFixture;
using backprop::testing::SameCells;

namespace {

void Prepare(MainWindowFixture& f, const std::string& program) {
  f.ws.AboutShown = 1;
  f.ws.TextBuffer(BufferId::TrainingDataD1) = testing::kExclusiveOrSet;
  f.ws.TextBuffer(BufferId::ProgramS1) = std::string(testing::kExclusiveOrNet) + program;
}

void OpenTraining(MainWindowFixture& f) {
  f.Action("ViewTraining")->trigger();
  QTRY_VERIFY(f.window.Views().TrainingDock()->isVisible());
}

bool Held(MainWindowFixture& f) { return f.window.Views().Training().State().endsWith("paused"); }

}  // namespace

class WatchingTrainingTest : public QObject {
  Q_OBJECT

 private slots:
  void pauseHoldsTheNetUntilAClickOrKeyEndsTheRun_data();
  void pauseHoldsTheNetUntilAClickOrKeyEndsTheRun();
  void stepsTrainOnePatternOrOneCycleAndClosingTheDockGoesOn();
  void fullSpeedAndSlowMotionTrainAsWithTheDockClosed();
  void closingTheWindowWithEveryViewOpenEndsTheRun_data();
  void closingTheWindowWithEveryViewOpenEndsTheRun();
};

void WatchingTrainingTest::pauseHoldsTheNetUntilAClickOrKeyEndsTheRun_data() {
  QTest::addColumn<bool>("click");
  QTest::newRow("click") << true;
  QTest::newRow("key") << false;
}

void WatchingTrainingTest::pauseHoldsTheNetUntilAClickOrKeyEndsTheRun() {
  QFETCH(bool, click);
  MainWindowFixture f;
  Prepare(f, "ERRTEST=0\r\nTRAINMAX=100000000\r\nTRAIN=1\r\nSHOW=33\r\n");
  OpenTraining(f);
  f.Action("ViewArithmetic")->trigger();
  f.window.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&f.window));
  Workspace paused;
  int holds = 0;
  int presses = 0;
  DuringTraining check([&] {
    if (f.ws.TrialCounter < 3) return;
    if (holds == 0 && !Held(f)) {
      // The shortcuts, pressed on the drawing, are not keys that stop
      // training: a dock's, the menu bar's, the pause's.
      if (++presses > 100) f.ws.InterruptKey = 1;
      for (const Qt::Key key : {Qt::Key_F3, Qt::Key_F10, Qt::Key_Escape, Qt::Key_F5}) {
        QTest::keyClick(
            key == Qt::Key_Escape ? static_cast<QWidget*>(f.window.menuBar()) : &f.View(), key);
      }
      QCOMPARE(int(f.ws.InterruptKey), 0);
      return;
    }
    if (holds == 0) paused = f.ws;
    ++holds;
    QCOMPARE(f.ws.Busy.Value(), 1.0);
    QCOMPARE(f.ws.TrialCounter.Value(), paused.TrialCounter.Value());
    QVERIFY(SameCells(f.ws.Weights, paused.Weights));
    QCOMPARE(f.window.Views().Arithmetic().Pattern(), f.ws.TrainingPattern);
    if (holds < 5) return;
    if (click) {
      f.ClickAt(8, 8);
    } else {
      QTest::keyClick(&f.View(), Qt::Key_X);
    }
  });
  f.Action("TN")->trigger();
  QCOMPARE(holds, 5);
  // The pause went with the run.
  QCOMPARE(f.window.Views().Training().State(), QString("Not training"));
  QCOMPARE(int(f.ws.InterruptKey), click ? 27 : int('x'));
  QCOMPARE(f.ws.TrialCounter.Value(), paused.TrialCounter.Value());
  QVERIFY(SameCells(f.ws.Weights, paused.Weights));
  QVERIFY(f.ws.ShowRate != 33);  // the rest of the program is skipped
  QCOMPARE(f.ws.Busy.Value(), 0.0);
}

void WatchingTrainingTest::stepsTrainOnePatternOrOneCycleAndClosingTheDockGoesOn() {
  MainWindowFixture f;
  Prepare(f, "ERRTEST=0\r\nTRAINMAX=50\r\nTRAIN=1\r\n");
  OpenTraining(f);
  TrainingControls& controls = f.window.Views().Training();
  const ArithmeticView& arithmetic = f.window.Views().Arithmetic();
  const ErrorCurveView& curve = f.window.Views().Curve();
  controls.SetPaused(true);  // the run starts paused
  Workspace before;
  std::vector<QString> states;
  DuringTraining check([&] {
    const QString state = controls.State() + " / " + controls.Detail();
    if (!Held(f) || (!states.empty() && states.back() == state)) return;
    states.push_back(state);
    switch (states.size()) {
      case 1:
        before = f.ws;
        // A click on the dock is not a click on the drawing.
        QTest::mouseClick(f.Control<QWidget>("TrainingOnePatternButton"), Qt::LeftButton);
        QCOMPARE(int(f.ws.InterruptKey), 0);
        return;
      case 2: {
        // Exactly the weights that the arithmetic of pattern 1 lists changed.
        const PatternArithmetic& step = arithmetic.Shown();
        QCOMPARE(step.pattern, 1);
        QVERIFY(arithmetic.Note().contains("just trained"));
        const NetGeometry& g = step.geometry;
        for (int h = 1; h < g.OutputLayer(); ++h) {
          for (int i = 0; i <= g.Size(h); ++i) {
            for (int j = 1; j <= g.Size(h + 1); ++j) {
              QCOMPARE(before.Weights(i, j, h), step.weight[h][i][j]);
              QCOMPARE(f.ws.Weights(i, j, h), step.newWeight[h][i][j]);
              before.Weights(i, j, h) = f.ws.Weights(i, j, h);
            }
          }
        }
        QVERIFY(SameCells(f.ws.Weights, before.Weights));
        QVERIFY(curve.Current().Empty());
        f.Action("TrainingOneCycle")->trigger();
        return;
      }
      case 3:
      case 4:
        QCOMPARE(curve.Current().Points().size(), states.size() - 2);
        QCOMPARE(f.ws.TrialCounter.Value(), double(states.size() - 1));
        f.Action("TrainingOneCycle")->trigger();
        return;
      default:
        f.window.Views().TrainingDock()->close();
    }
  });
  f.Action("TN")->trigger();
  const std::vector<QString> expected{
      "Training: cycle 1 of 49, paused / Next: pattern 1 of 4",
      "Training: cycle 1 of 49, paused / Next: pattern 2 of 4",
      "Training: cycle 2 of 49, paused / Next: pattern 1 of 4",
      "Training: cycle 3 of 49, paused / Next: pattern 1 of 4",
      "Training: cycle 4 of 49, paused / Next: pattern 1 of 4",
  };
  QCOMPARE(states, expected);
  QCOMPARE(f.ws.TrialCounter.Value(), 50.0);  // closing the dock let it run to the limit
  QCOMPARE(curve.Current().Points().size(), std::size_t(49));
  QVERIFY(!controls.Paused());
}

void WatchingTrainingTest::fullSpeedAndSlowMotionTrainAsWithTheDockClosed() {
  // The dock closed, open at full speed, open at 3 cycles a second.
  const struct {
    bool open;
    int speedIndex;
  } cases[] = {{false, 0}, {true, TrainingControls::SpeedCount() - 1}, {true, 1}};
  std::vector<CurvePoint> reference;
  Workspace referenceWs;
  for (const auto& c : cases) {
    MainWindowFixture f;
    Prepare(f, "TRAIN=1\r\n");
    qint64 clockNs = 0;
    f.window.Pace().SetClock([&] { return clockNs; }, [&](qint64 ns) { clockNs += ns; });
    if (c.open) OpenTraining(f);
    f.window.Views().Training().SetSpeedIndex(c.speedIndex);
    f.Action("TN")->trigger();
    const std::vector<CurvePoint>& points = f.window.Views().Curve().Current().Points();
    QVERIFY(points.size() > 10);
    if (!c.open) {
      reference = points;
      referenceWs = f.ws;
      continue;
    }
    QCOMPARE(points.size(), reference.size());
    for (std::size_t n = 0; n < points.size(); ++n) {
      QCOMPARE(points[n].trial, reference[n].trial);
      QCOMPARE(points[n].error, reference[n].error);
    }
    QVERIFY(SameCells(f.ws.Weights, referenceWs.Weights));
    // Each cycle after the first waited for its third of a second.
    const int rate = f.window.Views().Training().CyclesPerSecond();
    QCOMPARE(clockNs, rate == 0 ? 0 : qint64(points.size() - 1) * (1'000'000'000 / rate));
  }
}

void WatchingTrainingTest::closingTheWindowWithEveryViewOpenEndsTheRun_data() {
  QTest::addColumn<bool>("paused");
  QTest::addColumn<int>("speedIndex");
  QTest::newRow("training") << false << TrainingControls::SpeedCount() - 1;
  QTest::newRow("slow motion") << false << 1;
  QTest::newRow("paused") << true << TrainingControls::SpeedCount() - 1;
}

// The close box while a run trains or is held, with every dock, view and
// window open: the run unwinds, the window goes, and everything is freed
// in order when the window is (the sanitizer build watches that).
void WatchingTrainingTest::closingTheWindowWithEveryViewOpenEndsTheRun() {
  QFETCH(bool, paused);
  QFETCH(int, speedIndex);
  auto f = std::make_unique<MainWindowFixture>();
  Prepare(*f, "ERRTEST=0\r\nTRAINMAX=100000000\r\nTRAIN=1\r\n");
  f->ws.LessonNote = "# A note\r\n\r\nWith ![a picture](x.png).";
  for (const char* view : {"ViewTraining", "ViewErrorCurve", "ViewDecisionMap", "ViewArithmetic",
                           "ViewLesson", "ViewFitNet", "ViewNeurodeMaps", "ViewExercises"}) {
    f->Action(view)->trigger();
  }
  qint64 clockNs = 0;
  f->window.Pace().SetClock([&] { return clockNs; }, [&](qint64 ns) { clockNs += ns; });
  f->window.Views().Training().SetSpeedIndex(speedIndex);
  f->window.pms_Click();  // the Parameters window beside it
  int closedAt = 0;
  DuringTraining check([&] {
    if (f->ws.TrialCounter < 3 || closedAt > 0) return;
    if (paused && !Held(*f)) {
      f->window.Views().Training().SetPaused(true);
      return;
    }
    closedAt = static_cast<int>(f->ws.TrialCounter);
    f->window.close();
  });
  f->Action("TN")->trigger();
  check.Stop();
  QVERIFY(closedAt > 0);
  QVERIFY(f->ws.TrialCounter <= closedAt + 1);
  QCOMPARE(f->ws.Busy.Value(), 0.0);
  QVERIFY(!f->window.isVisible());
  f.reset();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

BACKPROP_QT_TEST(WatchingTrainingTest);
#include "test_watching_training.moc"
