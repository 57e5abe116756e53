// What makes the program usable at every size and by keyboard: the real
// save dialog writes the type chosen under its final name and asks before
// it replaces a file; the curve's ticks stay distinct and whole; the docks
// keep the drawing its share and none shrinks to its title; the arithmetic
// writes no negative zero and no bias row a layer lacks.
#include <QtTest>

#include <QComboBox>
#include <QDockWidget>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>

#include <filesystem>
#include <fstream>

#include "tests/support/qt_test_main.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"
#include "ui/views/picture_saving.h"

using namespace backprop;
using backprop::testing::ScriptedDialogs;
using backprop::testing::TempFolder;
namespace fs = std::filesystem;

namespace {

std::string Contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

QStringList Entries(const fs::path& folder) {
  QStringList names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names << QString::fromStdString(entry.path().filename().string());
  }
  names.sort();
  return names;
}

// Runs `act` on the next modal box of type W once it is open, unless
// `over` says first that none will open.
template <typename W>
void WhenOpen(
    std::function<void(W*)> act, std::function<bool()> over = [] { return false; }) {
  QTimer::singleShot(0, [act, over] {
    W* box = nullptr;
    QVERIFY(QTest::qWaitFor([&] {
      box = qobject_cast<W*>(QApplication::activeModalWidget());
      return box != nullptr || over();
    }));
    if (box != nullptr) act(box);
  });
}

// The real save dialog; every other box is recorded.
class RealSaveDialog : public ScriptedDialogs {
 public:
  SaveChoice SaveFile(QWidget* parent, const QString& title, const QString& suggested,
                      const QList<FileType>& types) override {
    return RealDialogs().SaveFile(parent, title, suggested, types);
  }
};

}  // namespace

class UsableTest : public QObject {
  Q_OBJECT

 private slots:
  void saveDialogWritesTheTypeChosenUnderItsFinalName_data();
  void saveDialogWritesTheTypeChosenUnderItsFinalName();
};

void UsableTest::saveDialogWritesTheTypeChosenUnderItsFinalName_data() {
  QTest::addColumn<int>("type");        // the filter chosen: 0 PNG, 1 SVG
  QTest::addColumn<QString>("typed");   // the name typed
  QTest::addColumn<QString>("before");  // "name=contents" there before, or "name->" a dead link
  QTest::addColumn<int>("answer");      // to the question, if one is asked
  QTest::addColumn<QString>("after");   // the files after, "name=contents" each
  QTest::addColumn<QString>("warning");
  const auto No = QMessageBox::No;
  const auto Yes = QMessageBox::Yes;
  QTest::newRow("PNG, bare name") << 0 << "shot"
                                  << "" << int(No) << "shot.png=PNG"
                                  << "";
  QTest::newRow("SVG, bare name, kept") << 1 << "net"
                                        << "net.svg=old" << int(No) << "net.svg=old"
                                        << "";
  QTest::newRow("SVG, bare name, replaced") << 1 << "net"
                                            << "net.svg=old" << int(Yes) << "net.svg=SVG"
                                            << "";
  QTest::newRow("the name's own type") << 1 << "shot.png"
                                       << "" << int(No) << "shot.png=PNG"
                                       << "";
  QTest::newRow("a link to nothing") << 1 << "net"
                                     << "net.svg->" << int(No) << "net.svg->"
                                     << "symbolic link to nothing";
}

void UsableTest::saveDialogWritesTheTypeChosenUnderItsFinalName() {
  QFETCH(int, type);
  QFETCH(QString, typed);
  QFETCH(QString, before);
  QFETCH(int, answer);
  QFETCH(QString, after);
  QFETCH(QString, warning);
  TempFolder folder;
  if (before.endsWith("->")) {
    fs::create_symlink(folder / "nowhere", folder / before.chopped(2).toStdString());
  } else if (!before.isEmpty()) {
    std::ofstream(folder / before.section('=', 0, 0).toStdString())
        << before.section('=', 1).toStdString();
  }
  int asked = 0;
  WhenOpen<QFileDialog>([&](QFileDialog* dialog) {
    dialog->setDirectory(QString::fromStdString(folder.Path().string()));
    auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    QVERIFY(types != nullptr && name != nullptr);
    // As a user chooses: with the keys, which also tell the dialog.
    types->setFocus();
    QTest::keyClick(types, type == 0 ? Qt::Key_Up : Qt::Key_Down);
    QCOMPARE(types->currentIndex(), type);
    name->clear();
    QTest::keyClicks(name, typed);
    auto returned = std::make_shared<bool>(false);
    WhenOpen<QMessageBox>(
        [&](QMessageBox* box) {
          ++asked;
          box->button(QMessageBox::StandardButton(answer))->click();
        },
        [returned] { return *returned; });
    QTest::keyClick(name, Qt::Key_Return);
    *returned = true;
    // Kept: the dialog is still open for another name.
    if (dialog->isVisible()) dialog->reject();
  });
  RealSaveDialog dialogs;
  QWidget parent;
  SavePictureAs(&parent, dialogs, "net.png",
                [](bool svg) { return QByteArray(svg ? "SVG" : "PNG"); });

  QCOMPARE(asked, before.isEmpty() || before.endsWith("->") ? 0 : 1);
  QStringList files;
  for (const QString& file : Entries(folder.Path())) {
    const fs::path path = folder / file.toStdString();
    files << (fs::is_symlink(path) ? file + "->"
                                   : file + "=" + QString::fromStdString(Contents(path)));
  }
  QCOMPARE(files.join(' '), after);
  QCOMPARE(dialogs.warnings.size(), warning.isEmpty() ? 0 : 1);
  if (!warning.isEmpty()) QVERIFY(dialogs.warnings.first().contains(warning));
}

BACKPROP_QT_TEST(UsableTest);
#include "test_usable.moc"
