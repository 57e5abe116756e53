// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

#include "engine/draw_net.h"
#include "engine/host.h"
#include "engine/interpreter.h"
#include "engine/workspace.h"
#include "tests/support/nets.h"
#include "tests/support/qt_test_main.h"
#include "ui/canvas/canvas_view.h"
#include "ui/canvas/image_canvas.h"

using namespace backprop;

namespace {

class ImageHost : public Host {
 public:
  explicit ImageHost(ImageCanvas& canvas) : canvas_(canvas) {}
  Canvas& MainCanvas() override { return canvas_; }
  void YieldToEvents() override {}
  void ShowWarning(const std::string& message) override { warnings.push_back(message); }
  std::vector<std::string> warnings;

 private:
  ImageCanvas& canvas_;
};

QFont BoldFont() {
  QFont font = QApplication::font();
  font.setPointSizeF(8.25);
  font.setBold(true);
  return font;
}

int CountPixels(const QImage& image, const std::function<bool(QColor)>& match) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (match(image.pixelColor(x, y))) ++count;
  return count;
}

bool IsRed(QColor c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; }
bool IsBlack(QColor c) { return c.red() < 40 && c.green() < 40 && c.blue() < 40; }

}  // namespace

class ImageCanvasTest : public QObject {
  Q_OBJECT

 private slots:
  void mapsUserCoordinatesBothWays() {
    const UserScale scale{0, -1, 11, 10};
    const QSizeF size(1100, 1100);
    const QPointF pixel = UserToPixel(scale, size, QPointF(3, 4));
    QCOMPARE(pixel, QPointF(300, 500));
    const QPointF back = PixelToUser(scale, size, pixel);
    QVERIFY(qAbs(back.x() - 3) < 1e-9 && qAbs(back.y() - 4) < 1e-9);
  }

  void rendersARunProgramWithRedAndBlackConnections() {
    Workspace ws;
    ApplyDefaults(ws);
    ImageCanvas canvas(QSize(880, 660), BoldFont(), QColor(0, 0, 128), Qt::white);
    ImageHost host(canvas);
    ws.TextBuffer(BufferId::ProgramS1) = std::string(testing::kExclusiveOrNet) + "DISPLAY";
    ws.RunMode = 1;
    RunProgram(ws, host);
    QVERIFY(host.warnings.empty());

    bool anyNegative = false;
    bool anyPositive = false;
    for (int h = 1; h <= 2; ++h)
      for (int i = 0; i <= 2; ++i)
        for (int j = 1; j <= 2; ++j) {
          if (h == 2 && j == 2) continue;
          anyNegative = anyNegative || ws.Weights(i, j, h) < 0;
          anyPositive = anyPositive || ws.Weights(i, j, h) >= 0;
        }
    QVERIFY(anyNegative && anyPositive);
    const QImage& image = canvas.Image();
    QVERIFY(CountPixels(image, IsRed) > 50);
    QVERIFY(CountPixels(image, IsBlack) > 50);
    // The navy labels and neurodes are there too.
    QVERIFY(CountPixels(image, [](QColor c) { return c.blue() > 100 && c.red() < 40; }) > 20);
  }

  void textHasAnOpaqueBackgroundSoBlanksErase() {
    ImageCanvas canvas(QSize(400, 100), BoldFont(), Qt::black, Qt::white);
    canvas.SetScale(0, 0, 10, 10);
    canvas.Clear();
    canvas.MoveTo(1, 1);
    canvas.Print("WWWWWWWW");
    QVERIFY(CountPixels(canvas.Image(), IsBlack) > 0);
    canvas.MoveTo(1, 1);
    canvas.Print(std::string(40, ' '));  // blanks are narrow in a proportional font
    QCOMPARE(CountPixels(canvas.Image(), IsBlack), 0);
  }

  void columnsAndZonesCountFromTheLineStart() {
    ImageCanvas canvas(QSize(1000, 100), BoldFont(), Qt::black, Qt::white);
    canvas.SetScale(0, 0, 10, 10);
    canvas.Clear();
    canvas.MoveTo(1, 1);
    canvas.Print("Label");
    canvas.ToColumn(50);
    canvas.Print(" 10 ");
    canvas.NextZone();
    canvas.Print("X");
    const double column = QFontMetricsF(BoldFont()).averageCharWidth();
    // "X" starts at column 56 (the zone after 50 plus the value) of the line
    // that starts at x = 1, which is 100 pixels in.
    int firstX = -1;
    const QImage& image = canvas.Image();
    for (int x = image.width() - 1; x >= 0 && firstX < 0; --x)
      for (int y = 0; y < image.height(); ++y)
        if (IsBlack(image.pixelColor(x, y))) {
          firstX = x;
          break;
        }
    QVERIFY(firstX > 100 + 56 * column - 2);
  }

  void aDoubleClickIsOnePress() {
    CanvasView view(BoldFont(), Qt::black, Qt::white);
    view.resize(110, 110);
    view.Canvas().SetScale(0, -1, 11, 10);
    int presses = 0;
    QObject::connect(&view, &CanvasView::Pressed, [&](double x, double y, Qt::MouseButton) {
      ++presses;
      QVERIFY(qAbs(x - 3) < 0.2 && qAbs(y - 4) < 0.2);
    });
    // The double-click interval is set rather than waited for: an hour, so
    // every press below is quick, then none, as if a pause had passed.
    const int interval = QApplication::doubleClickInterval();
    QApplication::setDoubleClickInterval(3'600'000);
    // What the platform sends for a double click: press, release, press,
    // double click, release.
    const QPoint at(30, 50);
    QTest::mousePress(&view, Qt::LeftButton, {}, at);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, at);
    QTest::mousePress(&view, Qt::LeftButton, {}, at);
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, at, view.mapToGlobal(at), Qt::LeftButton,
                            Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &doubleClick);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, at);
    QCOMPARE(presses, 1);

    // A third quick press is a press again, and so is one after a pause.
    QTest::mouseClick(&view, Qt::LeftButton, {}, at);
    QCOMPARE(presses, 2);
    QApplication::setDoubleClickInterval(0);
    QTest::mouseClick(&view, Qt::LeftButton, {}, at);
    QApplication::setDoubleClickInterval(interval);
    QCOMPARE(presses, 3);
  }

  void resizingKeepsTheDrawingStretched() {
    ImageCanvas canvas(QSize(100, 100), BoldFont(), Qt::black, Qt::white);
    canvas.SetScale(0, 0, 10, 10);
    canvas.Clear();
    canvas.SetLineWidth(3);
    canvas.Line(0, 5, 10, 5, kRed);
    canvas.Resize(QSize(200, 300));
    QCOMPARE(canvas.Image().size(), QSize(200, 300));
    QVERIFY(IsRed(canvas.Image().pixelColor(100, 150)));
  }
};

BACKPROP_QT_TEST(ImageCanvasTest);
#include "test_image_canvas.moc"
