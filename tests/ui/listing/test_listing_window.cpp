// SPDX-License-Identifier: GPL-3.0-or-later
// The "Net Data" window: its controls, the choosing and previewing states,
// the return to the main window and printing when no printer is set up.
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "engine/text_lines.h"
#include "engine/workspace.h"
#include "tests/support/fake_main_window.h"
#include "tests/support/qt_test_main.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/ui/listing/pdf_text.h"
#include "tests/ui/listing/sample_net.h"
#include "ui/listing/listing_sink.h"
#include "ui/listing/listing_window.h"

using namespace backprop;
using backprop::testing::FakeMainWindow;
using backprop::testing::ScriptedDialogs;

namespace {

// Captions of Check1..Check8.
const QStringList kCaptions = {"Program S1", "Program S2",   "Train Data 1", "Train Data 2",
                               "Weights",    "Node Values ", "Structure",    "Test Data 1"};

}  // namespace

class ListingWindowTest : public QObject {
  Q_OBJECT

 private:
  Workspace ws_;
  FakeMainWindow main_;
  ScriptedDialogs dialogs_;
  QPointer<ListingWindow> window_;

  QCheckBox* Check(int n) { return window_->findChild<QCheckBox*>(QString("Check%1").arg(n)); }
  QPushButton* Button(const char* name) { return window_->findChild<QPushButton*>(name); }
  QPlainTextEdit* Text1() { return window_->findChild<QPlainTextEdit*>("Text1"); }
  QLabel* Text2() { return window_->findChild<QLabel*>("Text2"); }
  QAction* End() { return window_->findChild<QAction*>("ed"); }

  bool Choosing() {
    for (int n = 1; n <= 8; ++n) {
      if (!Check(n)->isVisible()) return false;
    }
    return Button("Command1")->isVisible() && Button("Command1")->isEnabled() &&
           Button("Command3")->isVisible() && Button("Command3")->isEnabled() &&
           !Text1()->isVisible() && !Text2()->isVisible();
  }

  void Tick(std::initializer_list<int> ticked) {
    for (int n = 1; n <= 8; ++n)
      Check(n)->setChecked(std::find(ticked.begin(), ticked.end(), n) != ticked.end());
  }

 private slots:
  void init() {
    ws_ = Workspace{};
    FillSampleNet(ws_);
    main_ = FakeMainWindow{};
    dialogs_ = ScriptedDialogs{};
    window_ = new ListingWindow(ws_, main_, dialogs_);
    window_->ShowForListing();
    QVERIFY(QTest::qWaitForWindowExposed(window_));
  }

  void cleanup() { delete window_; }

  void controlsCarryTheirNamesAndCaptions() {
    QCOMPARE(window_->objectName(), QString("Form4"));
    QCOMPARE(window_->windowTitle(), QString("Net Data"));
    for (int n = 1; n <= 8; ++n) QCOMPARE(Check(n)->text(), kCaptions[n - 1]);
    QCOMPARE(Button("Command1")->text(), QString("Print"));
    QCOMPARE(Button("Command3")->text(), QString("Preview"));
    QCOMPARE(Text2()->text(), QString("Please Wait!!"));
    QCOMPARE(End()->text().remove(u'&'), QString("END"));
    QVERIFY(window_->isMaximized());
    QVERIFY(Choosing());
    QVERIFY(Text1()->isReadOnly());
  }

  void layoutFollowsTheSectionOrder() {
    // Top to bottom: Program S1, S2, Train Data 1, 2, Test Data 1, Weights, Node Values, Structure.
    const int column[] = {1, 2, 3, 4, 8, 5, 6, 7};
    for (int k = 1; k < 8; ++k) {
      const QRect above = Check(column[k - 1])->geometry();
      const QRect below = Check(column[k])->geometry();
      QVERIFY2(above.bottom() < below.top(), qPrintable(Check(column[k])->text()));
      QCOMPARE(above.left(), below.left());
    }
    // Preview above Print, the notice between them, all left of the boxes.
    Text2()->show();
    const auto rectOf = [this](QWidget* w) {
      return QRect(w->mapTo(window_, QPoint(0, 0)), w->size());
    };
    const QRect preview = rectOf(Button("Command3"));
    const QRect wait = rectOf(Text2());
    const QRect print = rectOf(Button("Command1"));
    QVERIFY(preview.bottom() < wait.top());
    QVERIFY(wait.bottom() < print.top());
    QVERIFY(preview.right() < rectOf(Check(1)).left());
    // The preview area covers every one of them.
    const QRect area = rectOf(Text1());
    for (QWidget* w : {static_cast<QWidget*>(Button("Command1")),
                       static_cast<QWidget*>(Button("Command3")), static_cast<QWidget*>(Text2()),
                       static_cast<QWidget*>(Check(1)), static_cast<QWidget*>(Check(7))}) {
      QVERIFY(area.contains(rectOf(w)));
    }
  }

  void presetTicksWeightsOnlyAndLeavesTestData() {
    for (const bool testData : {false, true}) {
      Tick({1, 2, 3, 4, 6, 7});
      Check(8)->setChecked(testData);
      window_->PresetChoices();
      for (int n = 1; n <= 7; ++n) QCOMPARE(Check(n)->isChecked(), n == 5);
      QCOMPARE(Check(8)->isChecked(), testData);
    }
  }

  void previewShowsTheListingUntilEnd() {
    Tick({1, 2, 3, 4, 5, 6, 7, 8});
    QTest::mouseClick(Button("Command3"), Qt::LeftButton);
    QCOMPARE(ws_.ListDestination.Value(), 1.0);
    QVERIFY(window_->isVisible());
    QVERIFY(Text1()->isVisible());
    QVERIFY(Text1()->isEnabled());
    QVERIFY(!Text2()->isVisible());
    for (int n = 1; n <= 8; ++n) QVERIFY(!Check(n)->isVisible());
    QVERIFY(!Button("Command1")->isVisible() && !Button("Command1")->isEnabled());
    QVERIFY(!Button("Command3")->isVisible() && !Button("Command3")->isEnabled());
    QCOMPARE(Text1()->toPlainText().toStdString(), WithLineEnds(SamplePreview(), "\n"));
    QCOMPARE(main_.Shown(), 0);

    End()->trigger();
    QVERIFY(!window_->isVisible());
    QCOMPARE(main_.Shown(), 1);
    window_->ShowForListing();
    QVERIFY(Choosing());
  }

  void ticksStayAndANewPreviewReplacesTheOld() {
    Tick({2, 7, 8});
    QTest::mouseClick(Button("Command3"), Qt::LeftButton);
    End()->trigger();
    window_->ShowForListing();
    for (int n = 1; n <= 8; ++n) QCOMPARE(Check(n)->isChecked(), n == 2 || n == 7 || n == 8);

    Tick({});
    QTest::mouseClick(Button("Command3"), Qt::LeftButton);
    QCOMPARE(Text1()->toPlainText(), QString("\n\n\n"));
  }

  void typedKeysChangeNothingButTheViewStillMoves() {
    Tick({1, 5});
    QTest::mouseClick(Button("Command3"), Qt::LeftButton);
    const QString before = Text1()->toPlainText();
    QTest::keyClicks(Text1(), "abc 123");
    for (const Qt::Key key : {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Return, Qt::Key_Tab}) {
      QTest::keyClick(Text1(), key);
    }
    QTest::keyClick(Text1(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(Text1()->toPlainText(), before);

    Text1()->moveCursor(QTextCursor::Start);
    QTest::keyClick(Text1(), Qt::Key_Down);
    QCOMPARE(Text1()->textCursor().blockNumber(), 1);
    QTest::keyClick(Text1(), Qt::Key_End, Qt::ShiftModifier);
    QCOMPARE(Text1()->textCursor().selectedText(), QString("NETLIST=2,3,1"));
  }

  void closeBoxReturnsAndDestroysTheWindow() {
    QTest::mouseClick(Button("Command3"), Qt::LeftButton);
    QVERIFY(window_->close());
    QCOMPARE(main_.Shown(), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(window_.isNull());
  }

  void printWithoutPrinterWritesAFreshPdf() {
    if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("a default printer is set up here");
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    QFile existing(folder.filePath("NetData.pdf"));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("not to be overwritten");
    existing.close();

    Tick({1, 2, 3, 4, 5, 6, 7, 8});
    QTest::mouseClick(Button("Command1"), Qt::LeftButton);
    QDir::setCurrent(previous);

    QCOMPARE(ws_.ListDestination.Value(), 0.0);
    QVERIFY(!window_->isVisible());
    QCOMPARE(main_.Shown(), 1);
    QVERIFY(dialogs_.warnings.isEmpty());
    QCOMPARE(dialogs_.informations.size(), 1);
    const QString written = folder.filePath("NetData-2.pdf");
    QVERIFY2(dialogs_.informations[0].contains(QDir::toNativeSeparators(written)),
             qPrintable(dialogs_.informations[0]));
    QVERIFY(existing.open(QIODevice::ReadOnly));
    QCOMPARE(existing.readAll(), QByteArray("not to be overwritten"));

    const QString text = PdfText(written);
    QVERIFY(text.contains("PROGRAM #1"));
    QVERIFY(text.contains("NET STRUCTURE"));

    window_->ShowForListing();
    QVERIFY(Choosing());
    for (int n = 1; n <= 8; ++n) QVERIFY(Check(n)->isChecked());
  }

  void printerFailureIsReportedAndTheProgramGoesOn() {
    if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("a default printer is set up here");
    const QString previous = QDir::currentPath();
    {
      // A working folder that vanished: the PDF cannot be written.
      QTemporaryDir folder;
      QDir::setCurrent(folder.path());
    }
    QTest::mouseClick(Button("Command1"), Qt::LeftButton);
    QDir::setCurrent(previous);
    QCOMPARE(dialogs_.warnings.size(), 1);
    QVERIFY(dialogs_.warnings[0].startsWith("TEBO: UNABLE TO PRINT"));
    QVERIFY(dialogs_.informations.isEmpty());
    QVERIFY(!window_->isVisible());
    QCOMPARE(main_.Shown(), 1);
  }

  void netBeyondTheTablesIsReportedNotFatal() {
    ws_.LayerCount = 11;
    for (int layer = 1; layer <= 10; ++layer) ws_.LayerSizes(layer) = 1;
    Tick({7});
    QTest::mouseClick(Button("Command3"), Qt::LeftButton);
    QCOMPARE(dialogs_.warnings, QStringList{"TEBO: UNABLE TO LIST THE NET DATA"});
    QVERIFY(!window_->isVisible());
    QCOMPARE(main_.Shown(), 1);
  }
};

BACKPROP_QT_TEST(ListingWindowTest);
#include "test_listing_window.moc"
