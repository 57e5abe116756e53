// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>

#include "engine/canvas.h"
#include "engine/workspace.h"
#include "tests/support/qt_test_main.h"
#include "tests/ui/main/main_window_fixture.h"
#include "ui/common/twips.h"
#include "ui/main/help_window.h"
#include "ui/main/window_owner.h"
#include "ui/main/yield_gate.h"

using namespace backprop;
using backprop::testing::InkAround;
using backprop::testing::MainWindowFixture;

namespace {

// What a command could change in the workspace, to see that it did nothing.
struct Snapshot {
  double designMode, runMode, loadedSet, editorBuffer, layerCount;
  int interruptKey;
  bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const Workspace& ws) {
  return {ws.DesignMode, ws.RunMode, ws.LoadedSet, ws.EditorBuffer, ws.LayerCount, ws.InterruptKey};
}

// The captions of a menu's entries as shown, without their mnemonic marks.
QStringList Captions(const QList<QAction*>& actions) {
  QStringList captions;
  for (const QAction* action : actions) captions << QString(action->text()).remove(u'&');
  return captions;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void menuBarHasItsCaptionsInOrder();
  void startUpFillsDefaultsAndHidesTheDesigner();
  void designerPressesReachEveryGridPointAtEverySize_data();
  void designerPressesReachEveryGridPointAtEverySize();
  void guardedCommandsDoNothingWhileBusy_data();
  void guardedCommandsDoNothingWhileBusy();
  void helpAndEndStillActWhileBusy();
  void clicksAndTypedKeysSetInterruptKey_data();
  void clicksAndTypedKeysSetInterruptKey();
  void yieldLetsEventsRunOnlyEveryFewMilliseconds();
  void yieldGateReadsTheClockSeldomOnlyWhileCallsAreQuick();
  void focusReappliesDefaultsOnlyBeforeTheFirstMovement();
  void copyrightBoxIsShownOnce();
  void activationRedrawsOutsideDesignModeOnly();
  void stepCommandsClearOnlyWhenSwitchingMode_data();
  void stepCommandsClearOnlyWhenSwitchingMode();
  void runLeavesDesignModeAndRunsTheProgram();
  void runErrorShowsTheWarningWithoutTheCarriageReturn();
  void endHidesEverythingAndInterruptsARun();
};

void MainWindowTest::menuBarHasItsCaptionsInOrder() {
  MainWindowFixture f;
  QStringList names;
  for (QAction* action : f.window.menuBar()->actions()) names << action->objectName();
  QCOMPARE(Captions(f.window.menuBar()->actions()),
           QStringList({"Netdesign", "Edit", "Run(S1)", "Run(S2)", "StepThruTrn(D1)",
                        "StepThruTst(T1)", "Parms", "List", "Load/Save", "View", "Help", "End"}));
  QCOMPARE(names, QStringList({"ne", "ed", "TN", "ru", "SWP", "tdst", "pms", "li", "sa", "View",
                               "he", "eee"}));

  QMenu* edit = f.window.menuBar()->actions().at(1)->menu();
  QVERIFY(edit != nullptr);
  QStringList editNames;
  for (QAction* action : edit->actions()) editNames << action->objectName();
  // The five buffers, then, apart, the generator beyond them.
  QCOMPARE(Captions(edit->actions()),
           QStringList({"Program(S1)", "Program(S2)", "Training Data (D1)", "Training Data (D2)",
                        "Test Set (T1)", "", "Generate Data..."}));
  QCOMPARE(editNames, QStringList({"pr", "ps2", "Tr", "Ta", "testdata", "", "GenerateData"}));
}

void MainWindowTest::startUpFillsDefaultsAndHidesTheDesigner() {
  MainWindowFixture f;
  QCOMPARE(f.window.windowTitle(), QString("BACKPROPAGATION"));
  QCOMPARE(f.ws.LayerCount.Value(), 2.0);
  QCOMPARE(f.ws.Epsilon.Value(), 0.05);
  QCOMPARE(f.ws.AnalogThreshold.Value(), 0.001);
  QCOMPARE(f.ws.DesignMode.Value(), 0.0);
  QVERIFY(f.window.Owner().ListingPresetPending());
  QVERIFY(f.Control<QPushButton>("Command1")->isHidden());
  QVERIFY(f.Control<QPushButton>("Command2")->isHidden());
  QVERIFY(f.Control<QPlainTextEdit>("Text1")->isHidden());
  QCOMPARE(f.Control<QPlainTextEdit>("Text1")->toPlainText(),
           QString("NOTE:  MOUSE CLICK SETS AND ERASES NEURODES."));
  // The start-up net is drawn: navy circles on white.
  QVERIFY(InkAround(f.View().Canvas().Image(), f.View().Canvas().Scale(), 0.8, 0.8, 0.4, 0.4) > 0);
}

void MainWindowTest::designerPressesReachEveryGridPointAtEverySize_data() {
  QTest::addColumn<QSize>("size");
  for (const QSize size : {QSize(800, 600), QSize(1280, 800), QSize(1920, 1080)}) {
    QTest::addRow("%dx%d", size.width(), size.height()) << size;
  }
}

void MainWindowTest::designerPressesReachEveryGridPointAtEverySize() {
  QFETCH(QSize, size);
  // Twips to pixels at two resolutions (the buttons keep their twip sizes).
  QCOMPARE(TwipsToPixels(1440, 720, 2880, 15, 96, 96), QRect(96, 48, 192, 1));
  QCOMPARE(TwipsToPixels(6480, 5040, 855, 495, 120, 144), QRect(540, 504, 71, 50));
  MainWindowFixture f;
  f.ws.AboutShown = 1;
  f.window.resize(size);
  f.Action("ne")->trigger();
  QTRY_VERIFY(f.Control<QPushButton>("Command1")->isVisible());
  QCOMPARE(f.Control<QPushButton>("Command1")->text(), QString("Done"));
  QCOMPARE(f.Control<QPushButton>("Command2")->text(), QString("Remove 1 Layer"));

  // The grid: columns 0.5..10.5, from the bias band down to row 10.
  const QRect grid = QRect(f.PixelAt(0.5, -1), f.PixelAt(10.5, 10))
                         .translated(f.View().mapTo(&f.window, QPoint(0, 0)));
  for (const char* name : {"Command1", "Command2", "Text1"}) {
    QWidget* control = f.Control<QWidget>(name);
    const QRect at(control->mapTo(&f.window, QPoint(0, 0)), control->size());
    QVERIFY2(!at.intersects(grid), name);
  }
  // Every press lands on the drawing and edits the column and row aimed at.
  for (int c = 1; c <= 10; ++c) {
    for (int r = 0; r <= 10; ++r) {
      // Row 10 lies on the drawing's bottom edge: its press is the last row
      // of pixels.
      QPoint at = f.PixelAt(c, r);
      at.setY(std::min(at.y(), f.View().height() - 1));
      QCOMPARE(f.window.childAt(f.View().mapTo(&f.window, at)), static_cast<QWidget*>(&f.View()));
      const double bias = f.ws.BiasFlags(c);
      QTest::mouseClick(&f.View(), Qt::LeftButton, {}, at);
      if (r == 0) {
        QCOMPARE(f.ws.BiasFlags(c).Value(), bias == 1 ? 0.0 : 1.0);
      } else {
        QCOMPARE(f.ws.LayerSizes(c).Value(), double(r));
        QVERIFY(f.ws.LayerCount >= c);
      }
    }
  }
  QCOMPARE(f.ws.LayerCount.Value(), 10.0);
}

void MainWindowTest::guardedCommandsDoNothingWhileBusy_data() {
  QTest::addColumn<QString>("command");
  for (const char* name :
       {"ne", "pr", "ps2", "Tr", "Ta", "testdata", "TN", "ru", "SWP", "tdst", "sa"}) {
    QTest::newRow(name) << QString(name);
  }
}

void MainWindowTest::guardedCommandsDoNothingWhileBusy() {
  QFETCH(QString, command);
  MainWindowFixture f;
  // A program that would change the geometry if it ran.
  f.ws.TextBuffer(BufferId::ProgramS1) = "NETLIST=3,2,2,1\r\n";
  f.ws.TextBuffer(BufferId::ProgramS2) = "NETLIST=3,2,2,1\r\n";
  f.ws.RunMode = 1;
  f.ws.LoadedSet = 1;
  f.ws.Busy = 1;
  f.View().Canvas().MoveTo(9.2, 9.4);
  f.View().Canvas().Print("MARK");
  const Snapshot before = Take(f.ws);
  const QImage image = f.View().Canvas().Image();

  f.Action(command.toLatin1().constData())->trigger();

  QCOMPARE(Take(f.ws), before);
  QCOMPARE(f.View().Canvas().Image(), image);
  QVERIFY(f.window.isVisible());
  QVERIFY(f.Control<QPushButton>("Command1")->isHidden());
}

void MainWindowTest::helpAndEndStillActWhileBusy() {
  MainWindowFixture f;
  f.ws.Busy = 1;
  f.Action("he")->trigger();
  HelpWindow* help = f.window.Owner().ExistingHelp();
  QVERIFY(help != nullptr);
  QVERIFY(help->isVisible());
  QVERIFY(!f.window.isVisible());

  help->nutron_Click();
  QVERIFY(f.window.isVisible());
  f.ws.InterruptKey = 0;
  f.Action("eee")->trigger();
  QVERIFY(!f.window.isVisible());
  QCOMPARE(f.ws.InterruptKey, std::int16_t{27});
}

void MainWindowTest::clicksAndTypedKeysSetInterruptKey_data() {
  QTest::addColumn<int>("key");
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("expected");
  QTest::newRow("letter") << int(Qt::Key_A) << "a" << 97;
  QTest::newRow("digit") << int(Qt::Key_7) << "7" << 55;
  QTest::newRow("enter") << int(Qt::Key_Return) << "\r" << 13;
  QTest::newRow("escape") << int(Qt::Key_Escape) << "\x1b" << 27;
  QTest::newRow("arrow types nothing") << int(Qt::Key_Left) << "" << 0;
  QTest::newRow("Alt with a letter opens menus") << (Qt::AltModifier | Qt::Key_Q).toCombined() << "q" << 0;
}

void MainWindowTest::clicksAndTypedKeysSetInterruptKey() {
  QFETCH(int, key);
  QFETCH(QString, text);
  QFETCH(int, expected);
  MainWindowFixture f;
  QKeyEvent press(QEvent::KeyPress, key & ~Qt::KeyboardModifierMask,
                  Qt::KeyboardModifiers(key & Qt::KeyboardModifierMask), text);
  QApplication::sendEvent(&f.window, &press);
  QCOMPARE(int(f.ws.InterruptKey), expected);

  // A click anywhere on the drawing, outside design mode, only stops training.
  f.ClickAt(3, 4);
  QCOMPARE(int(f.ws.InterruptKey), 27);
  QCOMPARE(f.ws.LayerCount.Value(), 2.0);
}

void MainWindowTest::yieldLetsEventsRunOnlyEveryFewMilliseconds() {
  MainWindowFixture f;
  f.UseManualClock();
  f.window.YieldToEvents();
  QCoreApplication::postEvent(&f.window,
                              new QKeyEvent(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, "q"));
  f.ws.InterruptKey = 0;
  f.clockNs += 1'000'000;  // a millisecond after the last one: events wait
  f.window.YieldToEvents();
  QCOMPARE(int(f.ws.InterruptKey), 0);
  f.clockNs += 11'000'000;
  f.window.YieldToEvents();
  QCOMPARE(int(f.ws.InterruptKey), int('q'));
}

void MainWindowTest::yieldGateReadsTheClockSeldomOnlyWhileCallsAreQuick() {
  constexpr qint64 kInterval = 5'000'000;
  qint64 now = 0;
  int reads = 0;
  YieldGate gate(kInterval, [&] {
    ++reads;
    return now;
  });
  QVERIFY(gate.Open());
  for (int call = 0; call < 10'000; ++call) {  // a nanosecond apart
    ++now;
    QVERIFY(!gate.Open());
  }
  QVERIFY(reads < 10'000 / 8);
  now += kInterval;  // the interval has passed: events run within a few calls
  int calls = 1;
  while (!gate.Open()) ++calls;
  QVERIFY(calls <= 16);
  int opened = 0;  // calls a millisecond apart: soon events every five of them
  for (int call = 0; call < 40; ++call) {
    now += 1'000'000;
    opened += gate.Open() ? 1 : 0;
  }
  QVERIFY(opened >= 4);
  gate.Restart();
  QVERIFY(gate.Open());
}

void MainWindowTest::focusReappliesDefaultsOnlyBeforeTheFirstMovement() {
  MainWindowFixture f;
  f.ws.Epsilon = 0.3;
  f.ws.LayerCount = 4;
  f.window.Owner().TakeListingPreset();
  f.window.Form_GotFocus();
  QCOMPARE(f.ws.Epsilon.Value(), 0.05);
  QCOMPARE(f.ws.LayerCount.Value(), 2.0);
  QVERIFY(f.window.Owner().TakeListingPreset());

  QTest::mouseMove(&f.View(), f.PixelAt(5, 5));
  QCOMPARE(f.ws.AboutShown.Value(), 1.0);
  f.ws.Epsilon = 0.3;
  f.window.Form_GotFocus();
  QCOMPARE(f.ws.Epsilon.Value(), 0.3);
  QVERIFY(!f.window.Owner().TakeListingPreset());
}

void MainWindowTest::copyrightBoxIsShownOnce() {
  MainWindowFixture f;
  QVERIFY(f.dialogs.informations.isEmpty());
  QTest::mouseMove(&f.View(), f.PixelAt(5, 5));
  QTest::mouseMove(&f.View(), f.PixelAt(6, 6));
  QTest::mouseMove(&f.View(), f.PixelAt(7, 2));
  QCOMPARE(f.dialogs.informations.size(), 1);
  QVERIFY(f.dialogs.informations.first().startsWith("TEBO: "));
  QVERIFY(f.dialogs.informations.first().contains("Copyright"));
}

void MainWindowTest::activationRedrawsOutsideDesignModeOnly() {
  MainWindowFixture f;
  QEvent activate(QEvent::WindowActivate);
  f.ws.AboutShown = 1;
  f.View().Canvas().MoveTo(9.2, 9.4);
  f.View().Canvas().Print("MARK");
  QApplication::sendEvent(&f.window, &activate);
  QCOMPARE(InkAround(f.View().Canvas().Image(), f.View().Canvas().Scale(), 9.1, 9.3, 1.5, 0.6), 0);

  // In design mode the buttons keep the focus: nothing is hidden or redrawn.
  f.window.ne_Click();
  f.View().Canvas().MoveTo(9.2, 9.4);
  f.View().Canvas().Print("MARK");
  QApplication::sendEvent(&f.window, &activate);
  QVERIFY(!f.Control<QPushButton>("Command1")->isHidden());
  QVERIFY(InkAround(f.View().Canvas().Image(), f.View().Canvas().Scale(), 9.1, 9.3, 1.5, 0.6) > 0);
}

void MainWindowTest::stepCommandsClearOnlyWhenSwitchingMode_data() {
  QTest::addColumn<QString>("command");
  QTest::addColumn<int>("runModeBefore");
  QTest::addColumn<bool>("cleared");
  QTest::newRow("D1 after D1") << "SWP" << 3 << false;
  QTest::newRow("D1 after Run(S1)") << "SWP" << 1 << true;
  QTest::newRow("D1 after Run(S2)") << "SWP" << 2 << true;
  QTest::newRow("D1 after T1") << "SWP" << 4 << true;
  QTest::newRow("T1 after T1") << "tdst" << 4 << false;
  QTest::newRow("T1 after D1") << "tdst" << 3 << true;
}

void MainWindowTest::stepCommandsClearOnlyWhenSwitchingMode() {
  QFETCH(QString, command);
  QFETCH(int, runModeBefore);
  QFETCH(bool, cleared);
  MainWindowFixture f;
  f.ws.AboutShown = 1;
  f.ws.RunMode = runModeBefore;
  // Far from anything a step writes.
  f.View().Canvas().MoveTo(9.2, 9.4);
  f.View().Canvas().Print("MARK");

  f.Action(command.toLatin1().constData())->trigger();

  const int ink =
      InkAround(f.View().Canvas().Image(), f.View().Canvas().Scale(), 9.1, 9.3, 1.5, 0.6);
  QCOMPARE(ink == 0, cleared);
  QCOMPARE(f.ws.RunMode.Value(), command == "SWP" ? 3.0 : 4.0);
}

void MainWindowTest::runLeavesDesignModeAndRunsTheProgram() {
  MainWindowFixture f;
  f.window.ne_Click();
  QCOMPARE(f.ws.DesignMode.Value(), 1.0);
  f.ws.TextBuffer(BufferId::ProgramS1) = "netlist=3,2,2,1\r\nbiaslist=1,1,0\r\n";
  f.ws.TextBuffer(BufferId::ProgramS2) = "NETLIST=4,1,1,1,1\r\n";

  f.Action("TN")->trigger();
  QCOMPARE(f.ws.RunMode.Value(), 1.0);
  QCOMPARE(f.ws.DesignMode.Value(), 0.0);
  QVERIFY(f.Control<QPushButton>("Command1")->isHidden());
  QVERIFY(f.Control<QPlainTextEdit>("Text1")->isHidden());
  QCOMPARE(f.ws.LayerCount.Value(), 3.0);
  QCOMPARE(f.ws.BiasFlags(1).Value(), 1.0);
  // The closing redraw shows the new bias neurode of layer 1.
  QVERIFY(InkAround(f.View().Canvas().Image(), f.View().Canvas().Scale(), 0.85, -0.15, 0.3, 0.3) >
          0);

  f.Action("ru")->trigger();
  QCOMPARE(f.ws.RunMode.Value(), 2.0);
  QCOMPARE(f.ws.LayerCount.Value(), 4.0);
  QCOMPARE(f.ws.Busy.Value(), 0.0);
}

void MainWindowTest::runErrorShowsTheWarningWithoutTheCarriageReturn() {
  MainWindowFixture f;
  f.ws.TextBuffer(BufferId::ProgramS1) = "NETLIST=11,2\r\n";
  f.Action("TN")->trigger();
  QCOMPARE(f.dialogs.warnings,
           QStringList({"TEBO: UNABLE TO EXECUTE TASK\nTASK HAS BEEN TERMINATED\n"
                        "Line 1 (NETLIST=11,2): the layer count is 11, outside 0..10"}));
  QCOMPARE(f.ws.LayerCount.Value(), 2.0);
}

void MainWindowTest::endHidesEverythingAndInterruptsARun() {
  MainWindowFixture f;
  f.Action("he")->trigger();
  QPointer<HelpWindow> help = f.window.Owner().ExistingHelp();
  QVERIFY(help && help->isVisible());
  help->nutron_Click();

  f.window.close();  // the close box ends the program like End
  QVERIFY(!f.window.isVisible());
  QVERIFY(help.isNull() || !help->isVisible());
  QVERIFY(f.window.Owner().ExistingHelp() == nullptr);
  QCOMPARE(int(f.ws.InterruptKey), 27);
  // Nothing comes back to life on the way out.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(help.isNull());
  f.window.ShowMainWindow();
  QVERIFY(!f.window.isVisible());
}

BACKPROP_QT_TEST(MainWindowTest);
#include "test_main_window.moc"
