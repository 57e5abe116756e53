// SPDX-License-Identifier: GPL-3.0-or-later
// Runs that train through the real main window: progress on the drawing,
// interruption by a click or a key, and windows opened or the program
// ended in the middle of training.
#include <QtTest>

#include "engine/workspace.h"
#include "tests/support/nets.h"
#include "tests/support/qt_test_main.h"
#include "tests/ui/main/main_window_fixture.h"
#include "ui/main/help_window.h"
#include "ui/main/window_owner.h"

using namespace backprop;
using backprop::testing::DuringTraining;
using backprop::testing::InkAround;
using backprop::testing::MainWindowFixture;

namespace {

// Training that only a click, a key or End stops.
constexpr const char* kEndless = "ERRTEST=0\r\nTRAINMAX=100000000\r\nTRAIN=1\r\n";

// The text the engine writes at (5, 1) and (6.5, 1) while it trains.
int ReportInk(MainWindowFixture& f) {
  f.window.FlushDrawing();
  return InkAround(f.View().Canvas().Image(), f.View().Canvas().Scale(), 5.0, 1.0, 3.0, 0.3);
}

void PrepareExclusiveOr(MainWindowFixture& f, const std::string& program) {
  f.ws.AboutShown = 1;
  f.ws.TextBuffer(BufferId::TrainingDataD1) = testing::kExclusiveOrSet;
  f.ws.TextBuffer(BufferId::ProgramS1) = std::string(testing::kExclusiveOrNet) + program;
}

}  // namespace

class TrainingRunsTest : public QObject {
  Q_OBJECT

 private slots:
  void runTrainsAndEndsWithTheTrainedNet();
  void progressIsDrawnWhileTrainingAndAClickStopsIt();
  void clickOrKeyStopsTrainingBeforeItsNextPattern_data();
  void clickOrKeyStopsTrainingBeforeItsNextPattern();
  void keyHeldDownStopsTrainingOnceAndTheNextRunTrains();
  void helpDuringTrainingHidesTheMainWindowWhileTrainingGoesOn();
  void endDuringTrainingEndsTheRun_data();
  void endDuringTrainingEndsTheRun();
};

void TrainingRunsTest::runTrainsAndEndsWithTheTrainedNet() {
  MainWindowFixture f;
  PrepareExclusiveOr(f, "TRAIN=1\r\n");
  f.Action("TN")->trigger();
  QCOMPARE(f.ws.Busy.Value(), 0.0);
  QVERIFY(f.ws.TrialCounter > 2);
  QVERIFY(f.ws.Weights(1, 1, 1) != 0.0);
  // The closing redraw shows the trained connections and no report text.
  QCOMPARE(ReportInk(f), 0);
  QVERIFY(InkAround(f.View().Canvas().Image(), f.View().Canvas().Scale(), 1.1, 0.9, 0.8, 1.2) > 0);
}

void TrainingRunsTest::progressIsDrawnWhileTrainingAndAClickStopsIt() {
  MainWindowFixture f;
  PrepareExclusiveOr(f, kEndless);
  int inkSeen = 0;
  double stoppedAt = 0;
  DuringTraining check([&] {
    if (f.ws.TrialCounter < 20 || stoppedAt > 0) return;
    inkSeen = ReportInk(f);
    stoppedAt = f.ws.TrialCounter;
    f.ClickAt(8, 8);
  });
  f.Action("TN")->trigger();
  QVERIFY(inkSeen > 0);
  QVERIFY(stoppedAt > 0);
  // Stopped within the cycle of the click.
  QVERIFY(f.ws.TrialCounter <= stoppedAt + 1);
  QCOMPARE(f.ws.Busy.Value(), 0.0);
  QCOMPARE(ReportInk(f), 0);
}

void TrainingRunsTest::clickOrKeyStopsTrainingBeforeItsNextPattern_data() {
  QTest::addColumn<bool>("click");
  QTest::newRow("click") << true;
  QTest::newRow("key") << false;
}

void TrainingRunsTest::clickOrKeyStopsTrainingBeforeItsNextPattern() {
  QFETCH(bool, click);
  MainWindowFixture f;
  PrepareExclusiveOr(f, "");
  f.Action("TN")->trigger();
  const double before = f.ws.Weights(1, 1, 1);
  f.ws.TextBuffer(BufferId::ProgramS1) = "TRAIN=1\r\nTRAINMAX=77\r\n";

  // Waiting at the first yield: it runs before the first pattern.
  if (click) {
    const QPoint at = f.PixelAt(8, 8);
    QCoreApplication::postEvent(
        &f.View(), new QMouseEvent(QEvent::MouseButtonPress, at, f.View().mapToGlobal(at),
                                   Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
  } else {
    QCoreApplication::postEvent(&f.window,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x"));
  }
  f.OpenEveryYield();
  f.Action("TN")->trigger();

  QCOMPARE(int(f.ws.InterruptKey), click ? 27 : int('x'));
  QCOMPARE(f.ws.Weights(1, 1, 1), before);
  QCOMPARE(f.ws.TrialCounter.Value(), 1.0);
  QVERIFY(f.ws.TrainingLimit != 77);  // the rest of the program is skipped
  QCOMPARE(f.ws.Busy.Value(), 0.0);
}

// A key held down sends a stream of repeated presses: the first stops the
// run, the rest arrive with nothing running and harm nothing.
void TrainingRunsTest::keyHeldDownStopsTrainingOnceAndTheNextRunTrains() {
  MainWindowFixture f;
  PrepareExclusiveOr(f, std::string(kEndless) + "SHOW=33\r\n");
  double stoppedAt = 0;
  DuringTraining hold([&] {
    if (f.ws.TrialCounter < 5) return;
    if (stoppedAt == 0) stoppedAt = f.ws.TrialCounter;
    for (int n = 0; n < 20; ++n) {
      QCoreApplication::postEvent(
          &f.window, new QKeyEvent(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ", true));
    }
  });
  f.Action("TN")->trigger();
  QVERIFY(stoppedAt > 0);
  QVERIFY(f.ws.TrialCounter < 100000000);
  QVERIFY(f.ws.ShowRate != 33);  // the rest of the program is skipped
  QCOMPARE(f.ws.Busy.Value(), 0.0);
  QCoreApplication::processEvents();  // the presses still queued arrive with nothing running
  QCOMPARE(int(f.ws.InterruptKey), int(' '));

  f.ws.TextBuffer(BufferId::ProgramS1) = "TRAINMAX=4\r\nTRAIN=1\r\n";
  QCoreApplication::removePostedEvents(&f.window, QEvent::KeyPress);
  hold.Stop();
  f.Action("TN")->trigger();
  QCOMPARE(f.ws.TrialCounter.Value(), 4.0);  // training starts with the key cleared
  QCOMPARE(f.ws.Busy.Value(), 0.0);
}

void TrainingRunsTest::helpDuringTrainingHidesTheMainWindowWhileTrainingGoesOn() {
  MainWindowFixture f;
  PrepareExclusiveOr(f, kEndless);
  enum { Training, HelpOpen, Back, Stopped } stage = Training;
  double trialAtHelp = 0;
  bool mainHiddenWithHelp = false;
  bool trainedWhileHidden = false;
  DuringTraining check([&] {
    switch (stage) {
      case Training:
        if (f.ws.TrialCounter < 10) return;
        f.Action("he")->trigger();
        mainHiddenWithHelp = !f.window.isVisible() && f.window.Owner().ExistingHelp()->isVisible();
        trialAtHelp = f.ws.TrialCounter;
        stage = HelpOpen;
        return;
      case HelpOpen:
        if (f.ws.TrialCounter < trialAtHelp + 10) return;
        trainedWhileHidden = !f.window.isVisible() && ReportInk(f) > 0;
        f.window.Owner().ExistingHelp()->nutron_Click();
        stage = Back;
        return;
      case Back:
        f.window.Form_MouseDown(Qt::LeftButton, 8, 8);
        stage = Stopped;
        return;
      case Stopped:
        return;
    }
  });
  f.Action("TN")->trigger();
  QVERIFY(mainHiddenWithHelp);
  QVERIFY(trainedWhileHidden);
  QCOMPARE(stage, Stopped);
  QVERIFY(f.window.isVisible());
  QCOMPARE(f.ws.Busy.Value(), 0.0);
}

void TrainingRunsTest::endDuringTrainingEndsTheRun_data() {
  QTest::addColumn<bool>("closeBox");
  QTest::newRow("End") << false;
  QTest::newRow("close box") << true;
}

void TrainingRunsTest::endDuringTrainingEndsTheRun() {
  QFETCH(bool, closeBox);
  MainWindowFixture f;
  PrepareExclusiveOr(f, kEndless);
  f.window.he_Click();
  f.window.Owner().ExistingHelp()->nutron_Click();
  double endedAt = 0;
  DuringTraining check([&] {
    if (f.ws.TrialCounter < 10 || endedAt > 0) return;
    endedAt = f.ws.TrialCounter;
    if (closeBox) {
      f.window.close();
    } else {
      f.Action("eee")->trigger();
    }
  });
  f.Action("TN")->trigger();
  QVERIFY(endedAt > 0);
  QVERIFY(f.ws.TrialCounter <= endedAt + 1);
  QCOMPARE(f.ws.Busy.Value(), 0.0);
  QVERIFY(!f.window.isVisible());
  QVERIFY(f.window.Owner().ExistingHelp() == nullptr);
}

BACKPROP_QT_TEST(TrainingRunsTest);
#include "test_training_runs.moc"
