// SPDX-License-Identifier: GPL-3.0-or-later
#include <QPointer>
#include <QtTest>

#include <functional>
#include <memory>

#include "engine/workspace.h"
#include "tests/support/fake_main_window.h"
#include "tests/support/hostile_numbers.h"
#include "tests/support/qt_test_main.h"
#include "tests/support/scripted_dialogs.h"
#include "ui/canvas/canvas_view.h"
#include "ui/canvas/image_canvas.h"
#include "ui/parameters/override_marks.h"
#include "ui/parameters/parameter_table.h"
#include "ui/parameters/parameters_window.h"

using namespace backprop;
using backprop::testing::FakeMainWindow;
using backprop::testing::ScriptedDialogs;

namespace {

// Scripted dialogs that run a callback while an input box is "open".
class DialogsWithHook : public ScriptedDialogs {
 public:
  std::function<void()> whileOpen;
  QString Input(QWidget* parent, const QString& prompt, const QString& title) override {
    if (whileOpen) whileOpen();
    return ScriptedDialogs::Input(parent, prompt, title);
  }
};

using Field = std::function<double(const Workspace&)>;

}  // namespace

Q_DECLARE_METATYPE(Field)

class ParametersWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    ws_ = std::make_unique<Workspace>();
    ApplyDefaults(*ws_);
    main_ = FakeMainWindow{};
    dialogs_ = DialogsWithHook{};
    window_ = new ParametersWindow(*ws_, main_, dialogs_);
    window_->resize(800, 600);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_));
  }
  void cleanup() {
    delete window_;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  void listFontAndCaption() {
    QCOMPARE(window_->objectName(), QString("Form5"));
    QCOMPARE(window_->windowTitle(), QString("Parameters"));
    QVERIFY(window_->View().Canvas().Font().bold());
    QCOMPARE(window_->View().Canvas().Font().pointSizeF(), 8.25);
  }

  // Every label ends before the value column in the window's font, so the
  // values stand in one column.
  void labelsFitBeforeTheValueColumn() {
    const QFontMetricsF metrics(window_->View().Canvas().Font());
    for (const ParameterRow& row : ParameterRows()) {
      QVERIFY2(metrics.horizontalAdvance(row.label) < kValueColumn * metrics.averageCharWidth(),
               row.label);
    }
  }

  void answersToSingleDialogs_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<Field>("field");
    QTest::addColumn<double>("expected");
    QTest::addColumn<QString>("prompt");
    const Field epsilon = [](const Workspace& w) { return w.Epsilon.Value(); };
    QTest::newRow("number then letters")
        << "ep"
        << "12abc" << epsilon << 12.0 << "Learning Rate: Enter epsilon";
    QTest::newRow("letters only") << "ep"
                                  << "abc" << epsilon << 0.0 << "Learning Rate: Enter epsilon";
    QTest::newRow("empty or cancel") << "ep"
                                     << "" << epsilon << 0.05 << "Learning Rate: Enter epsilon";
    QTest::newRow("too large") << "ep"
                               << "1e999" << epsilon << 0.05 << "Learning Rate: Enter epsilon";
    QTest::newRow("show rate") << "sr"
                               << " 25 "
                               << Field([](const Workspace& w) { return w.ShowRate.Value(); })
                               << 25.0 << "Show Rate: Enter # Data Cycles before Display Update";
    QTest::newRow("training limit")
        << "tp"
        << "1e3" << Field([](const Workspace& w) { return w.TrainingLimit.Value(); }) << 1000.0
        << "Training limit: Enter number of training cycles:";
    QTest::newRow("threshold") << "thr"
                               << "-.5x" << Field([](const Workspace& w) {
                                    return w.AnalogThreshold.Value();
                                  })
                               << -0.5 << "Threshold: Analog Training Threshold:";
  }
  void answersToSingleDialogs() {
    QFETCH(QString, entry);
    QFETCH(QString, answer);
    QFETCH(Field, field);
    QFETCH(double, expected);
    QFETCH(QString, prompt);
    dialogs_.answers = {answer};
    Trigger(entry);
    QCOMPARE(dialogs_.prompts, QStringList({prompt}));
    QCOMPARE(field(*ws_), expected);
    QCOMPARE(dialogs_.warnings.size(), answer == "1e999" ? 1 : 0);
    QVERIFY(ShowsTheCurrentList());
  }

  void inRangeAsksBothEvenWhenTheFirstIsCancelled() {
    dialogs_.answers = {"", "7"};
    Trigger("fr");
    QCOMPARE(dialogs_.prompts, QStringList({"Input  Range: Enter Low Side of Range",
                                            "Input Range: Enter High Side of Range"}));
    QCOMPARE(ws_->InputRangeLow.Value(), -1.0);
    QCOMPARE(ws_->InputRangeHigh.Value(), 7.0);
  }

  void outRangeSetsBothEnds() {
    dialogs_.answers = {"-1e999", "0.5"};
    Trigger("rg");
    QCOMPARE(dialogs_.prompts, QStringList({"Low Output: Enter Lowest Desired Wt.:",
                                            "High Output: Enter Highest Desired Wt.:"}));
    QCOMPARE(dialogs_.warnings, QStringList({"TEBO: THE NUMBER IS TOO LARGE"}));
    QCOMPARE(ws_->OutputRangeLow.Value(), -1.0);
    QCOMPARE(ws_->OutputRangeHigh.Value(), 0.5);
  }

  void seedRoundsHalvesToEvenWithinItsRange_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("seed");
    QTest::addColumn<bool>("warned");
    QTest::newRow("2.5") << "2.5" << 2 << false;
    QTest::newRow("3.5") << "3.5" << 4 << false;
    QTest::newRow("-2.5") << "-2.5" << -2 << false;
    QTest::newRow("highest") << "32767.4" << 32767 << false;
    QTest::newRow("lowest") << "-32768.5" << -32768 << false;
    QTest::newRow("rounds above") << "32767.5" << 9 << true;
    QTest::newRow("far above") << "40000" << 9 << true;
    QTest::newRow("below") << "-32769" << 9 << true;
    QTest::newRow("overflow") << "1e999" << 9 << true;
    QTest::newRow("letters") << "seed" << 0 << false;
    QTest::newRow("cancel") << "" << 9 << false;
  }
  void seedRoundsHalvesToEvenWithinItsRange() {
    QFETCH(QString, answer);
    QFETCH(int, seed);
    QFETCH(bool, warned);
    ws_->WeightSeed = 9;
    dialogs_.answers = {answer};
    Trigger("rs");
    QCOMPARE(dialogs_.prompts, QStringList({"Random Seed: Enter Seed #:"}));
    QCOMPARE(static_cast<int>(ws_->WeightSeed), seed);
    QCOMPARE(dialogs_.warnings,
             warned ? QStringList({"TEBO: THE SEED MUST BE FROM -32768 TO 32767"}) : QStringList());
    QVERIFY(ShowsTheCurrentList());
  }

  // Every answer to every number dialog stores a finite number or keeps the
  // old one (with one warning per refused answer).
  void hostileAnswersStoreAFiniteNumberOrKeepTheOld() {
    for (const ParameterRow& row : ParameterRows()) {
      if (row.action != RowAction::AskNumbers && row.action != RowAction::AskSeed) continue;
      for (const testing::HostileAnswer& answer : testing::HostileAnswers()) {
        for (const NumberQuestion& q : row.questions) {
          if (q.field) (*ws_).*q.field = 7;
        }
        ws_->WeightSeed = 7;
        const QString text = QString::fromUtf8(answer.text.data(), answer.text.size());
        dialogs_.answers = {text, text};
        dialogs_.warnings.clear();
        Trigger(row.name);
        int asked = 0;
        for (const NumberQuestion& q : row.questions) {
          if (!q.prompt) continue;
          ++asked;
          const double stored = q.field ? ((*ws_).*q.field).Value() : ws_->WeightSeed;
          QVERIFY2(stored == answer.stored.value_or(7), row.name);
        }
        QCOMPARE(dialogs_.warnings.size(), answer.stored ? 0 : asked);
      }
    }
  }

  void entriesWithoutDialogsRedrawTheList() {
    Trigger("fn");
    QCOMPARE(ws_->TransferFunctionName, std::string("Arctangent"));
    QVERIFY(ShowsTheCurrentList());
    Trigger("errr");
    QCOMPARE(ws_->ErrorTest.Value(), 0.0);
    QVERIFY(ShowsTheCurrentList());
    QVERIFY(dialogs_.prompts.isEmpty());
  }

  void pressOnARowRunsItsEntry() {
    window_->Form_MouseDown(3.0, 1.2);
    QCOMPARE(ws_->TransferFunction.Value(), 3.0);
    window_->Form_MouseDown(3.0, 1.25);
    QCOMPARE(ws_->TransferFunction.Value(), 3.0);
    QVERIFY(dialogs_.prompts.isEmpty());
    // A real click in the seed row's band, through the view's pixels.
    CanvasView& view = window_->View();
    const QPoint seedRow(view.width() / 2, static_cast<int>(view.height() * 3.1 / 10.0));
    dialogs_.answers = {"77"};
    QTest::mouseClick(&view, Qt::RightButton, {}, seedRow);
    QCOMPARE(dialogs_.prompts, QStringList({"Random Seed: Enter Seed #:"}));
    QCOMPARE(static_cast<int>(ws_->WeightSeed), 77);
    QVERIFY(ShowsTheCurrentList());
  }

  // Rows are cleared before they are written, so a value that gets shorter
  // leaves nothing of the longer one behind.
  void shorterValueLeavesNoRemnant() {
    ws_->TrainingLimit = 123456789012345.0;
    ws_->TransferFunction = 1;
    window_->ShowParms();
    ws_->TrainingLimit = 1;
    dialogs_.answers = {"1"};
    Trigger("tp");
    QVERIFY(ShowsTheCurrentList());
  }

  void endReturnsToTheMainWindow() {
    Trigger("ond");
    QVERIFY(!window_->isVisible());
    QCOMPARE(main_.calls, QStringList({"ShowMainWindow"}));
  }

  void closeBoxReturnsAndDestroysTheWindow() {
    QPointer<ParametersWindow> watched(window_);
    QVERIFY(window_->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(watched.isNull());
    window_ = nullptr;
    QCOMPARE(main_.calls, QStringList({"ShowMainWindow"}));
  }

  // An activation the window system reports only after "End" hid the
  // window must not bring it back.
  void lateActivationKeepsTheWindowHidden() {
    Trigger("ond");
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(window_, &activate);
    QVERIFY(!window_->isVisible());
    QCOMPARE(main_.calls, QStringList({"ShowMainWindow"}));
  }

  void losingTheFocusToAnotherWindowReturns() {
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_));
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QTRY_VERIFY(!window_->isVisible());
    QCOMPARE(main_.calls, QStringList({"ShowMainWindow"}));
  }

  // An input box takes the activation while it is open; the window must
  // neither hide nor miss the answer.
  void ownDialogIsNotALossOfFocus() {
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_));
    QWidget box;
    dialogs_.whileOpen = [&box] {
      box.show();
      box.activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(&box));
      box.hide();
    };
    dialogs_.answers = {"0.3"};
    Trigger("ep");
    QVERIFY(window_->isVisible());
    QVERIFY(main_.calls.isEmpty());
    QCOMPARE(ws_->Epsilon.Value(), 0.3);
    QVERIFY(ShowsTheCurrentList());
  }

 private:
  void Trigger(const QString& entry) {
    QAction* action = window_->findChild<QAction*>(entry);
    QVERIFY2(action, qPrintable(entry));
    action->trigger();
  }

  // The view shows exactly what a fresh drawing of the workspace gives.
  bool ShowsTheCurrentList() {
    const ImageCanvas& shown = window_->View().Canvas();
    auto copy = std::make_unique<Workspace>(*ws_);
    ImageCanvas fresh(shown.Image().size(), shown.Font(),
                      window_->palette().color(QPalette::WindowText),
                      window_->palette().color(QPalette::Window));
    DrawParametersWindow(*copy, fresh);
    return fresh.Image() == shown.Image();
  }

  std::unique_ptr<Workspace> ws_;
  FakeMainWindow main_;
  DialogsWithHook dialogs_;
  ParametersWindow* window_ = nullptr;
};

BACKPROP_QT_TEST(ParametersWindowTest);
#include "test_parameters_window.moc"
