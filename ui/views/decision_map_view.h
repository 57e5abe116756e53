#pragma once

#include <QImage>
#include <QWidget>

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
  double target = 0.0;  // the chosen output's desired value

  friend bool operator==(const MapPattern&, const MapPattern&) = default;
};

// The colour field of one output neurode of a two-input net over the input
// square, with the patterns as dots and a legend in the user's output units.
class MapField : public QWidget {
  Q_OBJECT

 public:
  explicit MapField(QWidget* parent = nullptr);

  // The field (one pixel per grid point, as OutputGrid lays it out), the
  // input and output ranges and the patterns to show.
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
// net of two inputs, the colour field of one output neurode (a selector
// picks it when there are several); for one input, each output plotted
// against the input; for other nets, a line saying what the map needs. It
// evaluates the net read-only and never changes the workspace.
class DecisionMapView : public QWidget {
  Q_OBJECT

 public:
  DecisionMapView(const Workspace& ws, Dialogs& dialogs, QWidget* parent = nullptr);

  // The weights may have changed: the map follows at the screen's rate.
  void NetChanged();
  // Evaluates and draws now.
  void Refresh();

  // The output neurode shown (1..).
  int Output() const;
  // The value the map shows for these inputs (user units), of the output
  // shown; not a number when the net cannot be evaluated there.
  double ValueAt(double input1, double input2) const;
  // The field last drawn (two-input nets), one pixel per grid point.
  const QImage& Field() const { return field_->Field(); }
  // The line shown instead of a map, or "".
  QString Message() const;
  // The picture as "Save Picture..." writes it.
  QByteArray Picture(bool svg);

  // Points per side of the grid the field is evaluated on.
  static constexpr int kGridPoints = 100;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ShowMessage(const QString& text);
  void ShowSelector(bool shown);
  void ShowField(int output);
  void ShowPlot();
  std::vector<MapPattern> Patterns(int output) const;

  const Workspace& ws_;
  Dialogs& dialogs_;
  QComboBox* output_;
  QLabel* outputLabel_ = nullptr;
  QLabel* message_;
  MapField* field_;
  QChart* chart_;
  QChartView* plot_;
  RepaintThrottle* throttle_;
};

}  // namespace backprop
