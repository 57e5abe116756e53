// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's commands that open the other windows, and the way back.
#include <QtTest>

#include <QCheckBox>
#include <QMenuBar>
#include <QPlainTextEdit>

#include "engine/workspace.h"
#include "files/load_save_dialog.h"
#include "tests/support/qt_test_main.h"
#include "tests/support/window_size.h"
#include "tests/ui/main/main_window_fixture.h"
#include "ui/editor/editor_window.h"
#include "ui/listing/listing_window.h"
#include "ui/main/window_owner.h"
#include "ui/parameters/parameters_window.h"

using namespace backprop;
using backprop::testing::MainWindowFixture;

class SecondaryWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void editEntriesOpenTheEditorOnTheirBuffer_data();
  void editEntriesOpenTheEditorOnTheirBuffer();
  void editorEndComesBackOutOfDesignMode();
  void parmsAndListOpenDuringTraining();
  void listingGetsThePresetOnlyWhileItWaits();
  void loadSaveOpensTheDialog();
  void lateActivationKeepsTheMainWindowHidden_data();
  void lateActivationKeepsTheMainWindowHidden();
  void controlsStayApartInsideTheWindow_data();
  void controlsStayApartInsideTheWindow();
};

void SecondaryWindowsTest::editEntriesOpenTheEditorOnTheirBuffer_data() {
  QTest::addColumn<QString>("command");
  QTest::addColumn<int>("buffer");
  QTest::addColumn<QString>("title");
  QTest::addColumn<bool>("leavesDesignMode");
  QTest::addColumn<bool>("clearsLoadedSet");
  QTest::newRow("S1") << "pr" << 1 << "Program: Unsaved.prg" << true << false;
  QTest::newRow("S2") << "ps2" << 4 << "Program: " << false << false;
  QTest::newRow("D1") << "Tr" << 2 << "Training set: Unsaved.trn" << true << true;
  QTest::newRow("D2") << "Ta" << 3 << "Run set: Unsaved.run" << true << false;
  QTest::newRow("T1") << "testdata" << 5 << "Test set: " << true << false;
}

void SecondaryWindowsTest::editEntriesOpenTheEditorOnTheirBuffer() {
  QFETCH(QString, command);
  QFETCH(int, buffer);
  QFETCH(QString, title);
  QFETCH(bool, leavesDesignMode);
  QFETCH(bool, clearsLoadedSet);
  MainWindowFixture f;
  f.ws.TextBuffers[buffer] = "text of buffer " + std::to_string(buffer);
  f.ws.LoadedSet = 1;
  f.window.ne_Click();

  f.Action(command.toLatin1().constData())->trigger();
  EditorWindow& editor = f.window.Owner().Editor();
  QVERIFY(editor.isVisible());
  QVERIFY(!f.window.isVisible());
  QCOMPARE(editor.windowTitle(), title);
  QCOMPARE(f.ws.EditorBuffer.Value(), double(buffer));
  QCOMPARE(editor.TextArea()->toPlainText(), QString::fromStdString(f.ws.TextBuffers[buffer]));
  QCOMPARE(f.ws.DesignMode.Value(), leavesDesignMode ? 0.0 : 1.0);
  QCOMPARE(f.ws.LoadedSet.Value(), clearsLoadedSet ? 0.0 : 1.0);
}

void SecondaryWindowsTest::editorEndComesBackOutOfDesignMode() {
  MainWindowFixture f;
  f.window.ne_Click();
  f.window.ps2_Click();
  EditorWindow* editor = &f.window.Owner().Editor();
  QTest::keyClicks(editor->TextArea(), "NETLIST=3,2,2,1");
  editor->wnd_Click();
  QVERIFY(f.window.isVisible());
  QVERIFY(!editor->isVisible());
  QCOMPARE(f.ws.DesignMode.Value(), 0.0);
  QCOMPARE(f.ws.TextBuffer(BufferId::ProgramS2), std::string("NETLIST=3,2,2,1"));

  // The close box discards the editor; the next opening builds a new one.
  f.window.pr_Click();
  QPointer<EditorWindow> first = &f.window.Owner().Editor();
  first->close();
  QVERIFY(f.window.isVisible());
  f.window.pr_Click();
  QVERIFY(&f.window.Owner().Editor() != first.data());
}

void SecondaryWindowsTest::parmsAndListOpenDuringTraining() {
  MainWindowFixture f;
  f.ws.Busy = 1;
  f.Action("pms")->trigger();
  QVERIFY(f.window.Owner().Parameters().isVisible());
  QVERIFY(!f.window.isVisible());
  f.window.Owner().Parameters().ond_Click();
  QVERIFY(f.window.isVisible());

  f.window.ne_Click();  // design mode from before the run
  f.Action("li")->trigger();
  QVERIFY(f.window.Owner().Listing().isVisible());
  QVERIFY(!f.window.isVisible());
  QCOMPARE(f.ws.DesignMode.Value(), 0.0);
}

void SecondaryWindowsTest::listingGetsThePresetOnlyWhileItWaits() {
  MainWindowFixture f;  // the start-up asks for the preset
  f.window.li_Click();
  ListingWindow& listing = f.window.Owner().Listing();
  const auto ticked = [&listing](int box) {
    return listing.findChild<QCheckBox*>(QString("Check%1").arg(box))->isChecked();
  };
  QVERIFY(ticked(5));
  QVERIFY(!ticked(1) && !ticked(6) && !ticked(7));

  // After the first movement the ticks are the user's.
  QTest::mouseMove(&f.View(), f.PixelAt(5, 5));
  listing.findChild<QCheckBox*>("Check1")->setChecked(true);
  listing.ed_Click();
  f.window.Form_GotFocus();
  f.window.li_Click();
  QVERIFY(ticked(1));
}

void SecondaryWindowsTest::loadSaveOpensTheDialog() {
  MainWindowFixture f;
  f.window.ne_Click();
  f.Action("sa")->trigger();
  QVERIFY(f.window.Owner().LoadSave().isVisible());
  QVERIFY(!f.window.isVisible());
  QCOMPARE(f.ws.DesignMode.Value(), 0.0);
}

void SecondaryWindowsTest::lateActivationKeepsTheMainWindowHidden_data() {
  QTest::addColumn<QString>("command");
  for (const char* name : {"pr", "ps2", "Tr", "Ta", "testdata", "pms", "li", "sa", "he"}) {
    QTest::newRow(name) << QString(name);
  }
}

// A window system may report the activation that a closing menu gave back
// to the main window only after the command has hidden it; that must not
// bring the main window back over the window just opened.
void SecondaryWindowsTest::lateActivationKeepsTheMainWindowHidden() {
  QFETCH(QString, command);
  MainWindowFixture f;
  f.Action(command.toLatin1().constData())->trigger();
  QVERIFY(!f.window.isVisible());
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(&f.window, &activate);
  QVERIFY(!f.window.isVisible());
}

void SecondaryWindowsTest::controlsStayApartInsideTheWindow_data() {
  QTest::addColumn<QString>("command");
  QTest::addColumn<QSize>("size");
  for (const QSize size : {QSize(800, 600), QSize(1280, 800), QSize(1920, 1080)}) {
    for (const char* command : {"sa", "he", "pr", "pms", "li", "preview"}) {
      QTest::addRow("%s %dx%d", command, size.width(), size.height()) << QString(command) << size;
    }
  }
}

// On today's screens no control lies over another or past its window's
// edges, no menu entry hides behind the bar's overflow button, and the
// help text fills its window.
void SecondaryWindowsTest::controlsStayApartInsideTheWindow() {
  QFETCH(QString, command);
  QFETCH(QSize, size);
  MainWindowFixture f;
  f.Action(command == "preview" ? "li" : qPrintable(command))->trigger();
  if (command == "preview") f.window.Owner().Listing().Command3_Click();
  QWidget* window = nullptr;  // the one window shown
  for (QWidget* w : QApplication::topLevelWidgets()) window = w->isVisible() ? w : window;
  QVERIFY(QTest::qWaitForWindowActive(window) && testing::ResizeWindow(window, size));

  // The controls the user sees, not the parts they are made of.
  const auto isControl = [window](QWidget* w) {
    bool control = false;
    for (const char* kind : {"QAbstractButton", "QLineEdit", "QComboBox", "QAbstractItemView",
                             "QPlainTextEdit", "QLabel", "QMenuBar", "backprop::CanvasView"}) {
      control = control || w->inherits(kind);
    }
    return control && w->isVisibleTo(window);
  };
  QList<QRect> places;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    QWidget* up = w->parentWidget();
    while (up != window && !isControl(up)) up = up->parentWidget();
    if (up != window || !isControl(w)) continue;
    const QRect place(w->mapTo(window, QPoint()), w->size());
    QVERIFY2(window->rect().contains(place), qPrintable(w->objectName()));
    for (const QRect& other : places)
      QVERIFY2(!place.intersects(other), qPrintable(w->objectName()));
    places << place;
  }
  QVERIFY(places.size() >= 2);
  const auto* bar = window->findChild<QMenuBar*>();
  for (QAction* entry : bar ? bar->actions() : QList<QAction*>()) {
    QVERIFY2(bar->rect().contains(bar->actionGeometry(entry)), qPrintable(entry->text()));
  }
  const QWidget* help =
      command == "he" ? window->findChild<QPlainTextEdit*>()->viewport() : nullptr;
  QVERIFY(!help ||
          help->width() * help->height() >= 0.9 * size.width() * (size.height() - bar->height()));
}

BACKPROP_QT_TEST(SecondaryWindowsTest);
#include "test_secondary_windows.moc"
