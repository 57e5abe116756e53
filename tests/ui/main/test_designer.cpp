// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

#include <QPlainTextEdit>
#include <QPushButton>

#include "engine/workspace.h"
#include "tests/support/qt_test_main.h"
#include "tests/ui/main/main_window_fixture.h"
#include "ui/main/designer.h"

using namespace backprop;
using backprop::testing::InkAround;
using backprop::testing::MainWindowFixture;

namespace {

// The start-up geometry: two layers of two neurodes, no bias neurodes.
Workspace StartUpNet() {
  Workspace ws;
  ApplyDefaults(ws);
  return ws;
}

struct Press {
  double x, y;
};

}  // namespace

class DesignerTest : public QObject {
  Q_OBJECT

 private slots:
  void pressesEditTheGeometry_data();
  void pressesEditTheGeometry();
  void sameBiasSpotTwiceLeavesTheFlag();
  void removeNeverGoesBelowTwoLayersAndTheLayerComesBack();
  void netdesignShowsTheControlsWithoutRedrawing();
  void clicksOnTheWindowEditAndRedrawInDesignModeOnly();
  void pressesThatChangeNothingStillRedraw();
  void doneAndRemoveButtons();
};

void DesignerTest::pressesEditTheGeometry_data() {
  QTest::addColumn<QList<QPointF>>("presses");
  QTest::addColumn<double>("layerCount");
  QTest::addColumn<int>("column");
  QTest::addColumn<double>("size");
  QTest::addColumn<double>("bias");

  QTest::newRow("third layer of four") << QList<QPointF>{{3.1, 3.9}} << 3.0 << 3 << 4.0 << 0.0;
  QTest::newRow("six layers, skipped columns empty")
      << QList<QPointF>{{6, 1}} << 6.0 << 4 << 0.0 << 0.0;
  QTest::newRow("click higher erases")
      << QList<QPointF>{{2, 7}, {2.2, 3.3}} << 2.0 << 2 << 3.0 << 0.0;
  QTest::newRow("row 10 is the last") << QList<QPointF>{{1, 10}} << 2.0 << 1 << 10.0 << 0.0;
  QTest::newRow("bias zone toggles") << QList<QPointF>{{1.4, -0.5}} << 2.0 << 1 << 2.0 << 1.0;
  QTest::newRow("bias zone rounds to nearest column")
      << QList<QPointF>{{1.6, 0.4}} << 2.0 << 2 << 2.0 << 1.0;
  QTest::newRow("on the dotted line") << QList<QPointF>{{2, 0.5}} << 2.0 << 2 << 2.0 << 0.0;
  QTest::newRow("left edge") << QList<QPointF>{{0, 3}} << 2.0 << 0 << 0.0 << 0.0;
  QTest::newRow("right of 10.2 below the line")
      << QList<QPointF>{{10.2, 3}} << 2.0 << 10 << 0.0 << 0.0;
  QTest::newRow("column 10 below the line")
      << QList<QPointF>{{10.1, 3}} << 10.0 << 10 << 3.0 << 0.0;
  QTest::newRow("column 11 above the line")
      << QList<QPointF>{{10.6, -0.5}} << 2.0 << 10 << 0.0 << 0.0;
  QTest::newRow("column 10 above the line")
      << QList<QPointF>{{10.4, -0.5}} << 2.0 << 10 << 0.0 << 1.0;
  QTest::newRow("leftmost half column is column 0")
      << QList<QPointF>{{0.3, 3}, {0.3, -0.2}} << 2.0 << 0 << 3.0 << 1.0;
  QTest::newRow("an eleventh row is refused")
      << QList<QPointF>{{3, 10.6}} << 2.0 << 3 << 0.0 << 0.0;
  QTest::newRow("x 0.5 is column 1")
      << QList<QPointF>{{0.5, 4}, {0.5, -0.5}} << 2.0 << 1 << 4.0 << 1.0;
  QTest::newRow("above the window") << QList<QPointF>{{2, -3}} << 2.0 << 2 << 2.0 << 1.0;
  QTest::newRow("below the window") << QList<QPointF>{{2, 14}} << 2.0 << 2 << 2.0 << 0.0;
  QTest::newRow("left of the window")
      << QList<QPointF>{{-1, 3}, {-1, -0.5}} << 2.0 << 0 << 0.0 << 0.0;
  QTest::newRow("right of the window")
      << QList<QPointF>{{13, 3}, {13, -0.5}} << 2.0 << 10 << 0.0 << 0.0;
}

void DesignerTest::pressesEditTheGeometry() {
  QFETCH(QList<QPointF>, presses);
  QFETCH(double, layerCount);
  QFETCH(int, column);
  QFETCH(double, size);
  QFETCH(double, bias);
  Workspace ws = StartUpNet();
  for (const QPointF& p : presses) DesignerPress(ws, p.x(), p.y());
  QCOMPARE(ws.LayerCount.Value(), layerCount);
  QCOMPARE(ws.LayerSizes(column).Value(), size);
  QCOMPARE(ws.BiasFlags(column).Value(), bias);
}

void DesignerTest::sameBiasSpotTwiceLeavesTheFlag() {
  for (const double start : {0.0, 1.0}) {
    Workspace ws = StartUpNet();
    ws.BiasFlags(2) = start;
    DesignerPress(ws, 2.1, -0.3);
    QCOMPARE(ws.BiasFlags(2).Value(), 1.0 - start);
    DesignerPress(ws, 2.1, -0.3);
    QCOMPARE(ws.BiasFlags(2).Value(), start);
  }
}

void DesignerTest::removeNeverGoesBelowTwoLayersAndTheLayerComesBack() {
  Workspace ws = StartUpNet();
  RemoveOneLayer(ws);
  QCOMPARE(ws.LayerCount.Value(), 2.0);

  DesignerPress(ws, 3, 4);
  DesignerPress(ws, 3, -0.5);
  QCOMPARE(ws.LayerCount.Value(), 3.0);
  RemoveOneLayer(ws);
  QCOMPARE(ws.LayerCount.Value(), 2.0);
  // Two columns right of the new last layer: layer 3 returns as it was.
  DesignerPress(ws, 4, 1);
  QCOMPARE(ws.LayerCount.Value(), 4.0);
  QCOMPARE(ws.LayerSizes(3).Value(), 4.0);
  QCOMPARE(ws.BiasFlags(3).Value(), 1.0);
}

void DesignerTest::netdesignShowsTheControlsWithoutRedrawing() {
  MainWindowFixture f;
  f.View().Canvas().MoveTo(9.2, 9.4);
  f.View().Canvas().Print("MARK");
  const QImage before = f.View().Canvas().Image();
  f.Control<QPushButton>("Command1")->setEnabled(false);

  f.Action("ne")->trigger();
  QCOMPARE(f.ws.DesignMode.Value(), 1.0);
  QCOMPARE(int(f.ws.InterruptKey), 27);
  QVERIFY(f.Control<QPushButton>("Command1")->isVisible());
  QVERIFY(f.Control<QPushButton>("Command1")->isEnabled());
  QVERIFY(f.Control<QPushButton>("Command2")->isVisible());
  QVERIFY(f.Control<QPlainTextEdit>("Text1")->isVisible());
  // The controls take their strip from the drawing, which keeps what it
  // showed (the net is not drawn afresh).
  QVERIFY(f.View().Canvas().Image().height() < before.height());
  QVERIFY(InkAround(f.View().Canvas().Image(), f.View().Canvas().Scale(), 9.1, 9.3, 1.5, 0.6) > 0);
}

void DesignerTest::clicksOnTheWindowEditAndRedrawInDesignModeOnly() {
  MainWindowFixture f;
  f.ClickAt(5, 6);
  QCOMPARE(f.ws.LayerCount.Value(), 2.0);

  f.window.ne_Click();
  f.ClickAt(3, 4);  // somewhere else: a quick second press on the spot would be a double click
  QCOMPARE(f.ws.LayerCount.Value(), 3.0);
  QCOMPARE(f.ws.LayerSizes(3).Value(), 4.0);
  // The new neurodes are drawn, with connections from both of layer 2.
  const auto& canvas = f.View().Canvas();
  QVERIFY(InkAround(canvas.Image(), canvas.Scale(), 2.85, 3.85, 0.3, 0.3) > 0);
  QVERIFY(InkAround(canvas.Image(), canvas.Scale(), 2.45, 2.9, 0.1, 0.1) > 0);

  f.ClickAt(6, 1);
  QCOMPARE(f.ws.LayerCount.Value(), 6.0);
  f.ClickAt(1, -0.4);
  QCOMPARE(f.ws.BiasFlags(1).Value(), 1.0);
  QVERIFY(InkAround(canvas.Image(), canvas.Scale(), 0.85, -0.15, 0.3, 0.3) > 0);
}

void DesignerTest::pressesThatChangeNothingStillRedraw() {
  MainWindowFixture f;
  f.window.ne_Click();
  for (const Press p : {Press{2, 0.5}, Press{10.7, -0.5}, Press{10.5, 5}}) {
    f.View().Canvas().MoveTo(9.2, 9.4);
    f.View().Canvas().Print("MARK");
    f.window.Form_MouseDown(Qt::LeftButton, p.x, p.y);
    QCOMPARE(f.ws.LayerCount.Value(), 2.0);
    QCOMPARE(f.ws.BiasFlags(2).Value(), 0.0);
    QCOMPARE(InkAround(f.View().Canvas().Image(), f.View().Canvas().Scale(), 9.1, 9.3, 1.5, 0.6),
             0);
  }
}

void DesignerTest::doneAndRemoveButtons() {
  MainWindowFixture f;
  f.window.ne_Click();
  f.ClickAt(3, 4);
  QTest::mouseClick(f.Control<QPushButton>("Command2"), Qt::LeftButton);
  QCOMPARE(f.ws.LayerCount.Value(), 2.0);
  QTest::mouseClick(f.Control<QPushButton>("Command2"), Qt::LeftButton);
  QCOMPARE(f.ws.LayerCount.Value(), 2.0);

  QTest::mouseClick(f.Control<QPushButton>("Command1"), Qt::LeftButton);
  QCOMPARE(f.ws.DesignMode.Value(), 0.0);
  QCOMPARE(int(f.ws.InterruptKey), 0);
  QVERIFY(f.Control<QPushButton>("Command1")->isHidden());
  QVERIFY(f.Control<QPushButton>("Command2")->isHidden());
  QVERIFY(f.Control<QPlainTextEdit>("Text1")->isHidden());
  // The geometry built stays.
  QCOMPARE(f.ws.LayerSizes(3).Value(), 4.0);
}

BACKPROP_QT_TEST(DesignerTest);
#include "test_designer.moc"
