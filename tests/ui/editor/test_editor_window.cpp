// SPDX-License-Identifier: GPL-3.0-or-later
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QtTest>

#include "engine/interpreter.h"
#include "engine/workspace.h"
#include "tests/support/fake_main_window.h"
#include "tests/support/qt_test_main.h"
#include "tests/support/recording_canvas.h"
#include "ui/common/maximise.h"
#include "ui/editor/editor_window.h"
#include "ui/editor/pause_timer.h"

using namespace backprop;
using backprop::testing::FakeMainWindow;

namespace {

// Opens the editor the way the main window's Edit entries do.
EditorWindow* Open(Workspace& ws, FakeMainWindow& main, BufferId id,
                   EditorWindow* editor = nullptr) {
  if (!editor) editor = new EditorWindow(ws, main);
  editor->setWindowTitle(EditorWindow::TitleFor(ws, id));
  ws.EditorBuffer = static_cast<int>(id);
  ShowMaximised(editor);
  editor->ShowBufferText();
  return editor;
}

void Trigger(EditorWindow* editor, const char* entry) {
  QAction* action = editor->findChild<QAction*>(entry);
  QVERIFY2(action, entry);
  action->trigger();
}

// Types at the end of the text, as the user would.
void TypeAtEnd(EditorWindow* editor, const QString& text) {
  editor->TextArea()->moveCursor(QTextCursor::End);
  editor->TextArea()->insertPlainText(text);
}

QByteArray Bytes(const std::string& s) {
  return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

QStringList Texts(const QListWidget* list) {
  QStringList texts;
  for (int row = 0; row < list->count(); ++row) texts << list->item(row)->text();
  return texts;
}

// A pause that ends when the test says so.
class ManualPause : public PauseTimer {
  Q_OBJECT

 public:
  bool waiting = false;
  void Restart() override { waiting = true; }
  void Stop() override { waiting = false; }
  void End() {
    waiting = false;
    emit Elapsed();
  }
};

}  // namespace

class EditorWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    ws_ = Workspace{};
    ApplyDefaults(ws_);
    main_ = std::make_unique<FakeMainWindow>(&ws_);
  }
  void cleanup() {
    delete editor_;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  void textAreaIsFixedWidthWithUndo() {
    editor_ = new EditorWindow(ws_, *main_);
    const QFontMetricsF metrics(editor_->TextArea()->font());
    QCOMPARE(metrics.horizontalAdvance('i'), metrics.horizontalAdvance('W'));
    QVERIFY(editor_->TextArea()->isUndoRedoEnabled());
  }

  // The title of every buffer, the same from the main window and from the
  // editor's own menu.
  void titlesNameTheBuffer_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("title");
    QTest::newRow("S1") << 1 << "am"
                        << "Program: Unsaved.prg";
    QTest::newRow("S2 has no name") << 4 << "pos2"
                                    << "Program: ";
    QTest::newRow("D1") << 2 << "ng"
                        << "Training set: Unsaved.trn";
    QTest::newRow("D2") << 3 << "un"
                        << "Run set: Unsaved.run";
    QTest::newRow("T1 without a name") << 5 << "tq"
                                       << "Test set: ";
  }
  void titlesNameTheBuffer() {
    QFETCH(int, id);
    QFETCH(QString, entry);
    QFETCH(QString, title);
    QCOMPARE(EditorWindow::TitleFor(ws_, static_cast<BufferId>(id)), title);
    editor_ = Open(ws_, *main_, BufferId::ProgramS1);
    Trigger(editor_, entry.toLatin1().constData());
    QCOMPARE(editor_->windowTitle(), title);
    QCOMPARE(ws_.EditorBuffer.Value(), static_cast<double>(id));
  }

  void editsSurviveSwitchingBuffers() {
    ws_.TextBuffer(BufferId::ProgramS1) = "NETLIST=2,2,1\r\n";
    ws_.TextBuffer(BufferId::TrainingDataD1) = "1\r\n";
    ws_.LoadedSet = 1;
    editor_ = Open(ws_, *main_, BufferId::ProgramS1);
    TypeAtEnd(editor_, "TRAIN=1\n");
    Trigger(editor_, "ng");
    QCOMPARE(editor_->TextArea()->toPlainText(), QString("1\n"));
    TypeAtEnd(editor_, "0,0,0");
    Trigger(editor_, "am");
    QCOMPARE(editor_->TextArea()->toPlainText(), QString("NETLIST=2,2,1\nTRAIN=1\n"));
    QCOMPARE(ws_.TextBuffer(BufferId::TrainingDataD1), std::string("1\r\n0,0,0"));
    QCOMPARE(ws_.LoadedSet.Value(), 1.0);  // only the main window's command clears it
    QVERIFY(!main_->calls.contains("ShowMainWindow"));
  }

  void switchingToTheShownBufferStoresAndShowsItAgain() {
    ws_.TextBuffer(BufferId::TestSetT1) = "2\r\n";
    editor_ = Open(ws_, *main_, BufferId::TestSetT1);
    TypeAtEnd(editor_, "1,1");
    Trigger(editor_, "tq");
    QCOMPARE(ws_.TextBuffer(BufferId::TestSetT1), std::string("2\r\n1,1"));
    QCOMPARE(editor_->TextArea()->toPlainText(), QString("2\n1,1"));
    QCOMPARE(editor_->windowTitle(), QString("Test set: "));
  }

  void endStoresLeavesDesignModeAndShowsTheMainWindow() {
    ws_.DesignMode = 1;
    editor_ = Open(ws_, *main_, BufferId::ProgramS2);
    TypeAtEnd(editor_, "INITW=2");
    Trigger(editor_, "wnd");
    QCOMPARE(ws_.TextBuffer(BufferId::ProgramS2), std::string("INITW=2"));
    QCOMPARE(ws_.DesignMode.Value(), 0.0);
    QVERIFY(!editor_->isVisible());
    QCOMPARE(main_->calls.filter("ShowMainWindow").size(), 1);
    QVERIFY(main_->calls.indexOf("LeaveDesignMode") < main_->calls.indexOf("ShowMainWindow"));
    // Hidden, not destroyed: the next opening reuses it.
    Open(ws_, *main_, BufferId::ProgramS2, editor_);
    QCOMPARE(editor_->TextArea()->toPlainText(), QString("INITW=2"));
  }

  void closeBoxKeepsTheEditsAndDestroysTheWindow() {
    editor_ = Open(ws_, *main_, BufferId::TrainingDataD2);
    TypeAtEnd(editor_, "3\n");
    QPointer<EditorWindow> watched(editor_);
    QVERIFY(editor_->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(watched.isNull());
    editor_ = nullptr;
    QCOMPARE(ws_.TextBuffer(BufferId::TrainingDataD2), std::string("3\r\n"));
    QCOMPARE(main_->calls, QStringList({"LeaveDesignMode", "ShowMainWindow"}));
    // The next opening builds a new window, which loads the named buffer.
    editor_ = new EditorWindow(ws_, *main_);
    QCOMPARE(editor_->TextArea()->toPlainText(), QString("3\n"));
  }

  void firstCreationShowsTheNamedBufferOrNothing_data() {
    QTest::addColumn<bool>("set");
    QTest::addColumn<double>("code");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("storedD2");
    QTest::newRow("unset") << false << 0.0 << QString() << "d2";
    QTest::newRow("D2") << true << 3.0 << QString("d2") << "typed d2";
    QTest::newRow("no such buffer") << true << 6.0 << QString() << "d2";
    QTest::newRow("not a whole code") << true << 1.5 << QString() << "d2";
  }
  void firstCreationShowsTheNamedBufferOrNothing() {
    QFETCH(bool, set);
    QFETCH(double, code);
    QFETCH(QString, shown);
    QFETCH(QString, storedD2);
    for (int id = 1; id <= 5; ++id) ws_.TextBuffers[id] = id == 3 ? "d2" : "other";
    if (set) ws_.EditorBuffer = code;
    editor_ = new EditorWindow(ws_, *main_);
    QCOMPARE(editor_->TextArea()->toPlainText(), shown);
    QVERIFY(editor_->windowState() & Qt::WindowMaximized);
    // Leaving stores into the named buffer only; with none named, nowhere.
    editor_->TextArea()->insertPlainText("typed ");
    editor_->wnd_Click();
    QCOMPARE(QString::fromStdString(ws_.TextBuffer(BufferId::TrainingDataD2)), storedD2);
    for (int id : {1, 2, 4, 5}) QCOMPARE(ws_.TextBuffers[id], std::string("other"));
  }

  // Whatever a buffer holds, passing through the editor without an edit
  // leaves every byte as it was.
  void unchangedTextComesBackByteForByte_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("crlf") << QByteArray("NETLIST=2,2\r\nTRAIN=1\r\n");
    QTest::newRow("lone lf") << QByteArray("a\nb\n");
    QTest::newRow("lone cr") << QByteArray("a\rb\r");
    QTest::newRow("mixed") << QByteArray("a\r\nb\nc\rd");
    QTest::newRow("invalid utf-8") << QByteArray("caf\xe9\r\n\xff");
    QTest::newRow("byte order mark") << QByteArray("\xef\xbb\xbfx\r\n");
    QTest::newRow("no-break space") << QByteArray(
        "a\xc2\xa0"
        "b");
    QTest::newRow("paragraph separator") << QByteArray(
        "a\xe2\x80\xa9"
        "b");
  }
  void unchangedTextComesBackByteForByte() {
    QFETCH(QByteArray, bytes);
    ws_.TextBuffer(BufferId::ProgramS1) = bytes.toStdString();
    editor_ = Open(ws_, *main_, BufferId::ProgramS1);
    Trigger(editor_, "am");
    Trigger(editor_, "ng");
    Trigger(editor_, "am");
    // Typed and taken back again: the same text, so still no change.
    TypeAtEnd(editor_, "x");
    editor_->TextArea()->textCursor().deletePreviousChar();
    Trigger(editor_, "wnd");
    QCOMPARE(Bytes(ws_.TextBuffer(BufferId::ProgramS1)), bytes);
  }

  // An edited text is stored whole with CR LF, whatever line ends it had.
  void editedTextIsStoredWithCrLf() {
    ws_.TextBuffer(BufferId::TrainingDataD1) = "2\n0,1\r1,0";
    editor_ = Open(ws_, *main_, BufferId::TrainingDataD1);
    QTest::keyClicks(editor_->TextArea(), "X");
    Trigger(editor_, "wnd");
    QCOMPARE(ws_.TextBuffer(BufferId::TrainingDataD1), std::string("X2\r\n0,1\r\n1,0"));
  }

  void textAreaLosingFocusOnlyLeavesDesignMode() {
    ws_.DesignMode = 1;
    ws_.TextBuffer(BufferId::ProgramS1) = "old";
    editor_ = Open(ws_, *main_, BufferId::ProgramS1);
    TypeAtEnd(editor_, " new");
    editor_->Text1_LostFocus();
    QCOMPARE(main_->calls, QStringList({"LeaveDesignMode"}));
    QCOMPARE(ws_.DesignMode.Value(), 0.0);
    QCOMPARE(ws_.TextBuffer(BufferId::ProgramS1), std::string("old"));
    QVERIFY(editor_->isVisible());
    QCOMPARE(editor_->TextArea()->toPlainText(), QString("old new"));
  }

  void undoStaysWithinOneBuffer() {
    ws_.TextBuffer(BufferId::ProgramS1) = "s1";
    ws_.TextBuffer(BufferId::ProgramS2) = "s2";
    editor_ = Open(ws_, *main_, BufferId::ProgramS1);
    TypeAtEnd(editor_, "!");
    editor_->TextArea()->undo();
    QCOMPARE(editor_->TextArea()->toPlainText(), QString("s1"));
    editor_->TextArea()->redo();
    Trigger(editor_, "pos2");
    editor_->TextArea()->undo();
    QCOMPARE(editor_->TextArea()->toPlainText(), QString("s2"));
    QCOMPARE(ws_.TextBuffer(BufferId::ProgramS1), std::string("s1!"));
  }

  // A shown buffer is checked at once, a typed one after the pause; a
  // click on a warning goes to its line, and a text without any hides the
  // list. The text itself is stored back as ever.
  void warningsFollowThePauseAndLeadToTheirLine() {
    ws_.TextBuffer(BufferId::ProgramS1) = "NETLIST=2,2,1\r\nEPSILN=.5\r\n";
    auto* pause = new ManualPause;
    editor_ = Open(ws_, *main_, BufferId::ProgramS1, new EditorWindow(ws_, *main_, nullptr, pause));
    QListWidget* list = editor_->WarningList();
    const QString epsilon = "Line 2: EPSILN: not a keyword; did you mean EPSILON?";
    QCOMPARE(Texts(list), QStringList({epsilon}));
    QVERIFY(!pause->waiting);
    TypeAtEnd(editor_, "TRAINMX=9");
    QVERIFY(pause->waiting);
    QCOMPARE(list->count(), 1);
    pause->End();
    QCOMPARE(Texts(list),
             QStringList({epsilon, "Line 3: TRAINMX: not a keyword; did you mean TRAINMAX?"}));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    QCOMPARE(editor_->TextArea()->textCursor().blockNumber(), 2);
    QCOMPARE(editor_->TextArea()->textCursor().positionInBlock(), 0);

    Trigger(editor_, "ng");  // an empty D1
    QVERIFY(list->isHidden());
    TypeAtEnd(editor_, "3\n1,1,1");
    pause->End();
    QCOMPARE(Texts(list), QStringList({"Line 1: declares 3 patterns, holds 1 whole pattern; a "
                                       "pattern is 2 inputs and 1 desired output"}));
    QVERIFY(!list->isHidden());
    Trigger(editor_, "wnd");
    QCOMPARE(ws_.TextBuffer(BufferId::TrainingDataD1), std::string("3\r\n1,1,1"));
    QCOMPARE(ws_.TextBuffer(BufferId::ProgramS1),
             std::string("NETLIST=2,2,1\r\nEPSILN=.5\r\nTRAINMX=9"));
  }

  // After "End", Run(S1) runs the text as edited.
  void runS1RunsTheEditedProgram() {
    editor_ = Open(ws_, *main_, BufferId::ProgramS1);
    TypeAtEnd(editor_, "NETLIST=3,2,3,1\nBIASLIST=1,0,0\nEPSILON=.25\n");
    Trigger(editor_, "wnd");
    testing::ScriptedHost host;
    ws_.RunMode = 1;
    RunProgram(ws_, host);
    QVERIFY(host.warnings.empty());
    QCOMPARE(ws_.LayerCount.Value(), 3.0);
    QCOMPARE(ws_.LayerSizes(2).Value(), 3.0);
    QCOMPARE(ws_.LayerSizes(3).Value(), 1.0);
    QCOMPARE(ws_.BiasFlags(1).Value(), 1.0);
    QCOMPARE(ws_.Epsilon.Value(), 0.25);
  }

 private:
  Workspace ws_;
  std::unique_ptr<FakeMainWindow> main_;
  EditorWindow* editor_ = nullptr;
};

BACKPROP_QT_TEST(EditorWindowTest);
#include "test_editor_window.moc"
