// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QWidget>

#include <optional>
#include <vector>

class QChart;
class QChartView;
class QComboBox;
class QLabel;

namespace backprop {

class Dialogs;
class RepaintThrottle;
struct Workspace;

// A pattern of the last loaded training set, as the map shows it.
struct MapPattern {
  double input1 = 0.0;
  double input2 = 0.0;
  std::optional<double> target;  // the shown output's desired value; none for a hidden neurode

  friend bool operator==(const MapPattern&, const MapPattern&) = default;
};

// The colour field of one neurode of a two-input net over the input square,
// with the patterns as dots (in their desired output's colour, grey for a
// hidden neurode) and a legend in the units of the neurode's output.
class MapField : public QWidget {
  Q_OBJECT

 public:
  explicit MapField(QWidget* parent = nullptr);

  // The field (one pixel per grid point, as OutputGrid lays it out), the
  // input range, the range the colours span and the patterns to show.
  void Show(QImage field, double inputLow, double inputHigh, double outputLow, double outputHigh,
            std::vector<MapPattern> patterns);
  const QImage& Field() const { return field_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Where the square field lies, given the widget's size and font.
  QRect Square() const;
  // Everything but the background and the field itself: the frame, the
  // labels, the pattern dots and the legend. It changes only with the
  // ranges, the patterns or the size, while the field changes with every
  // refresh during training, so it is kept as a transparent picture.
  void PaintOverlay(QPainter& p) const;

  QImage field_;
  QImage overlay_;  // null when it must be painted again
  double inputLow_ = -1, inputHigh_ = 1, outputLow_ = -1, outputHigh_ = 1;
  std::vector<MapPattern> patterns_;
};

// The decision map: what the net has learned, following the weights. For a
// net of two inputs, the colour field of one neurode of layers 2..L, output
// neurode 1 unless a selector ("layer 2, neurode 3") picks another: an
// output in the user's output units, a hidden neurode's own output f(net)
// over -1..1. For one input, each output plotted against the input; for
// other nets, a line saying what the map needs. It evaluates the net
// read-only and never changes the workspace.
class DecisionMapView : public QWidget {
  Q_OBJECT

 public:
  DecisionMapView(const Workspace& ws, Dialogs& dialogs, QWidget* parent = nullptr);

  // The weights may have changed: the map follows at the screen's rate.
  void NetChanged();
  // Evaluates and draws now.
  void Refresh();

  // A neurode of layers 2..L.
  struct Neurode {
    int layer = 0;
    int node = 1;
    friend bool operator==(const Neurode&, const Neurode&) = default;
  };
  // The neurode whose field is shown (two-input nets); layer 0 until the
  // net has been seen: output neurode 1 then.
  Neurode Shown() const;
  // The field last drawn (two-input nets), one pixel per grid point.
  const QImage& Field() const { return field_->Field(); }
  // The picture as "Save Picture..." writes it.
  QByteArray Picture(bool svg);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ShowMessage(const QString& text);
  void ShowSelector(bool shown);
  // Offers every neurode of layers 2..L, keeping the one chosen if it is
  // still there, else output neurode 1.
  void OfferNeurodes(int outputLayer, const std::vector<int>& sizes);
  void ShowField(Neurode neurode, int outputLayer);
  void ShowPlot();
  // The patterns, with the desired values of output `output`, or with none.
  std::vector<MapPattern> Patterns(std::optional<int> output) const;

  const Workspace& ws_;
  Dialogs& dialogs_;
  QComboBox* neurode_;
  QLabel* neurodeLabel_ = nullptr;
  QLabel* message_;
  MapField* field_;
  QChart* chart_;
  QChartView* plot_;
  RepaintThrottle* throttle_;
};

}  // namespace backprop
