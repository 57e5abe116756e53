// SPDX-License-Identifier: GPL-3.0-or-later
// Lessons beside the net, through the real main window: a set's note opens
// the Lesson dock, exercises and links copy and load sets without replacing
// a file unasked, the generator fills a buffer, and the curve's test line
// follows the weights.
#include <QtTest>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <fstream>

#include "engine/data_generator.h"
#include "engine/test_error.h"
#include "files/file_set.h"
#include "files/load_save_dialog.h"
#include "tests/support/nets.h"
#include "tests/support/qt_test_main.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/main/main_window_fixture.h"
#include "ui/editor/generate_data_dialog.h"
#include "ui/main/window_owner.h"
#include "ui/views/error_curve_view.h"
#include "ui/views/exercises_window.h"
#include "ui/views/lesson_docks.h"
#include "ui/views/lesson_markdown.h"
#include "ui/views/lesson_view.h"
#include "ui/views/view_docks.h"

using namespace backprop;
using backprop::testing::MainWindowFixture;
namespace fs = std::filesystem;

class LessonsTest : public QObject {
  Q_OBJECT

 private slots:
  void exercisesAndLinksCopyLoadAndAskBeforeReplacing();
  void generatorFillsTheChosenBufferAndWaitsWhileBusy();
  void curveTestLineIsTheTestSetsErrorAfterEveryCycle();
  void hostileNotesShowAsTextAndLoadNothing();
  void linksLeadingOutOfTheFolderAreRefused();
};

void LessonsTest::exercisesAndLinksCopyLoadAndAskBeforeReplacing() {
  MainWindowFixture f;
  const testing::TempFolder folder;
  const QString before = QDir::currentPath();
  QDir::setCurrent(QString::fromStdString(folder.Path().string()));
  LessonDocks& lessons = f.window.Views().Lessons();
  lessons.SetLibraryFolders({BACKPROP_EXERCISES_DIR, BACKPROP_DEMO_DIR});
  f.Action("ViewExercises")->trigger();
  QCOMPARE(lessons.Exercises()->Exercises().size(), std::size_t(13));
  lessons.Exercises()->Choose(0);
  QVERIFY(lessons.Dock()->isVisible());
  QVERIFY(lessons.View().toPlainText().startsWith("AND and OR without a hidden layer"));
  QVERIFY(fs::exists(folder / "01-AndOr.wts"));
  QCOMPARE(f.ws.FileNames[0], (folder / "01-AndOr.pr1").string());
  QCOMPARE(f.ws.LayerCount.Value(), 2.0);  // the weights file came too

  // A file of the student's is replaced only on Yes; No loads what is there.
  std::ofstream(folder / "01-AndOr.ds1", std::ios::binary) << "1\r\n1,1,1\r\n";
  for (const Answer answer : {Answer::Cancel, Answer::No, Answer::Yes}) {
    f.dialogs.askAnswers = {answer};
    f.ws.TextBuffer(BufferId::TrainingDataD1) = "kept";
    lessons.Exercises()->Choose(0);
    const std::string d1 = f.ws.TextBuffer(BufferId::TrainingDataD1);
    QCOMPARE(d1 == "kept", answer == Answer::Cancel);
    QCOMPARE(d1.starts_with("1\r\n"), answer == Answer::No);
  }
  QCOMPARE(f.dialogs.questions.size(), 3);
  QVERIFY(f.dialogs.questions[0].contains("01-AndOr.ds1"));

  // The note's link brings the next set into the folder; others are refused.
  emit lessons.View().LinkClicked("02-XorFlat");
  QCOMPARE(f.ws.FileNames[0], (folder / "02-XorFlat.pr1").string());
  QVERIFY(f.ws.LessonNote.starts_with("# XOR without"));
  emit lessons.View().LinkClicked("https://example.invalid/x");
  emit lessons.View().LinkClicked("../01-AndOr");
  QCOMPARE(f.dialogs.warnings.size(), 2);
  QCOMPARE(f.ws.FileNames[0], (folder / "02-XorFlat.pr1").string());

  // HTML in a note is shown as text; a set without a note keeps the dock.
  f.ws.LessonNote = "Say <b>hello</b> & <script>run()</script>";
  lessons.FileSetLoaded();
  QCOMPARE(lessons.View().toPlainText(), QString("Say <b>hello</b> & <script>run()</script>"));
  fs::remove(folder / "02-XorFlat.txt");
  f.ws.Busy = 1;
  emit lessons.View().LinkClicked("02-XorFlat");
  QVERIFY(!f.ws.LessonNote.empty());  // nothing loads while a run trains
  f.ws.Busy = 0;
  emit lessons.View().LinkClicked("02-XorFlat");
  QVERIFY(f.ws.LessonNote.empty());
  QVERIFY(lessons.Dock()->isVisible());
  QVERIFY(lessons.View().toPlainText().contains("no lesson note"));

  // File Control's Load brings a set's note, and the dock opens with it.
  lessons.Dock()->hide();
  LoadSaveDialog& files = f.window.Owner().LoadSave();
  const std::string typed = (folder / "01-AndOr.pr1").string();
  files.findChild<QLineEdit*>("Text6")->setText(QString::fromStdString(typed));
  files.findChild<QPushButton*>("Command1")->click();
  QVERIFY(f.ws.LessonNote.starts_with("# AND and OR"));
  QVERIFY(lessons.Dock()->isVisibleTo(&f.window));
  QDir::setCurrent(before);
}

void LessonsTest::generatorFillsTheChosenBufferAndWaitsWhileBusy() {
  MainWindowFixture f;
  f.ws.Busy = 1;
  f.Action("GenerateData")->trigger();
  QVERIFY(f.window.findChild<GenerateDataDialog*>() == nullptr);
  f.ws.Busy = 0;
  f.Action("GenerateData")->trigger();
  auto* dialog = f.window.findChild<GenerateDataDialog*>();
  QVERIFY(dialog != nullptr);
  dialog->findChild<QComboBox*>("GenerateTarget")->setCurrentIndex(2);  // T1
  dialog->findChild<QComboBox*>("GenerateShape")->setCurrentIndex(1);   // circle
  dialog->findChild<QSpinBox*>("GeneratePatterns")->setValue(37);
  f.ws.TextBuffer(BufferId::TestSetT1) = "mine";
  f.dialogs.askAnswers = {Answer::No};
  QVERIFY(!dialog->Apply());
  QCOMPARE(f.ws.TextBuffer(BufferId::TestSetT1), std::string("mine"));
  f.ws.LoadedSet = kTestSetT1;
  f.dialogs.askAnswers = {Answer::Yes};
  QVERIFY(dialog->Apply());
  QCOMPARE(f.ws.TextBuffer(BufferId::TestSetT1), GenerateData(dialog->Settings()).text);
  QCOMPARE(f.ws.LoadedSet.Value(), 0.0);

  // Typed counts and noise outside their bounds never leave them.
  auto* patterns = dialog->findChild<QSpinBox*>("GeneratePatterns");
  auto* noise = dialog->findChild<QDoubleSpinBox*>("GenerateNoise");
  for (const char* typed : {"0", "-1", "301", "99999999999", "nan", "-5", "60", "1e3", ""}) {
    for (QAbstractSpinBox* box : std::initializer_list<QAbstractSpinBox*>{patterns, noise}) {
      box->selectAll();
      QTest::keyClicks(box, typed);
      box->interpretText();
    }
    const GeneratorSettings s = dialog->Settings();
    QVERIFY2(s.patterns >= 1 && s.patterns <= kMaxPatterns, typed);
    QVERIFY2(s.noisePercent >= 0 && s.noisePercent <= kMaxNoisePercent, typed);
  }
  // Ranges the generator cannot write are refused with the reason.
  f.ws.InputRangeLow = -1e308;
  f.ws.InputRangeHigh = 1e308;
  f.dialogs.askAnswers = {Answer::Yes};
  QVERIFY(!dialog->Apply());
  QVERIFY(f.dialogs.warnings.back().contains("the input range is too wide to scale"));
}

void LessonsTest::curveTestLineIsTheTestSetsErrorAfterEveryCycle() {
  MainWindowFixture f;
  f.ws.AboutShown = 1;
  f.ws.TextBuffer(BufferId::TrainingDataD1) = testing::kExclusiveOrSet;
  f.ws.TextBuffer(BufferId::TestSetT1) = testing::kExclusiveOrSet;
  f.ws.TextBuffer(BufferId::ProgramS1) =
      std::string(testing::kExclusiveOrNet) + "EPSILON=.5\r\nERRTEST=0\r\nTRAINMAX=30\r\nTRAIN=1\r\n";
  ErrorCurveView& curve = f.window.Views().Curve();
  curve.SetTestSet(kTestSetT1);
  f.Action("TN")->trigger();
  QCOMPARE(curve.CurrentTest().Points().size(), std::size_t(29));
  QCOMPARE(curve.CurrentTest().Last().error, MeasureTestError(f.ws, kTestSetT1).error);
  QVERIFY(curve.Caption().contains(" of 4 right)"));
  QVERIFY(curve.Csv().starts_with("train,trial,error,test_error\n"));
  curve.SetTestSet(0);
  f.Action("TN")->trigger();
  QVERIFY(curve.CurrentTest().Empty());
  QVERIFY(curve.Csv().starts_with("train,trial,error\n"));
}

// HTML anywhere in a note shows as written, a picture as its name: the
// note's file on disk is never read, however the Markdown around it looks.
void LessonsTest::hostileNotesShowAsTextAndLoadNothing() {
  const testing::TempFolder folder;
  const std::string png = (folder / "red.png").string();
  QImage red(8, 8, QImage::Format_RGB32);
  red.fill(Qt::red);
  QVERIFY(red.save(QString::fromStdString(png)));
  const std::string over(kLargestRenderedNote, 'x');
  const struct {
    std::string note;
    QString shown;
  } cases[] = {
      {"Text\n    <b>lazy</b> line", "<b>lazy</b>"},
      {"- item\n\n    <b>in</b> item", "<b>in</b>"},
      {"a ` <b>lone tick</b>", "<b>lone tick</b>"},
      {"``a`b`` <b>double</b>", "<b>double</b>"},
      {"````\n```\n````\n<b>after fences</b>", "<b>after fences</b>"},
      {"~~~\n<b>tilde code</b>\n~~~", "<b>tilde code</b>"},
      {"<img src=\"" + png + "\"> <!-- c --> <iframe src=\"http://h/\">",
       "<img src=\"" + QString::fromStdString(png) + "\"> <!-- c -->"},
      {"![pic](" + png + ") [![in link](" + png + ")](02-Next)",
       "[picture: " + QString::fromStdString(png) + "]"},
      {"<script>run()</script>\n\n<div>block</div>", "<script>run()</script>\n<div>block</div>"},
      {"bad \xff\xfe UTF-8", "bad \uFFFD\uFFFD UTF-8"},
      {std::string("N\0UL", 4), "UL"},
      {over + " <b>plain</b> ![p](" + png + ")", "<b>plain</b> ![p]("},
      {std::string(200000, 'x'), "xxxx"},
  };
  LessonView view;
  view.resize(400, 300);
  view.show();
  for (const auto& c : cases) {
    view.ShowNote(c.note);
    const QString shown = view.toPlainText().remove(QChar(0x200B));
    QVERIFY2(shown.contains(c.shown), qPrintable(shown.left(200)));
    const bool plain = shown.startsWith("This note is longer than 8 KiB");
    QCOMPARE(plain, c.note.size() > kLargestRenderedNote);
    view.grab();  // laid out and painted
    const QUrl url = QUrl::fromLocalFile(QString::fromStdString(png));
    QVERIFY(view.document()->resource(QTextDocument::ImageResource, url).toByteArray().isEmpty());
  }
}

void LessonsTest::linksLeadingOutOfTheFolderAreRefused() {
  MainWindowFixture f;
  const testing::TempFolder folder;
  fs::create_directory(folder / "sub");
  for (const char* extension : kFileSetExtensions) {
    std::ofstream(folder / (std::string("sub/x") + extension)) << "1\r\n";
  }
  f.ws.FileNames = FileSetNames((folder / "Here").string());
  const QString links[] = {"../x", "/etc/passwd", "sub/x", "sub\\x", "..", ".", ".x",
                           "file:///etc/passwd", "http://h/x", "x?y", "x#y", "C:x", "a\nb",
                           "%2e%2e%2fsub%2fx", QString(10000, 'a'), " "};
  for (const QString& link : links) {
    f.dialogs.warnings.clear();
    emit f.window.Views().Lessons().View().LinkClicked(link);
    QCOMPARE(f.dialogs.warnings.size(), 1);
    QVERIFY2(f.dialogs.warnings[0].size() < 400, qPrintable(link.left(40)));
    QCOMPARE(f.ws.FileNames[0], (folder / "Here.pr1").string());
  }
}

BACKPROP_QT_TEST(LessonsTest);
#include "test_lessons.moc"
