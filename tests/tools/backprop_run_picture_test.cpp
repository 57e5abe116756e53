// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures backprop-run paints (--png and its shapes, --map and its
// neurode), read back from the files it writes.
#include <QImage>
#include <QString>

#include <algorithm>
#include <vector>

#include "engine/net_evaluation.h"
#include "engine/neurode_maps.h"
#include "engine/workspace.h"
#include "files/weights_file.h"
#include "tests/tools/run_fixture.h"

namespace {

using namespace backprop::testing;

TEST_F(BackpropRunTest, PngHoldsTheFinalDrawing) {
  Write("xor.pr1", kExclusiveOrProgram);
  Write("xor.ds1", kExclusiveOr);
  const RunResult plain = Run("xor");
  const RunResult pictured = Run("xor --png net.png");
  EXPECT_EQ(pictured.status, 0);
  EXPECT_EQ(pictured.out, plain.out) << "the picture does not change the text";
  const std::string png = ReadFile(dir / "net.png");
  ASSERT_GT(png.size(), 1000u);
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
}

// True when some pixel within `reach` of the user point (x, y) of the net's
// drawing coordinates (x 0..11, y -1..10) is not the white background.
bool InkNear(const QImage& image, double x, double y, int reach) {
  const int px = static_cast<int>(x / 11.0 * image.width());
  const int py = static_cast<int>((y + 1.0) / 11.0 * image.height());
  for (int dy = -reach; dy <= reach; ++dy) {
    for (int dx = -reach; dx <= reach; ++dx) {
      const QPoint at(px + dx, py + dy);
      if (image.valid(at) && image.pixel(at) != qRgb(255, 255, 255)) return true;
    }
  }
  return false;
}

TEST_F(BackpropRunTest, PngOfASteppingRunShowsItsValuesOverTheNet) {
  // The window shows the net before a run; a run that only steps writes its
  // values over that drawing, in the net's coordinates.
  Write("s.pr1", "NETLIST=3,2,2,1\r\nBIASLIST=1,1,0\r\nINITW=3\r\nSTEP=1\r\n");
  Write("s.ds1", kExclusiveOr);
  const RunResult result = Run("s --png step.png");
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, Run("s").out) << "the picture adds nothing to the text";
  const QImage image(QString::fromStdString((dir / "step.png").string()));
  ASSERT_FALSE(image.isNull());
  EXPECT_TRUE(InkNear(image, 1.9, 2, 2)) << "the circle of neurode 2 of layer 2";
  EXPECT_TRUE(InkNear(image, 8, 0.5, 3)) << "the dotted divider";
  EXPECT_TRUE(InkNear(image, 4.15, 9.1, 4)) << "the footer, at x 4, y 9";
}

// The span of the picture's non-white pixels, as a share of its height.
double InkHeightShare(const QImage& image) {
  int top = image.height();
  int bottom = -1;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) == qRgb(255, 255, 255)) continue;
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  return bottom < top ? 0.0 : (bottom - top + 1.0) / image.height();
}

// The Demo set as installed: --fit draws the trained net as large as the
// picture allows (the dotted divider, which runs to x = 9 whatever the net,
// would fill the width anyway: the height tells); --neurode-maps shows each
// neurode of layers 2..L red where its output is clearly below 0 and blue
// where clearly above.
TEST_F(BackpropRunTest, DemoFittedAndWithTheMapOfEveryNeurode) {
  for (const char* file : {"Demo.pr1", "Demo.ds1"}) {
    fs::copy_file(fs::path(BACKPROP_DEMO_DIR) / file, dir / file);
  }
  ASSERT_EQ(Run("Demo --png plain.png --png-size 1000x700").status, 0);
  ASSERT_EQ(Run("Demo --png fit.png --fit").status, 0);
  const RunResult maps = Run("Demo --png maps.png --neurode-maps --save-weights w.wts");
  ASSERT_EQ(maps.status, 0) << maps.err;
  EXPECT_EQ(maps.out, Run("Demo").out) << "the maps print nothing";

  const QImage plain(QString::fromStdString((dir / "plain.png").string()));
  const QImage fit(QString::fromStdString((dir / "fit.png").string()));
  EXPECT_EQ(plain.size(), QSize(1000, 700));
  ASSERT_EQ(fit.size(), QSize(1280, 800));
  EXPECT_LT(InkHeightShare(plain), 0.45);
  EXPECT_GE(InkHeightShare(fit), 0.6);

  backprop::Workspace ws;
  ApplyDefaults(ws);
  backprop::ReadWeightsFile(ws, dir / "w.wts");
  const backprop::NeurodeMaps values = backprop::EvaluateNeurodeMaps(ws, 40);
  const QImage image(QString::fromStdString((dir / "maps.png").string()));
  ASSERT_EQ(image.size(), QSize(1280, 800));
  const double perUnit = image.height() / 11.0;  // the smaller of the two
  int changing = 0;
  for (int k = 2; k <= values.geometry.layerCount; ++k) {
    for (int j = 1; j <= values.geometry.Size(k); ++j) {
      const auto& v = values.values[k][j];
      const bool changes = *std::min_element(v.begin(), v.end()) < -0.1 &&
                           *std::max_element(v.begin(), v.end()) > 0.1;
      if (!changes) continue;
      ++changing;
      // Inside the map, clear of its frame.
      const int cx = static_cast<int>(k / 11.0 * image.width());
      const int cy = static_cast<int>((j + 1) / 11.0 * image.height());
      const int reach = static_cast<int>(0.18 * perUnit);
      int red = 0;
      int blue = 0;
      for (int y = cy - reach; y <= cy + reach; ++y) {
        for (int x = cx - reach; x <= cx + reach; ++x) {
          const QColor c = image.pixelColor(x, y);
          red += c.red() >= 250 && c.green() < 235 && c.blue() < 235;
          blue += c.blue() >= 250 && c.red() < 235 && c.green() < 235;
        }
      }
      EXPECT_TRUE(red > 0 && blue > 0) << "layer " << k << ", neurode " << j;
    }
  }
  EXPECT_GE(changing, 3) << "the trained Demo net's neurodes divide the square";
}

// --map-neurode paints a hidden neurode's own output, -1 red to 1 blue.
TEST_F(BackpropRunTest, MapOfAHiddenNeurodeIsItsOwnOutput) {
  Write("X.pr1", kExclusiveOrProgram);
  Write("X.ds1", kExclusiveOr);
  ASSERT_EQ(Run("X --map m.png --map-neurode 2:2 --save-weights w.wts").status, 0);
  backprop::Workspace ws;
  ApplyDefaults(ws);
  backprop::ReadWeightsFile(ws, dir / "w.wts");
  const std::vector<double> grid = backprop::NeurodeGrid(ws, 2, 2, 100);
  const QImage map(QString::fromStdString((dir / "m.png").string()));
  ASSERT_EQ(map.size(), QSize(100, 100));
  for (int at = 0; at < 100 * 100; at += 97) {
    const backprop::MapColour c =
        backprop::ColourOfOutput(grid[static_cast<std::size_t>(at)], -1, 1);
    EXPECT_EQ(map.pixel(at % 100, at / 100), qRgb(c.red, c.green, c.blue)) << at;
  }
}

}  // namespace
