// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/editor/generate_data_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "engine/engine_error.h"
#include "engine/number_text.h"
#include "engine/workspace.h"
#include "ui/common/dialogs.h"
#include "ui/common/window_style.h"

namespace backprop {

namespace {

struct TargetRow {
  BufferId buffer;
  const char* name;
};
constexpr TargetRow kTargets[] = {{BufferId::TrainingDataD1, "Training Data (D1)"},
                                  {BufferId::TrainingDataD2, "Training Data (D2)"},
                                  {BufferId::TestSetT1, "Test Set (T1)"}};

// The lines of the preview: enough to read the layout.
constexpr int kPreviewLines = 12;

QString RangeText(double low, double high) {
  return QString::fromStdString(RoundTripText(low) + " to " + RoundTripText(high));
}

}  // namespace

GenerateDataDialog::GenerateDataDialog(Workspace& ws, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent),
      ws_(ws),
      dialogs_(dialogs),
      target_(new QComboBox(this)),
      shape_(new QComboBox(this)),
      patterns_(new QSpinBox(this)),
      noise_(new QDoubleSpinBox(this)),
      seed_(new QSpinBox(this)),
      fit_(new QLabel(this)),
      preview_(new QPlainTextEdit(this)) {
  setObjectName("GenerateData");
  setWindowTitle("Generate Data");
  for (const TargetRow& row : kTargets) target_->addItem(row.name, static_cast<int>(row.buffer));
  for (const DataShapeInfo& info : kDataShapes) {
    shape_->addItem(
        QString("%1 (%2 input%3)").arg(info.name).arg(info.inputs).arg(info.inputs == 1 ? "" : "s"),
        static_cast<int>(info.shape));
  }
  patterns_->setRange(1, kMaxPatterns);
  patterns_->setValue(100);
  noise_->setRange(0, kMaxNoisePercent);
  noise_->setDecimals(1);
  noise_->setSuffix(" %");
  seed_->setRange(0, 999999);
  seed_->setValue(1);
  target_->setObjectName("GenerateTarget");
  shape_->setObjectName("GenerateShape");
  patterns_->setObjectName("GeneratePatterns");
  noise_->setObjectName("GenerateNoise");
  seed_->setObjectName("GenerateSeed");
  fit_->setWordWrap(true);
  preview_->setObjectName("GeneratePreview");
  preview_->setReadOnly(true);
  preview_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  preview_->setMinimumSize(280, 120);
  preview_->setAccessibleName("Preview of the data");

  auto* form = new QFormLayout;
  form->addRow("Fill:", target_);
  form->addRow("Shape:", shape_);
  form->addRow("Patterns:", patterns_);
  form->addRow("Noise (of the input range):", noise_);
  form->addRow("Seed:", seed_);
  auto* ranges = new QLabel(
      "Inputs lie in the input range " + RangeText(ws.InputRangeLow, ws.InputRangeHigh) +
          "; classes are the ends of the output range " +
          RangeText(ws.OutputRangeLow, ws.OutputRangeHigh) + ". The same seed gives the same data.",
      this);
  ranges->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText("Generate");
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    if (Apply()) accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* column = new QVBoxLayout(this);
  column->addLayout(form);
  column->addWidget(ranges);
  column->addWidget(fit_);
  column->addWidget(new QLabel("The text, one pattern per line, inputs first:", this));
  column->addWidget(preview_, 1);
  column->addWidget(buttons);

  connect(shape_, &QComboBox::currentIndexChanged, this, &GenerateDataDialog::UpdatePreview);
  connect(patterns_, &QSpinBox::valueChanged, this, &GenerateDataDialog::UpdatePreview);
  connect(noise_, &QDoubleSpinBox::valueChanged, this, &GenerateDataDialog::UpdatePreview);
  connect(seed_, &QSpinBox::valueChanged, this, &GenerateDataDialog::UpdatePreview);
  UpdatePreview();
}

GeneratorSettings GenerateDataDialog::Settings() const {
  GeneratorSettings s;
  s.shape = static_cast<DataShape>(shape_->currentData().toInt());
  s.patterns = patterns_->value();
  s.noisePercent = noise_->value();
  s.seed = static_cast<std::uint32_t>(seed_->value());
  s.inputLow = ws_.InputRangeLow;
  s.inputHigh = ws_.InputRangeHigh;
  s.outputLow = ws_.OutputRangeLow;
  s.outputHigh = ws_.OutputRangeHigh;
  return s;
}

int GenerateDataDialog::TargetBuffer() const { return target_->currentData().toInt(); }

void GenerateDataDialog::UpdatePreview() {
  const GeneratorSettings s = Settings();
  const int inputs = InfoOf(s.shape).inputs;
  const int netInputs = static_cast<int>(ws_.LayerSizes(1));
  const int netOutputs = ws_.LayerCount >= 1 && ws_.LayerCount <= kMaxLayers
                             ? static_cast<int>(ws_.LayerSizes(static_cast<int>(ws_.LayerCount)))
                             : 0;
  const bool fits = netInputs == inputs && netOutputs == 1;
  fit_->setText(QString("Each pattern: %1 input%2 and 1 desired output. ")
                    .arg(inputs)
                    .arg(inputs == 1 ? "" : "s") +
                (fits ? QString("The net has as many.")
                      : QString("The net now has %1 input(s) and %2 output(s): set NETLIST to "
                                "match before training on it.")
                            .arg(netInputs)
                            .arg(netOutputs)));
  try {
    const QString text = QString::fromStdString(GenerateData(s).text).remove(u'\r');
    QStringList lines = text.split(u'\n');
    const qsizetype all = lines.size() - 1;
    if (lines.size() > kPreviewLines) {
      lines = lines.mid(0, kPreviewLines);
      lines << QString("... (%1 lines in all)").arg(all);
    }
    preview_->setPlainText(lines.join(u'\n'));
  } catch (const EngineError& error) {
    preview_->setPlainText(QString("These settings cannot be generated: ") + error.what());
  }
}

bool GenerateDataDialog::Apply() {
  GeneratedData data;
  try {
    data = GenerateData(Settings());
  } catch (const EngineError& error) {
    dialogs_.Warning(this, kMessageBoxTitle,
                     QString("THE DATA CANNOT BE GENERATED\n") + error.what());
    return false;
  }
  const auto buffer = static_cast<BufferId>(TargetBuffer());
  std::string& text = ws_.TextBuffer(buffer);
  if (!text.empty() &&
      dialogs_.Ask(this, kMessageBoxTitle,
                   target_->currentText() + " holds a text already. Replace it?") != Answer::Yes) {
    return false;
  }
  // Texts hold the line breaks a file holds; the generated text has them.
  text = std::move(data.text);
  // The next step or run reads the new text afresh.
  ws_.LoadedSet = kNoDataSet;
  return true;
}

}  // namespace backprop
