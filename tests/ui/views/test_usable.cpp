// SPDX-License-Identifier: GPL-3.0-or-later
// What makes the program usable at every size and by keyboard: every menu
// opens by its mnemonic, F10 or Alt, none of which is a typed key, and
// every control has a name for a screen reader; the real save dialog writes the type chosen under
// its final name and asks before it replaces a file; the curve's ticks stay distinct and whole; the
// docks keep the drawing its share and none shrinks to its title, and keep their places between
// runs; the arithmetic has no negative zero.
#include <QtTest>

#include <QAbstractSpinBox>
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
using backprop::testing::MainWindowFixture;
using backprop::testing::ScriptedDialogs;
using backprop::testing::TempFolder;
namespace fs = std::filesystem;

namespace {

// The files of a folder, "name=contents" each (each row leaves one).
QString Files(const fs::path& folder) {
  QStringList files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    files << QString::fromStdString(entry.path().filename().string() + "=" +
                                    std::string(std::istreambuf_iterator<char>(in), {}));
  }
  return files.join(' ');
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

// Where a widget of the main window lies, in the window's coordinates.
QRect PlaceOf(const QWidget& widget, const QWidget& window) {
  return {widget.mapTo(&window, QPoint(0, 0)), widget.size()};
}

// Whether the open docks leave the drawing its share, each in sight (or a
// tab behind one in sight) with room for its content, none over another.
bool DocksUsable(MainWindowFixture& f, QSize size) {
  const QMainWindow& window = f.window;
  std::vector<QRect> places{PlaceOf(f.View(), window)};
  for (QDockWidget* dock : window.findChildren<QDockWidget*>()) {
    const QRect place = PlaceOf(*dock, window);
    if (dock->isHidden() ||
        (!window.rect().intersects(place) && !window.tabifiedDockWidgets(dock).isEmpty())) {
      continue;
    }
    if (dock->widget()->height() < 60 || dock->widget()->width() < 100) return false;
    for (const QRect& other : places) {
      if (other.intersects(place)) return false;
    }
    places.push_back(place);
  }
  const int room = size.height() - window.menuWidget()->height();
  return window.size() == size && f.View().width() >= 0.4 * size.width() &&
         f.View().height() >= 0.4 * room;
}

// Every entry of a menu bar, and of each of its menus, has a mnemonic of
// its own within its menu.
void ExpectOwnMnemonics(const QList<QAction*>& actions, const QString& where) {
  QSet<QKeySequence> seen;
  for (const QAction* action : actions) {
    if (action->isSeparator()) continue;
    const QKeySequence key = QKeySequence::mnemonic(action->text());
    QVERIFY2(!key.isEmpty() && !seen.contains(key), qPrintable(where + ": " + action->text()));
    seen.insert(key);
    if (action->menu() != nullptr) ExpectOwnMnemonics(action->menu()->actions(), action->text());
  }
}

}  // namespace

class UsableTest : public QObject {
  Q_OBJECT

 private slots:
  void menusOpenFromTheKeyboardWithoutTypingAKey();
  void saveDialogWritesTheTypeChosenUnderItsFinalName_data();
  void saveDialogWritesTheTypeChosenUnderItsFinalName();
  void curveTicksAreDistinctWholeAndReadable_data();
  void curveTicksAreDistinctWholeAndReadable();
  void arithmeticHasNoNegativeZeroAndOnlyTheBiasRowsThereAre();
  void docksLeaveTheDrawingItsShareAtEverySize_data();
  void docksLeaveTheDrawingItsShareAtEverySize();
  void dockPlacesAreKeptBetweenRunsUntilReset();
};

void UsableTest::menusOpenFromTheKeyboardWithoutTypingAKey() {
  MainWindowFixture f;
  f.ws.AboutShown = 1;
  for (const char* dock :
       {"ViewErrorCurve", "ViewDecisionMap", "ViewArithmetic", "ViewTraining", "ViewLesson"}) {
    f.Action(dock)->trigger();
  }
  // In every window each menu entry has a mnemonic of its own and each
  // control that takes the focus a name for a screen reader.
  WindowOwner& owner = f.window.Owner();
  for (QWidget* window :
       std::initializer_list<QWidget*>{&f.window, &owner.Editor(), &owner.Parameters(),
                                       &owner.Listing(), owner.Help(), &owner.LoadSave()}) {
    if (auto* main = qobject_cast<QMainWindow*>(window)) {
      ExpectOwnMnemonics(main->menuBar()->actions(), window->objectName());
    }
    for (QWidget* control : window->findChildren<QWidget*>()) {
      // A scrolled area's viewport, a spin box's text are read as the control.
      const QWidget* whole = control->parentWidget();
      const auto* area = qobject_cast<const QAbstractScrollArea*>(whole);
      if (control->focusPolicy() == Qt::NoFocus || (area && area->viewport() == control) ||
          qobject_cast<const QAbstractSpinBox*>(whole) != nullptr) {
        continue;
      }
      QVERIFY2(!QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).isEmpty(),
               qPrintable(control->objectName() + " " + control->metaObject()->className()));
    }
  }
  QCOMPARE(f.View().accessibleDescription(),
           QString("2 layers: 2 and 2 neurodes, no bias neurodes"));
  // F10, and Alt alone, hand the menu bar the keyboard and Esc gives it
  // back to the drawing; neither is a typed key.
  QMenuBar* bar = f.window.menuBar();
  QTRY_COMPARE(QApplication::focusWidget(), &f.View());
  for (const Qt::Key key : {Qt::Key_F10, Qt::Key_Alt}) {
    QTest::keyClick(&f.window, key, key == Qt::Key_Alt ? Qt::AltModifier : Qt::NoModifier);
    QCOMPARE(bar->activeAction(), bar->actions().first());
    QTest::keyClick(bar, Qt::Key_Escape);
    QCOMPARE(QApplication::focusWidget(), &f.View());
  }
  for (QAction* entry : bar->actions()) {
    if (entry->menu() == nullptr) continue;
    const QKeyCombination alt = QKeySequence::mnemonic(entry->text())[0];
    QTest::keyClick(&f.window, alt.key(), alt.keyboardModifiers());
    QTRY_VERIFY2(entry->menu()->isVisible(), qPrintable(entry->text()));
    entry->menu()->close();
  }
  QCOMPARE(int(f.ws.InterruptKey), 0);
}

void UsableTest::saveDialogWritesTheTypeChosenUnderItsFinalName_data() {
  QTest::addColumn<int>("type");        // the filter chosen: 0 PNG, 1 SVG
  QTest::addColumn<QString>("typed");   // the name typed
  QTest::addColumn<QString>("before");  // a file there before, "name=contents"
  QTest::addColumn<int>("answer");      // to the question whether to replace it
  QTest::addColumn<QString>("after");   // the files after
  const int no = QMessageBox::No;
  QTest::newRow("PNG, bare name") << 0 << "shot"
                                  << "" << no << "shot.png=PNG";
  QTest::newRow("SVG, bare name, kept") << 1 << "net"
                                        << "net.svg=old" << no << "net.svg=old";
  QTest::newRow("SVG, bare name, replaced")
      << 1 << "net"
      << "net.svg=old" << int(QMessageBox::Yes) << "net.svg=SVG";
  QTest::newRow("the name's own type") << 1 << "shot.png"
                                       << "" << no << "shot.png=PNG";
}

void UsableTest::saveDialogWritesTheTypeChosenUnderItsFinalName() {
  QFETCH(int, type);
  QFETCH(QString, typed);
  QFETCH(QString, before);
  QFETCH(int, answer);
  QFETCH(QString, after);
  TempFolder folder;
  if (!before.isEmpty()) {
    std::ofstream(folder / before.section('=', 0, 0).toStdString())
        << before.section('=', 1).toStdString();
  }
  int asked = 0;
  WhenOpen<QFileDialog>([&](QFileDialog* dialog) {
    dialog->setDirectory(QString::fromStdString(folder.Path().string()));
    auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    // As a user chooses: with the keys, which also tell the dialog.
    types->setFocus();
    QTest::keyClick(types, type == 0 ? Qt::Key_Up : Qt::Key_Down);
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
    if (dialog->isVisible()) dialog->reject();  // kept: the dialog asks for another name
  });
  QWidget parent;
  SavePictureAs(&parent, RealDialogs(), "net.png",
                [](bool svg) { return QByteArray(svg ? "SVG" : "PNG"); });
  QCOMPARE(asked, before.isEmpty() ? 0 : 1);
  QCOMPARE(Files(folder.Path()), after);
}

void UsableTest::curveTicksAreDistinctWholeAndReadable_data() {
  // A scale factor of 2 halves the room the labels have.
  QTest::addColumn<QSize>("size");
  QTest::addColumn<double>("trials");
  QTest::newRow("before training") << QSize(320, 240) << 0.0;
  QTest::newRow("4 million, at scale 2") << QSize(250, 180) << 4e6;
  QTest::newRow("4 million") << QSize(500, 360) << 4e6;
  QTest::newRow("37 trials") << QSize(400, 300) << 37.0;
}

void UsableTest::curveTicksAreDistinctWholeAndReadable() {
  const auto cycle = [](double trial, double errorSum) {
    CycleReport report;
    report.trial = trial;
    report.errorSum = errorSum;
    return report;
  };
  QFETCH(QSize, size);
  QFETCH(double, trials);
  Workspace ws;
  ApplyDefaults(ws);
  ScriptedDialogs dialogs;
  ErrorCurveView view(ws, dialogs);
  // A long run, then a short one: the trials follow the short one.
  view.TrainingStarted();
  if (trials > 0) {
    view.CycleEnded(cycle(1, 0.9));
    view.CycleEnded(cycle(8e6, 0.2));
    view.TrainingStarted();
    view.CycleEnded(cycle(1, 0.8));
    view.CycleEnded(cycle(trials, 0.0123));
  }
  view.resize(size);
  view.show();
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
  for (const int h : {1, 2}) {
    for (const int i : {0, 1, 2}) ws.Weights(i, 1, h) = ws.Weights(i, 2, h) = 30;
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
  // Layer 1 has no bias neurode, layer 2 has one.
  QCOMPARE(connections.filter("bias"), QStringList({"2 bias → neurode 1"}));
  QCOMPARE(connections.size(), 7);
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
  for (QDockWidget* dock : f.window.findChildren<QDockWidget*>())
    dock->toggleViewAction()->trigger();
  QTRY_VERIFY(DocksUsable(f, size));
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
  f.Action("ViewResetLayout")->trigger();
  QTRY_VERIFY(!views.ArithmeticDock()->isFloating());
  QCOMPARE(f.window.dockWidgetArea(views.CurveDock()), Qt::RightDockWidgetArea);
  QCOMPARE(f.window.dockWidgetArea(views.ArithmeticDock()), Qt::BottomDockWidgetArea);
}

BACKPROP_QT_TEST(UsableTest);
#include "test_usable.moc"
