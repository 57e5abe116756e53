// SPDX-License-Identifier: GPL-3.0-or-later
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "engine/workspace.h"
#include "files/directory_list.h"
#include "files/load_save_dialog.h"
#include "files/text_file.h"
#include "files/weights_file.h"
#include "tests/support/fake_main_window.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/qt_test_main.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/window_size.h"

using namespace backprop;
using backprop::testing::FakeMainWindow;
using backprop::testing::ScriptedDialogs;

namespace {

const std::array<const char*, kFileSetRows> kRowTextNames{"Text1", "Text2", "Text3",
                                                          "text4", "Text7", "Text5"};
const std::array<const char*, kFileSetRows> kRowCheckNames{"Check1", "Check2", "Check3",
                                                           "Check4", "Check6", "Check5"};

std::string Std(const QString& path) { return path.toStdString(); }

// Writes a whole set: each text row holds its extension and a tag, the
// weights file a one-layer net whose size is the tag number.
void WriteSet(const QString& base, const std::string& tag, int size) {
  for (int row = 0; row < kFileSetRows - 1; ++row) {
    ReplaceFileContents(Std(base) + kFileSetExtensions[row],
                        tag + kFileSetExtensions[row] + "\r\n");
  }
  ReplaceFileContents(Std(base) + ".wts",
                      "1\r\n" + std::to_string(size) + "\r\n0\r\n1\r\n-1\r\n1\r\n-1\r\n1\r\n1\r\n");
}

// The title and the first line of each box.
QStringList FirstLines(const QStringList& boxes) {
  QStringList lines;
  for (const QString& box : boxes) lines << box.section(u'\n', 0, 0);
  return lines;
}

}  // namespace

class LoadSaveDialogTest : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> folder_;
  QString previousDirectory_;
  Workspace ws_;
  FakeMainWindow main_;
  ScriptedDialogs dialogs_;
  QPointer<LoadSaveDialog> dialog_;

  QString Path(const QString& name) const { return folder_->filePath(name); }
  template <typename T>
  T* Control(const char* name) const {
    T* control = dialog_->findChild<T*>(name);
    if (!control) qFatal("no control %s", name);
    return control;
  }
  QLineEdit* Text6() const { return Control<QLineEdit>("Text6"); }
  QString RowText(int row) const { return Control<QLineEdit>(kRowTextNames[row])->text(); }
  void Press(const char* button) { Control<QPushButton>(button)->click(); }
  const std::string& Buffer(BufferId id) const { return ws_.TextBuffer(id); }

 private slots:
  // Every test starts in an empty working directory with a fresh dialog.
  void init() {
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(folder_->isValid());
    previousDirectory_ = QDir::currentPath();
    QVERIFY(QDir::setCurrent(folder_->path()));
    ws_ = Workspace();
    ApplyDefaults(ws_);
    main_ = FakeMainWindow();
    dialogs_ = ScriptedDialogs();
    dialog_ = new LoadSaveDialog(ws_, main_, dialogs_);
  }
  void cleanup() {
    delete dialog_;
    QDir::setCurrent(previousDirectory_);
    folder_.reset();
  }

  void opensOnTheDemoSetInTheWorkingDirectory() {
    QCOMPARE(dialog_->windowTitle(), QString("File Control"));
    QVERIFY(dialog_->isVisible());
    QCOMPARE(dialog_->FileListDirectory(), QDir::currentPath());
    const QStringList expected{"Program (.pr1): Demo.pr1", "Program (.pr2): Demo.pr2",
                               "Data (.ds1): Demo.ds1",    "Data (.ds2): Demo.ds2",
                               "Test (.qs1): Demo.qs1",    "Weights (.wts): Demo.wts"};
    for (int row = 0; row < kFileSetRows; ++row) {
      QCOMPARE(RowText(row), expected[row]);
      QVERIFY(Control<QCheckBox>(kRowCheckNames[row])->isChecked());
      QVERIFY(Control<QCheckBox>(kRowCheckNames[row])->text().isEmpty());
    }
    QCOMPARE(ws_.FileNames[0], std::string("Demo.pr1"));
    QCOMPARE(ws_.FileNames[5], std::string("Demo.wts"));
    QVERIFY(Text6()->text().isEmpty());
    QCOMPARE(Control<QPushButton>("Command1")->text(), QString("Load"));
    QCOMPARE(Control<QPushButton>("Command2")->text(), QString("Save"));
    QCOMPARE(Control<QPushButton>("Command3")->text(), QString("Exit"));
    QCOMPARE(Control<QLabel>("Label1")->text(), QString("File Name:"));
  }

  void placesControlsByTwipsAtTheScreensResolution() {
    const auto px = [](int twips, int dpi) { return qRound(twips * dpi / 1440.0); };
    const int dx = dialog_->logicalDpiX();
    const int dy = dialog_->logicalDpiY();
    QVERIFY(testing::ResizeWindow(dialog_, QSize(640, 460)));  // on a 640 x 480 screen
    QCOMPARE(Control<QListView>("File1")->geometry(),
             QRect(px(360, dx), px(120, dy), px(1335, dx), px(3735, dy)));
    QCOMPARE(Control<QPushButton>("Command2")->geometry(),
             QRect(px(4560, dx), px(3600, dy), px(615, dx), px(495, dy)));
    QCOMPARE(Control<QLineEdit>("Text5")->geometry().topLeft(), QPoint(px(3840, dx), px(3000, dy)));
    QCOMPARE(Control<QCheckBox>("Check5")->geometry().topLeft(),
             QPoint(px(3360, dx), px(2880, dy)));
    QVERIFY(Control<QLineEdit>("Text5")->geometry().right() < 640);
  }

  void fileListShowsLongNamesWhole() {
    const QString name = "Equations-long-name1.ds1";  // 24 characters
    ReplaceFileContents(Std(Path(name)), "");
    QVERIFY(testing::ResizeWindow(dialog_, QSize(1280, 800)));
    auto* list = Control<QListView>("File1");
    auto* model = qobject_cast<QFileSystemModel*>(list->model());
    QTRY_COMPARE(model->rowCount(list->rootIndex()), 1);
    const QFontMetrics font(list->font());
    const int scrollBar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    QVERIFY(list->width() >= font.horizontalAdvance("Equations.ds1") + scrollBar);
    const QRect item = list->visualRect(model->index(Path(name)));
    QVERIFY(item.width() >= font.horizontalAdvance(name) &&
            list->viewport()->rect().contains(item));
  }

  void loadReadsTheDemoSetAndMarksNoSetLoaded() {
    WriteSet(Path("Demo"), "demo", 3);
    ws_.LoadedSet = 1;
    Press("Command1");
    QVERIFY(dialogs_.warnings.isEmpty());
    QCOMPARE(Buffer(BufferId::ProgramS1), std::string("demo.pr1\r\n"));
    QCOMPARE(Buffer(BufferId::ProgramS2), std::string("demo.pr2\r\n"));
    QCOMPARE(Buffer(BufferId::TrainingDataD1), std::string("demo.ds1\r\n"));
    QCOMPARE(Buffer(BufferId::TrainingDataD2), std::string("demo.ds2\r\n"));
    QCOMPARE(Buffer(BufferId::TestSetT1), std::string("demo.qs1\r\n"));
    QCOMPARE(ws_.LayerCount, 1);
    QCOMPARE(ws_.LayerSizes(1), 3);
    QCOMPARE(ws_.LoadedSet, 0);
    QVERIFY(dialog_->isVisible());
  }

  // The fifth row is Check6 and the sixth Check5, as the rows are laid out.
  void uncheckedRowsAreSkipped() {
    WriteSet(Path("Demo"), "demo", 3);
    Control<QCheckBox>("Check6")->setChecked(false);  // test set
    Control<QCheckBox>("Check5")->setChecked(false);  // weights
    ws_.TextBuffer(BufferId::TestSetT1) = "mine";
    Press("Command1");
    QCOMPARE(Buffer(BufferId::TrainingDataD2), std::string("demo.ds2\r\n"));
    QCOMPARE(Buffer(BufferId::TestSetT1), std::string("mine"));
    QCOMPARE(ws_.LayerCount, 2);
  }

  void aMissingSecondFileStopsTheLoadAfterTheFirst() {
    WriteSet(Path("Demo"), "demo", 3);
    QVERIFY(QFile::remove(Path("Demo.pr2")));
    ws_.LoadedSet = 2;
    Press("Command1");
    QCOMPARE(Buffer(BufferId::ProgramS1), std::string("demo.pr1\r\n"));
    QVERIFY(Buffer(BufferId::ProgramS2).empty());
    QVERIFY(Buffer(BufferId::TrainingDataD1).empty());
    QCOMPARE(ws_.LayerCount, 2);
    QCOMPARE(ws_.LoadedSet, 0);
    QCOMPARE(dialogs_.warnings.size(), 1);
    QCOMPARE(dialogs_.warnings[0],
             "TEBO: FILE NOT FOUND\nDemo.pr2: cannot open: No such file or directory");
  }

  // The file list showed the set, then a file went away before Load.
  void aFileThatVanishesAfterBeingListedIsNotFound() {
    WriteSet(Path("gone"), "gone", 3);
    auto* list = Control<QListView>("File1");
    auto* model = qobject_cast<QFileSystemModel*>(list->model());
    QTRY_COMPARE(model->rowCount(list->rootIndex()), kFileSetRows);
    const QModelIndex listed = model->index(Path("gone.ds1"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(listed).center());
    QCOMPARE(Text6()->text(), QString("gone"));
    QVERIFY(QFile::remove(Path("gone.ds1")));
    Press("Command1");
    QCOMPARE(Buffer(BufferId::ProgramS2), std::string("gone.pr2\r\n"));
    QVERIFY(Buffer(BufferId::TrainingDataD1).empty());
    QCOMPARE(ws_.LayerCount, 2);
    QCOMPARE(FirstLines(dialogs_.warnings), QStringList{"TEBO: FILE NOT FOUND"});
  }

  void aWeightsFileThatIsADirectoryIsNotFound() {
    WriteSet(Path("Demo"), "demo", 3);
    QVERIFY(QFile::remove(Path("Demo.wts")));
    QVERIFY(QDir(folder_->path()).mkdir("Demo.wts"));
    Press("Command1");
    QCOMPARE(Buffer(BufferId::TestSetT1), std::string("demo.qs1\r\n"));
    QCOMPARE(ws_.LayerCount, 2);
    QCOMPARE(FirstLines(dialogs_.warnings), QStringList{"TEBO: FILE NOT FOUND"});

    // Saving over a directory fails and leaves it alone.
    dialogs_.warnings.clear();
    Press("Command2");
    QCOMPARE(FirstLines(dialogs_.warnings), QStringList{"TEBO: UNABLE TO SAVE FILE"});
    QVERIFY(QFileInfo(Path("Demo.wts")).isDir());
  }

  void aDamagedWeightsFileChangesNothing() {
    WriteSet(Path("Demo"), "demo", 11);
    Press("Command1");
    QCOMPARE(Buffer(BufferId::TestSetT1), std::string("demo.qs1\r\n"));  // rows before it loaded
    QCOMPARE(ws_.LayerCount, 2);
    QCOMPARE(ws_.LayerSizes(1), 2);
    QCOMPARE(FirstLines(dialogs_.warnings), QStringList{"TEBO: FILE NOT FOUND"});
    QCOMPARE(dialogs_.warnings[0].section(u'\n', 1),
             QString("Demo.wts: the size of layer 1 is 11, outside 0..10"));
  }

  // A name with a "." is taken relative to the working directory; a bare
  // name lies in the directory the lists show.
  void aNameWithADotIgnoresTheListsDirectory() {
    QVERIFY(QDir(folder_->path()).mkdir("lists"));
    WriteSet(Path("XOR"), "working", 2);
    WriteSet(Path("lists/XOR"), "listed", 4);
    dialog_->SetDirectory(Path("lists"));
    QCOMPARE(dialog_->FileListDirectory(), Path("lists"));

    Text6()->setText("XOR.PR1");
    Press("Command1");
    QCOMPARE(Buffer(BufferId::ProgramS1), std::string("working.pr1\r\n"));
    QCOMPARE(ws_.LayerSizes(1), 2);
    QCOMPARE(ws_.FileNames[0], std::string("XOR.pr1"));
    QCOMPARE(RowText(0), QString("Program (.pr1): XOR.pr1"));
    QCOMPARE(Text6()->text(), QString("XOR.PR1"));  // the name box keeps its text

    Text6()->setText("XOR");
    Press("Command1");
    QCOMPARE(Buffer(BufferId::ProgramS1), std::string("listed.pr1\r\n"));
    QCOMPARE(ws_.LayerSizes(1), 4);
    QCOMPARE(RowText(5), "Weights (.wts): " + Path("lists/XOR.wts"));
    QVERIFY(dialogs_.warnings.isEmpty());
  }

  void refusedNamesWriteNothing_data() {
    QTest::addColumn<QString>("typed");
    QTest::newRow("extension") << "NET.PR1";
    QTest::newRow("dot") << ".";
    QTest::newRow("folder") << "sub/NET";
    QTest::newRow("absolute") << "/tmp/NET";
  }
  void refusedNamesWriteNothing() {
    QFETCH(QString, typed);
    Text6()->setText(typed);
    Press("Command2");
    QCOMPARE(FirstLines(dialogs_.warnings), QStringList{"TEBO: UNABLE TO SAVE FILE"});
    QCOMPARE(QDir(folder_->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList());
    QCOMPARE(ws_.FileNames[0], std::string("Demo.pr1"));
    QCOMPARE(RowText(0), QString("Program (.pr1): Demo.pr1"));
    QCOMPARE(Text6()->text(), typed);
  }

  void saveWritesTheSetShowsSaveLabelsAndListsTheFiles() {
    ws_.TextBuffer(BufferId::ProgramS1) = "NETLIST=2,2,1";
    Text6()->setText("NET");
    Press("Command2");
    QVERIFY(dialogs_.warnings.isEmpty());
    const QStringList labels{"Program (.ps1): ", "Program (.ps2): ", "Data (.dt1): ",
                             "Data (.dt2): ",    "Test (.qt1): ",    "Weights (.wts): "};
    for (int row = 0; row < kFileSetRows; ++row) {
      const QString file = Path("NET") + kFileSetExtensions[row];
      QCOMPARE(RowText(row), labels[row] + file);
      QVERIFY2(QFile::exists(file), qPrintable(file));
    }
    QCOMPARE(ReadTextFile(Std(Path("NET.pr1"))), std::string("NETLIST=2,2,1\r\n"));
    QVERIFY(Text6()->text().isEmpty());
    auto* model = qobject_cast<QFileSystemModel*>(Control<QListView>("File1")->model());
    QTRY_VERIFY(model->index(Path("NET.wts")).isValid() &&
                model->rowCount(model->index(folder_->path())) == kFileSetRows);

    // An empty name box saves and loads the same set again, labels unchanged.
    Press("Command2");
    QCOMPARE(RowText(0), "Program (.ps1): " + Path("NET.pr1"));
    Press("Command1");
    QCOMPARE(RowText(0), "Program (.ps1): " + Path("NET.pr1"));
    QCOMPARE(Buffer(BufferId::ProgramS1), std::string("NETLIST=2,2,1\r\n"));
  }

  void eachSaveAndLoadAddsOneCrLf() {
    ws_.TextBuffer(BufferId::TrainingDataD1) = "1\r\n1,1,1";
    for (const char* expected : {"1\r\n1,1,1\r\n", "1\r\n1,1,1\r\n\r\n"}) {
      Text6()->setText("XOR");
      Press("Command2");
      Text6()->setText("XOR");
      Press("Command1");
      QCOMPARE(Buffer(BufferId::TrainingDataD1), std::string(expected));
    }
    QVERIFY(dialogs_.warnings.isEmpty());
  }

  void clickingAFileNamesItsSet_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("typed");
    QTest::newRow("extension") << "net.DS1"
                               << "net";
    QTest::newRow("no extension") << "readme"
                                  << "README";
    QTest::newRow("two dots") << "Backup.tar.gz"
                              << "Backup";
  }
  void clickingAFileNamesItsSet() {
    QFETCH(QString, file);
    QFETCH(QString, typed);
    QVERIFY(QDir(folder_->path()).mkdir("lists"));
    ReplaceFileContents(Std(Path("lists/" + file)), "x");
    dialog_->SetDirectory(Path("lists"));
    auto* list = Control<QListView>("File1");
    auto* model = qobject_cast<QFileSystemModel*>(list->model());
    QModelIndex index;
    QTRY_VERIFY((index = model->index(Path("lists/" + file))).isValid() &&
                model->rowCount(list->rootIndex()) == 1);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    QCOMPARE(Text6()->text(), typed);
  }

  void openingTheDialogPicksNoFile() {
    ReplaceFileContents(Std(Path("alpha.pr1")), "x");
    ReplaceFileContents(Std(Path("beta.ds1")), "x");
    delete dialog_;
    dialog_ = new LoadSaveDialog(ws_, main_, dialogs_);
    auto* list = Control<QListView>("File1");
    auto* model = qobject_cast<QFileSystemModel*>(list->model());
    QTRY_COMPARE(model->rowCount(list->rootIndex()), 2);
    // A list that gets the focus makes a file current by itself.
    QFocusEvent focusIn(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(list, &focusIn);
    QVERIFY(list->currentIndex().isValid());
    QCOMPARE(Text6()->text(), QString());
  }

  void theKeysPickFilesToo() {
    ReplaceFileContents(Std(Path("alpha.pr1")), "x");
    ReplaceFileContents(Std(Path("beta.ds1")), "x");
    auto* list = Control<QListView>("File1");
    auto* model = qobject_cast<QFileSystemModel*>(list->model());
    QTRY_COMPARE(model->rowCount(list->rootIndex()), 2);
    list->setFocus();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(model->index(Path("alpha.pr1"))).center());
    QCOMPARE(Text6()->text(), QString("alpha"));
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(Text6()->text(), QString("beta"));
  }

  // When the picked file goes away the list makes a neighbour current by
  // itself; the user picked nothing, so the name box keeps what it holds.
  void aPickedFileThatVanishesNamesNoOtherSet() {
    ReplaceFileContents(Std(Path("alpha.pr1")), "x");
    ReplaceFileContents(Std(Path("beta.ds1")), "x");
    auto* list = Control<QListView>("File1");
    auto* model = qobject_cast<QFileSystemModel*>(list->model());
    QTRY_COMPARE(model->rowCount(list->rootIndex()), 2);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(model->index(Path("beta.ds1"))).center());
    QCOMPARE(Text6()->text(), QString("beta"));
    Text6()->clear();
    QVERIFY(QFile::remove(Path("beta.ds1")));
    QTRY_COMPARE(model->rowCount(list->rootIndex()), 1);
    QCOMPARE(Text6()->text(), QString());
  }

  void theListsFollowTheDirectoryAndTheDrive() {
    QVERIFY(QDir(folder_->path()).mkpath("a/b"));
    auto* folders = Control<DirectoryList>("Dir1");
    const auto clickFolder = [folders](const QString& name) {
      const QList<QListWidgetItem*> items = folders->findItems(name, Qt::MatchEndsWith);
      QVERIFY(!items.isEmpty());
      QTest::mouseClick(folders->viewport(), Qt::LeftButton, {},
                        folders->visualItemRect(items.last()).center());
    };
    dialog_->SetDirectory(folder_->path());
    clickFolder("a");
    QCOMPARE(dialog_->FileListDirectory(), Path("a"));
    clickFolder("b");
    QCOMPARE(dialog_->FileListDirectory(), Path("a/b"));
    QCOMPARE(folders->Path(), Path("a/b"));
    // The way back up is on the list too.
    clickFolder("a");
    QCOMPARE(dialog_->FileListDirectory(), Path("a"));

    auto* drives = Control<QComboBox>("Drive1");
    QVERIFY(drives->count() > 0);
    const int working = drives->findData(QStorageInfo(folder_->path()).rootPath());
    QVERIFY(working >= 0);
    QCOMPARE(drives->currentIndex(), working);
    drives->setCurrentIndex(working);
    dialog_->Drive1_Change();  // the working directory lies on this drive
    QCOMPARE(dialog_->FileListDirectory(), QDir::currentPath());
    QCOMPARE(folders->Path(), QDir::currentPath());
  }

  // As root permission bits stop nothing, so there a file size limit makes
  // the writes fail instead; either way the old set must stay whole.
  void aFailedSaveKeepsTheOldFiles() {
    ws_.TextBuffer(BufferId::ProgramS1) = "old";
    Text6()->setText("OLD");
    Press("Command2");
    QVERIFY(dialogs_.warnings.isEmpty());
    std::array<std::string, kFileSetRows> before;
    for (int row = 0; row < kFileSetRows; ++row) before[row] = ReadTextFile(ws_.FileNames[row]);

    for (BufferId id : kFileSetBuffers) ws_.TextBuffer(id) = std::string(100000, 'n');
    Text6()->setText("OLD");
    {
      std::unique_ptr<testing::FileSizeLimit> limit;
      if (::geteuid() == 0) {
        limit = std::make_unique<testing::FileSizeLimit>(4096);
      } else {
        QVERIFY(QFile::setPermissions(folder_->path(), QFile::ReadOwner | QFile::ExeOwner));
      }
      Press("Command2");
      QFile::setPermissions(folder_->path(),
                            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QCOMPARE(FirstLines(dialogs_.warnings), QStringList{"TEBO: UNABLE TO SAVE FILE"});
    QVERIFY2(dialogs_.warnings[0].contains(Path("OLD.pr1")), qPrintable(dialogs_.warnings[0]));
    for (int row = 0; row < kFileSetRows; ++row) {
      QCOMPARE(ReadTextFile(ws_.FileNames[row]), before[row]);
    }
    QCOMPARE(QDir(folder_->path()).entryList(QDir::Files | QDir::Hidden).size(), kFileSetRows);
    QCOMPARE(Text6()->text(), QString("OLD"));
  }

  void aSaveIntoARemovedFolderFails() {
    QVERIFY(QDir(folder_->path()).mkdir("gone"));
    dialog_->SetDirectory(Path("gone"));
    QVERIFY(QDir(Path("gone")).removeRecursively());
    Text6()->setText("NET");
    Press("Command2");
    QCOMPARE(dialogs_.warnings.size(), 1);
    QCOMPARE(dialogs_.warnings[0], "TEBO: UNABLE TO SAVE FILE\n" + Path("gone/NET.pr1") +
                                       ": cannot create: No such file or directory");
    QCOMPARE(ws_.FileNames[0], Std(Path("gone/NET.pr1")));  // the new names stay in force
    QCOMPARE(Text6()->text(), QString("NET"));
  }

  void exitHidesAndTheCloseBoxDestroys() {
    Press("Command3");
    QVERIFY(!dialog_->isVisible());
    QCOMPARE(main_.Shown(), 1);
    QVERIFY(!dialog_.isNull());

    dialog_->show();
    dialog_->close();
    QCOMPARE(main_.Shown(), 2);
    QVERIFY(!dialog_->isVisible());
    QTRY_VERIFY(dialog_.isNull());
  }
};

BACKPROP_QT_TEST(LoadSaveDialogTest);
#include "test_load_save_dialog.moc"
