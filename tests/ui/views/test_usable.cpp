// What makes the program usable at every size and by keyboard: the real
// save dialog writes the type chosen under its final name and asks before
// it replaces a file; the curve's ticks stay distinct and whole; the docks
// keep the drawing its share and none shrinks to its title; the arithmetic
// writes no negative zero and no bias row a layer lacks.
#include <QtTest>

#include <QAccessible>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDockWidget>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTreeWidget>
#include <QValueAxis>

#include <filesystem>
#include <fstream>

#include "engine/host.h"
#include "engine/workspace.h"
#include "files/load_save_dialog.h"
#include "tests/support/nets.h"
#include "tests/support/qt_test_main.h"
#include "tests/support/recording_canvas.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"
#include "tests/support/window_size.h"
#include "tests/ui/main/main_window_fixture.h"
#include "ui/editor/editor_window.h"
#include "ui/listing/listing_window.h"
#include "ui/main/help_window.h"
#include "ui/main/window_owner.h"
#include "ui/parameters/parameters_window.h"
#include "ui/views/arithmetic_view.h"
#include "ui/views/error_curve_view.h"
#include "ui/views/picture_saving.h"
#include "ui/views/view_docks.h"

using namespace backprop;
using backprop::testing::DuringTraining;
using backprop::testing::MainWindowFixture;
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

// The labels of an axis as the chart writes them.
QStringList Labels(const QValueAxis& axis) {
  QStringList labels;
  for (double at = axis.min(); at <= axis.max() * (1 + 1e-9); at += axis.tickInterval()) {
    labels << QString::asprintf(axis.labelFormat().toLatin1(), at);
  }
  return labels;
}

// Whether every label has the room between two ticks.
bool LabelsFit(const QChart& chart, const QValueAxis& axis, bool across) {
  const QFontMetricsF metrics(axis.labelsFont());
  const double length = across ? chart.plotArea().width() : chart.plotArea().height();
  const double spacing = length * axis.tickInterval() / (axis.max() - axis.min());
  for (const QString& label : Labels(axis)) {
    if ((across ? metrics.horizontalAdvance(label) : metrics.height()) > spacing) return false;
  }
  return true;
}

void Cycle(ErrorCurveView& view, double trial, double error) {
  CycleReport report;
  report.trial = trial;
  report.errorSum = error;
  view.CycleEnded(report);
}

constexpr std::array<const char*, 5> kDockEntries{"ViewErrorCurve", "ViewDecisionMap",
                                                  "ViewArithmetic", "ViewTraining", "ViewLesson"};

// Where a widget of the main window lies, in the window's coordinates.
QRect PlaceOf(const QWidget& widget, const QWidget& window) {
  return {widget.mapTo(&window, QPoint(0, 0)), widget.size()};
}

// Whether the open docks leave the drawing its share, each in sight (or a
// tab of a place in sight) with room for its content, none over another.
bool DocksUsable(MainWindowFixture& f, QSize size) {
  const QMainWindow& window = f.window;
  std::vector<QRect> places{PlaceOf(f.View(), window)};
  for (QDockWidget* dock : window.findChildren<QDockWidget*>()) {
    if (dock->isHidden()) continue;
    // A tab behind another is out of sight.
    if (!window.rect().intersects(PlaceOf(*dock, window))) {
      if (window.tabifiedDockWidgets(dock).isEmpty()) return false;
      continue;
    }
    if (dock->widget()->height() < 60 || dock->widget()->width() < 100) return false;
    places.push_back(PlaceOf(*dock, window));
  }
  for (std::size_t a = 0; a < places.size(); ++a) {
    for (std::size_t b = a + 1; b < places.size(); ++b) {
      if (places[a].intersects(places[b])) return false;
    }
  }
  const int room = size.height() - window.menuWidget()->height();
  return window.size() == size && f.View().width() >= 0.4 * size.width() &&
         f.View().height() >= 0.4 * room;
}

}  // namespace

class UsableTest : public QObject {
  Q_OBJECT

 private slots:
  void saveDialogWritesTheTypeChosenUnderItsFinalName_data();
  void saveDialogWritesTheTypeChosenUnderItsFinalName();
  void curveTicksAreDistinctWholeAndReadable_data();
  void curveTicksAreDistinctWholeAndReadable();
  void arithmeticHasNoNegativeZeroAndOnlyTheBiasRowsThereAre();
  void docksLeaveTheDrawingItsShareAtEverySize_data();
  void docksLeaveTheDrawingItsShareAtEverySize();
  void dockPlacesAreKeptBetweenRunsUntilReset();
  void aKeyOnTheDrawingStopsTrainingAndTheShortcutsDoNot();
  void everyControlTellsAScreenReaderItsName();
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

void UsableTest::curveTicksAreDistinctWholeAndReadable_data() {
  // A scale factor of 2 halves the room the labels have.
  QTest::addColumn<QSize>("size");
  QTest::addColumn<double>("trials");
  QTest::newRow("before training") << QSize(320, 240) << 0.0;
  QTest::newRow("4 million, at scale 2") << QSize(250, 180) << 4e6;
  QTest::newRow("4 million") << QSize(500, 360) << 4e6;
  QTest::newRow("4 million, wide") << QSize(1200, 600) << 4e6;
  QTest::newRow("37 trials") << QSize(400, 300) << 37.0;
}

void UsableTest::curveTicksAreDistinctWholeAndReadable() {
  QFETCH(QSize, size);
  QFETCH(double, trials);
  Workspace ws;
  ApplyDefaults(ws);
  ScriptedDialogs dialogs;
  ErrorCurveView view(ws, dialogs);
  // A long run, then a short one: the trials follow the short one.
  view.TrainingStarted();
  if (trials > 0) {
    Cycle(view, 1, 0.9);
    Cycle(view, 8e6, 0.2);
    view.TrainingStarted();
    Cycle(view, 1, 0.8);
    Cycle(view, trials, 0.0123);
  }
  view.resize(size);
  view.show();
  QVERIFY(QTest::qWaitForWindowExposed(&view));
  view.Refresh();
  const QChart& chart = *view.findChild<QChartView*>()->chart();
  const auto& x = *qobject_cast<QValueAxis*>(chart.axes(Qt::Horizontal).constFirst());
  const auto& y = *qobject_cast<QValueAxis*>(chart.axes(Qt::Vertical).constFirst());
  QTRY_VERIFY(LabelsFit(chart, x, true) && LabelsFit(chart, y, false));
  for (const QValueAxis* axis : {&x, &y}) {
    QStringList labels = Labels(*axis);
    QVERIFY2(labels.size() >= 2 && labels.removeDuplicates() == 0, qPrintable(labels.join(' ')));
  }
  QVERIFY2(!Labels(x).join(' ').contains('.'), qPrintable(Labels(x).join(' ')));
  QVERIFY(x.max() >= std::max(trials, 1.0) && x.max() <= 2 * std::max(trials, 1.0));
}

void UsableTest::arithmeticHasNoNegativeZeroAndOnlyTheBiasRowsThereAre() {
  Workspace ws;
  ApplyDefaults(ws);
  testing::SetGeometry(ws, {2, 2, 1}, {0, 1});
  for (int h = 1; h <= 2; ++h) {
    for (int i = 0; i <= 2; ++i) {
      for (int j = 1; j <= 2; ++j) ws.Weights(i, j, h) = 30;
    }
  }
  // Saturated neurodes: slopes of 0, so changes of -1 times 0.
  ws.TextBuffer(BufferId::TrainingDataD1) = "1\r\n-1,-1,1\r\n";
  testing::ScriptedHost host;
  ScriptedDialogs dialogs;
  ArithmeticView view(ws, host, dialogs);
  view.Refresh();
  QVERIFY(std::signbit(view.Shown().change[1][1][1]) && view.Shown().change[1][1][1] == 0);
  QStringList cells;
  QStringList connections;
  QString layer;
  for (int row = 0; row < view.Table().topLevelItemCount(); ++row) {
    const QTreeWidgetItem* item = view.Table().topLevelItem(row);
    if (item->text(0).startsWith("Weights from layer")) layer = item->text(0).mid(19, 1);
    // The rows of connections name their weights' neurodes.
    if (item->text(0).contains(" → ") && item->data(0, Qt::UserRole).isValid()) {
      connections << layer + " " + item->text(0);
    }
    for (int column = 1; column < item->columnCount(); ++column) cells << item->text(column);
  }
  QVERIFY2(!cells.join(' ').contains("-0.000000"), qPrintable(cells.join(' ')));
  QCOMPARE(connections,
           QStringList({"1 neurode 1 → neurode 1", "1 neurode 1 → neurode 2",
                        "1 neurode 2 → neurode 1", "1 neurode 2 → neurode 2", "2 bias → neurode 1",
                        "2 neurode 1 → neurode 1", "2 neurode 2 → neurode 1"}));
}

void UsableTest::docksLeaveTheDrawingItsShareAtEverySize_data() {
  // The logical sizes of 800 x 600, 1280 x 800 and 1920 x 1080 at the
  // scale factors 1, 1.5 and 2.
  QTest::addColumn<QSize>("size");
  for (const QSize screen : {QSize(800, 600), QSize(1280, 800), QSize(1920, 1080)}) {
    for (const double scale : {1.0, 1.5, 2.0}) {
      const QSize size = (QSizeF(screen) / scale).toSize();
      QTest::addRow("%dx%d at %.1f", screen.width(), screen.height(), scale) << size;
    }
  }
}

void UsableTest::docksLeaveTheDrawingItsShareAtEverySize() {
  QFETCH(QSize, size);
  MainWindowFixture f;
  f.ws.AboutShown = 1;
  QVERIFY(testing::ResizeWindow(&f.window, size));
  for (const char* entry : kDockEntries) f.Action(entry)->trigger();
  QTRY_VERIFY(DocksUsable(f, size));
  // Fewer docks again, and each alone.
  for (const char* entry : kDockEntries) {
    f.Action(entry)->trigger();
    QTRY_VERIFY2(DocksUsable(f, size), entry);
  }
}

void UsableTest::dockPlacesAreKeptBetweenRunsUntilReset() {
  {
    MainWindowFixture f;
    f.window.RememberLayout();
    f.Action("ViewErrorCurve")->trigger();
    f.Action("ViewArithmetic")->trigger();
    f.window.addDockWidget(Qt::LeftDockWidgetArea, f.window.Views().CurveDock());
    f.window.Views().ArithmeticDock()->setFloating(true);
    f.window.eee_Click();
  }
  MainWindowFixture f;
  f.window.RememberLayout();
  ViewDocks& views = f.window.Views();
  QTRY_VERIFY(views.CurveDock()->isVisible() && views.ArithmeticDock()->isVisible());
  QCOMPARE(f.window.dockWidgetArea(views.CurveDock()), Qt::LeftDockWidgetArea);
  QVERIFY(views.ArithmeticDock()->isFloating());
  QVERIFY(views.TrainingDock()->isHidden());
  f.Action("ViewResetLayout")->trigger();
  QTRY_VERIFY(!views.ArithmeticDock()->isFloating());
  QCOMPARE(f.window.dockWidgetArea(views.CurveDock()), Qt::RightDockWidgetArea);
  QCOMPARE(f.window.dockWidgetArea(views.ArithmeticDock()), Qt::BottomDockWidgetArea);
  QVERIFY(views.CurveDock()->isVisible() && views.ArithmeticDock()->isVisible());
}

void UsableTest::aKeyOnTheDrawingStopsTrainingAndTheShortcutsDoNot() {
  MainWindowFixture f;
  f.ws.AboutShown = 1;
  f.ws.TextBuffer(BufferId::TrainingDataD1) = testing::kExclusiveOrSet;
  f.ws.TextBuffer(BufferId::ProgramS1) =
      std::string(testing::kExclusiveOrNet) + "ERRTEST=0\r\nTRAINMAX=100000000\r\nTRAIN=1\r\n";
  f.window.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&f.window));
  // The docks open by their keys.
  for (const Qt::Key key : {Qt::Key_F2, Qt::Key_F3, Qt::Key_F4, Qt::Key_F11}) {
    QTest::keyClick(&f.window, key);
  }
  QTRY_VERIFY(f.window.Views().ArithmeticDock()->isVisible());
  QMenuBar* bar = f.window.menuBar();
  int step = 0;
  DuringTraining check([&] {
    if (f.ws.TrialCounter < 3 || step++ > 0) return;
    // Keys that type nothing, menus and docks leave training alone.
    QTest::keyClick(&f.window, Qt::Key_F3);
    QTest::keyClick(&f.window, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyClick(bar, Qt::Key_Escape);
    QTest::keyClick(&f.window, Qt::Key_F10);
    QTest::keyClick(bar, Qt::Key_Escape);
    QTest::keyClick(&f.window, Qt::Key_F5);  // pause
    QTest::keyClick(&f.window, Qt::Key_F5);  // and go on
    QCOMPARE(int(f.ws.InterruptKey), 0);
    QTest::keyClick(&f.View(), Qt::Key_K);
  });
  f.Action("TN")->trigger();
  QCOMPARE(int(f.ws.InterruptKey), int('k'));
  QVERIFY(f.ws.TrialCounter < 1000);
  QVERIFY(f.Control<QDockWidget>("DecisionMapDock")->isHidden());  // F3 closed it
}

void UsableTest::everyControlTellsAScreenReaderItsName() {
  MainWindowFixture f;
  f.ws.AboutShown = 1;
  for (const char* entry : kDockEntries) f.Action(entry)->trigger();
  WindowOwner& owner = f.window.Owner();
  const std::vector<QWidget*> windows{&f.window,        &owner.Editor(), &owner.Parameters(),
                                      &owner.Listing(), owner.Help(),    &owner.LoadSave()};
  for (QWidget* window : windows) {
    for (QWidget* control : window->findChildren<QWidget*>()) {
      if (control->focusPolicy() == Qt::NoFocus || control->isWindow()) continue;
      // A scrolled area's viewport, a spin box's text are read as the control.
      const QWidget* whole = control->parentWidget();
      const auto* area = qobject_cast<const QAbstractScrollArea*>(whole);
      if ((area != nullptr && area->viewport() == control) ||
          qobject_cast<const QAbstractSpinBox*>(whole) != nullptr) {
        continue;
      }
      QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(control);
      QVERIFY(reader != nullptr);
      QVERIFY2(!reader->text(QAccessible::Name).isEmpty(),
               qPrintable(window->objectName() + ": " + control->objectName() + " " +
                          control->metaObject()->className()));
    }
  }
  QCOMPARE(f.View().accessibleDescription(),
           QString("2 layers: 2 and 2 neurodes, no bias neurodes"));
}

BACKPROP_QT_TEST(UsableTest);
#include "test_usable.moc"
