// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

#include <QFontMetrics>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRegularExpression>

#include "tests/support/qt_test_main.h"
#include "tests/ui/main/main_window_fixture.h"
#include "ui/main/help_document.h"
#include "ui/main/help_window.h"
#include "ui/main/window_owner.h"

using namespace backprop;
using backprop::testing::MainWindowFixture;

class HelpWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void documentHoldsEverySection();
  void documentNamesNoMakerAddressOrPrice();
  void windowShowsTheDocumentReadOnly();
  void typedKeysChangeNothingButSelectingWorks();
  void endAndCloseBoxReturnToTheMainWindow();
  void closedWindowIsBuiltAfresh();
  void missingDocumentShowsFileNotFound();
};

void HelpWindowTest::documentHoldsEverySection() {
  const std::optional<QString> document = ReadHelpDocument(kHelpDocumentPath);
  QVERIFY(document.has_value());
  const QString& text = *document;
  QVERIFY(text.startsWith('%'));
  // About 9,600 characters, and a few lines on each dock of the View menu.
  QVERIFY2(text.size() > 9000 && text.size() < 12000, qPrintable(QString::number(text.size())));
  // Every line ends with CR LF, and nothing else ends a line.
  QCOMPARE(text.count("\r\n"), text.count('\n'));
  QCOMPARE(text.count("\r\n"), text.count('\r'));
  QVERIFY(text.contains(QRegularExpression("\r\n={40,}\r\n")));
  QVERIFY(text.contains(QRegularExpression("\r\n/{40,}\r\n")));
  QVERIFY(text.contains(QRegularExpression("\r\n\\*{40,}\r\n")));

  // The sections, in their order.
  qsizetype at = 0;
  for (const char* heading :
       {"BACKPROPAGATION", "Copyright", "INTRODUCTION", "SYSTEM REQUIREMENTS",
        "MENU OPTIONS:", "NETDESIGN", "EDIT", "PROGRAM COMMANDS", "DATA SET FORMAT",
        "RUN(S1) and RUN(S2)", "STEP", "PARMS", "LIST", "LOAD/SAVE", "HELP", "END",
        "DEMONSTRATION PROGRAMS", "SUGGESTED ACTIVITIES"}) {
    const qsizetype found = text.indexOf(heading, at);
    QVERIFY2(found >= 0, heading);
    at = found;
  }
  for (const char* keyword : {"INITW=1",          "INITW=2",
                              "INITW=3",          "WSEED=5 (*)",
                              "TRAIN=1",          "TRAIN=2",
                              "DISPLAY",          "SHOW=10 (*)",
                              "TRAINMAX=50 (*)",  "ANALOG=1 (*)",
                              "ANALOG=2 (*)",     "ERRTEST=1 (*)",
                              "ERRTEST=0 (*)",    "FUNCTION=1 (*)",
                              "FUNCTION=4 (*)",   "NETLIST=3,2,3,2",
                              "BIASLIST=1,0,0",   "IRANGE=3,88 (*)",
                              "ORANGE=-10,0 (*)", "EPSILON=.02 (*)",
                              "\r\n   (*) ",      "DEMO",
                              "EQUATIONS",        "NETLIST=2,3,1",
                              "transient file"}) {
    QVERIFY2(text.contains(keyword), keyword);
  }
  QVERIFY(text.contains(
      QRegularExpression("\r\n +4\r\n +-1,-1,-1\r\n +-1,1,1\r\n +1,-1,1\r\n +1,1,-1\r\n")));
}

void HelpWindowTest::documentNamesNoMakerAddressOrPrice() {
  const QString text = ReadHelpDocument(kHelpDocumentPath).value();
  for (const char* forbidden : {"$", "Phone", "phone", "Tel.", "Inc.", "Ltd", "Street", "P.O."}) {
    QVERIFY2(!text.contains(forbidden), forbidden);
  }
  QVERIFY(!text.contains(QRegularExpression("\\(\\d{3}\\)\\s*\\d{3}-\\d{4}")));
}

void HelpWindowTest::windowShowsTheDocumentReadOnly() {
  MainWindowFixture f;
  f.Action("he")->trigger();
  HelpWindow* help = f.window.Owner().ExistingHelp();
  QVERIFY(help != nullptr);
  QVERIFY(QTest::qWaitForWindowExposed(help));
  QVERIFY(!f.window.isVisible());
  QCOMPARE(help->windowTitle(), QString("Form6"));
  const QList<QAction*> menu = help->menuBar()->actions();
  QCOMPARE(menu.size(), 1);
  QCOMPARE(menu.first()->text().remove(u'&'), QString("END"));
  QCOMPARE(menu.first()->objectName(), QString("nutron"));

  QPlainTextEdit& text = help->DocumentArea();
  QVERIFY(text.isReadOnly());
  QVERIFY(text.font().bold());
  QCOMPARE(text.font().pointSizeF(), 9.75);
  // Fixed width: aligned columns stay aligned.
  const QFontMetrics metrics(text.font());
  QCOMPARE(metrics.horizontalAdvance("iiii"), metrics.horizontalAdvance("WWWW"));
  QVERIFY(text.toPlainText().startsWith('%'));
  QVERIFY(text.toPlainText().contains("SUGGESTED ACTIVITIES"));
  QVERIFY(!text.toPlainText().contains('\r'));
}

void HelpWindowTest::typedKeysChangeNothingButSelectingWorks() {
  MainWindowFixture f;
  f.window.he_Click();
  QPlainTextEdit& text = f.window.Owner().ExistingHelp()->DocumentArea();
  text.setFocus();
  const QString before = text.toPlainText();
  QTest::keyClicks(&text, "abc 123");
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Tab}) {
    QTest::keyClick(&text, key);
  }
  QCOMPARE(text.toPlainText(), before);

  QTest::keyClick(&text, Qt::Key_Home, Qt::ControlModifier);
  QTest::keyClick(&text, Qt::Key_Down);
  QCOMPARE(text.textCursor().blockNumber(), 1);
  QTest::keyClick(&text, Qt::Key_End, Qt::ShiftModifier);
  QVERIFY(text.textCursor().selectedText().startsWith("////"));
  QTest::keyClick(&text, Qt::Key_PageDown);
  QVERIFY(text.textCursor().blockNumber() > 2);
}

void HelpWindowTest::endAndCloseBoxReturnToTheMainWindow() {
  MainWindowFixture f;
  f.window.he_Click();
  HelpWindow* help = f.window.Owner().ExistingHelp();
  QVERIFY(QTest::qWaitForWindowExposed(help));
  help->menuBar()->actions().first()->trigger();
  QVERIFY(!help->isVisible());
  QVERIFY(f.window.isVisible());
  // END only hides: the same window comes back.
  f.window.he_Click();
  QCOMPARE(f.window.Owner().ExistingHelp(), help);

  help->close();
  QVERIFY(!help->isVisible());
  QVERIFY(f.window.isVisible());
}

void HelpWindowTest::closedWindowIsBuiltAfresh() {
  MainWindowFixture f;
  f.window.he_Click();
  QPointer<HelpWindow> first = f.window.Owner().ExistingHelp();
  first->DocumentArea().moveCursor(QTextCursor::End);
  first->close();
  // Forgotten at once, deleted with the next pass of the event loop.
  QVERIFY(f.window.Owner().ExistingHelp() == nullptr);
  f.window.he_Click();
  HelpWindow* second = f.window.Owner().ExistingHelp();
  QVERIFY(second != nullptr && second != first.data());
  QCOMPARE(second->DocumentArea().textCursor().position(), 0);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(first.isNull());
  QVERIFY(second->isVisible());
}

void HelpWindowTest::missingDocumentShowsFileNotFound() {
  QVERIFY(!ReadHelpDocument("/nonexistent/help.txt").has_value());
  MainWindowFixture f;
  f.window.Owner().SetHelpDocumentPath("/nonexistent/help.txt");
  f.window.he_Click();
  QCOMPARE(f.dialogs.warnings, QStringList({"TEBO: FILE NOT FOUND"}));
  QVERIFY(f.window.isVisible());
  QVERIFY(f.window.Owner().ExistingHelp() == nullptr);
}

BACKPROP_QT_TEST(HelpWindowTest);
#include "test_help_window.moc"
