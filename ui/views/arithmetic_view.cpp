// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/views/arithmetic_view.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "engine/data_set.h"
#include "engine/engine_error.h"
#include "engine/host.h"
#include "engine/number_text.h"
#include "engine/training.h"
#include "engine/workspace.h"
#include "ui/canvas/repaint_throttle.h"
#include "ui/common/dialogs.h"
#include "ui/common/window_style.h"
#include "ui/views/view_docks.h"

namespace backprop {

namespace {

constexpr int kColumns = 5;
// The rows of the table shown at least.
constexpr int kLeastRows = 6;
constexpr int kElementRole = Qt::UserRole;

// Six decimals; a value that rounds to zero is written without a sign.
QString Fixed(double value) {
  QString text = QString::number(value, 'f', 6);
  if (text.startsWith('-') && text.mid(1).toDouble() == 0) text.remove(0, 1);
  return text;
}
QString Full(double value) { return QString::fromStdString(ShortestNumberText(value)).trimmed(); }
// A tooltip's number: six significant digits.
QString Short(double value) { return QString::fromStdString(ShortNumberText(value)).trimmed(); }
QString Neurode(int j) { return j == 0 ? QString("bias") : "neurode " + QString::number(j); }

}  // namespace

ArithmeticView::ArithmeticView(Workspace& ws, Host& host, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), ws_(ws), host_(host), dialogs_(dialogs) {
  setObjectName("Arithmetic");
  BuildControls();
  throttle_ = new RepaintThrottle(
      table_, [this] { Refresh(); }, kViewShare, RepaintThrottle::Cost::PreparationAndPainting);
}

void ArithmeticView::BuildControls() {
  set_ = new QComboBox(this);
  set_->setObjectName("ArithmeticSet");
  set_->setAccessibleName("Training set");
  set_->addItems({"Training Data (D1)", "Training Data (D2)"});
  pattern_ = new QSpinBox(this);
  pattern_->setObjectName("ArithmeticPattern");
  pattern_->setAccessibleName("Pattern");
  pattern_->setRange(1, 1);
  apply_ = new QPushButton("Apply", this);
  apply_->setObjectName("ArithmeticApply");
  apply_->setToolTip("Apply this step to the weights and go on to the next pattern");
  oneCycle_ = new QPushButton("One Cycle", this);
  oneCycle_->setObjectName("ArithmeticOneCycle");
  // Enter presses them too, as in a dialog.
  apply_->setAutoDefault(true);
  oneCycle_->setAutoDefault(true);
  oneCycle_->setToolTip("Train one cycle over the whole set, as TRAIN does");
  counters_ = new QLabel(this);
  counters_->setObjectName("ArithmeticCounters");
  status_ = new QLabel(this);
  status_->setObjectName("ArithmeticStatus");
  status_->setWordWrap(true);
  note_ = new QLabel(this);
  note_->setObjectName("ArithmeticNote");
  note_->setWordWrap(true);
  note_->hide();
  table_ = new QTreeWidget(this);
  table_->setObjectName("ArithmeticTable");
  table_->setAccessibleName("Arithmetic of the pattern");
  table_->setColumnCount(kColumns);
  table_->header()->hide();
  table_->header()->setStretchLastSection(false);
  table_->setRootIsDecorated(false);
  table_->setAlternatingRowColors(true);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  // Some rows of numbers stay in sight however short the dock.
  table_->setMinimumHeight(table_->fontMetrics().lineSpacing() * kLeastRows);

  connect(set_, &QComboBox::activated, this, &ArithmeticView::Chosen);
  connect(pattern_, &QSpinBox::valueChanged, this, &ArithmeticView::Chosen);
  connect(apply_, &QPushButton::clicked, this, &ArithmeticView::Apply);
  connect(oneCycle_, &QPushButton::clicked, this, &ArithmeticView::OneCycle);
  connect(table_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    NetElement element;
    if (item != nullptr && item->data(0, kElementRole).isValid()) {
      const QList<QVariant> v = item->data(0, kElementRole).toList();
      element = {static_cast<NetElement::Kind>(v[0].toInt()), v[1].toInt(), v[2].toInt(),
                 v[3].toInt()};
    }
    emit Highlight(element);
  });

  // The choice and the buttons in a row that breaks in two when narrow.
  auto* setLabel = new QLabel("Set:", this);
  setLabel->setBuddy(set_);
  auto* patternLabel = new QLabel("Pattern:", this);
  patternLabel->setBuddy(pattern_);
  auto* choice = new QHBoxLayout;
  choice->addWidget(setLabel);
  choice->addWidget(set_);
  choice->addWidget(patternLabel);
  choice->addWidget(pattern_);
  choice->addStretch(1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(apply_);
  buttons->addWidget(oneCycle_);
  buttons->addStretch(1);
  auto* column = new QVBoxLayout(this);
  column->addLayout(choice);
  column->addLayout(buttons);
  column->addWidget(counters_);
  column->addWidget(status_);
  column->addWidget(note_);
  column->addWidget(table_, 1);
}

int ArithmeticView::Set() const { return set_->currentIndex() + 1; }
int ArithmeticView::Pattern() const { return pattern_->value(); }

void ArithmeticView::Choose(int set, int pattern) {
  set_->setCurrentIndex(std::clamp(set, 1, 2) - 1);
  Refresh();  // the set's pattern count bounds the choice
  ShowPattern(pattern);
}

void ArithmeticView::ShowPattern(int pattern) {
  {
    const QSignalBlocker quiet(pattern_);
    pattern_->setValue(pattern);
  }
  Refresh();
}

void ArithmeticView::NetChanged() {
  if (isVisible() && !holdingStep_) throttle_->Request();
}

void ArithmeticView::Chosen() {
  FollowTraining();
  Refresh();
}

void ArithmeticView::ShowNote(const QString& note) {
  note_->setText(note);
  note_->setVisible(!note.isEmpty());
}

QString ArithmeticView::Note() const { return note_->text(); }

void ArithmeticView::ShowNext(int set, int pattern) {
  holdingStep_ = false;
  Choose(set, pattern);
  ShowNote(QString("Paused: pattern %1 of %2 is trained next, with these numbers.")
               .arg(shown_.pattern)
               .arg(shown_.patternCount));
}

void ArithmeticView::ShowTrained(const PatternArithmetic& step) {
  {
    const QSignalBlocker quietSet(set_);
    const QSignalBlocker quietPattern(pattern_);
    set_->setCurrentIndex(std::clamp(step.set, 1, 2) - 1);
    pattern_->setRange(1, std::max(1, step.patternCount));
    pattern_->setValue(step.pattern);
  }
  holdingStep_ = true;
  shown_ = step;
  ShowCounters();
  ShowOverflow();
  Fill();
  ShowNote(QString("Paused: pattern %1 of %2 was just trained, with these numbers.")
               .arg(step.pattern)
               .arg(step.patternCount));
}

void ArithmeticView::FollowTraining() {
  holdingStep_ = false;
  ShowNote({});
}

void ArithmeticView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Refresh();
}

void ArithmeticView::SetRunning(bool running) {
  running_ = running;
  FollowTraining();
  apply_->setEnabled(!running);
  oneCycle_->setEnabled(!running);
}

void ArithmeticView::ShowCounters() {
  counters_->setText(
      QString("Applied by hand since the weights were set: %1 pattern(s), %2 cycle(s)")
          .arg(ws_.HandPatterns.Value())
          .arg(ws_.HandCycles.Value()));
}

void ArithmeticView::Fail(const QString& reason) {
  shown_ = PatternArithmetic();
  table_->clear();
  status_->setText(reason);
  status_->show();
}

void ArithmeticView::Refresh() {
  if (holdingStep_) return;
  ShowCounters();
  // The set's patterns, read as a load reads them, without loading them.
  DataSetValues data;
  try {
    data = ReadDataSet(ws_, Set(), true);
  } catch (const EngineError& error) {
    Fail(QString("The set cannot be read: ") + error.what());
    return;
  }
  {
    const QSignalBlocker quiet(pattern_);
    pattern_->setRange(1, std::max(1, data.patterns));
  }
  if (data.patterns == 0) {
    Fail("The set has no patterns.");
    return;
  }
  try {
    shown_ = ExplainPattern(ws_, data, Set(), Pattern());
  } catch (const EngineError& error) {
    Fail(QString("This step cannot be computed: ") + error.what());
    return;
  }
  ShowOverflow();
  Fill();
}

void ArithmeticView::ShowOverflow() {
  const std::string overflow = OverflowIn(shown_);
  status_->setText(overflow.empty()
                       ? QString()
                       : QString("This step overflows: ") + QString::fromStdString(overflow));
  status_->setVisible(!overflow.empty());
}

void ArithmeticView::AddGroup(const QString& title, const QStringList& headers) {
  group_ = new QTreeWidgetItem(table_, {title});
  group_->setFirstColumnSpanned(true);
  QFont bold = table_->font();
  bold.setBold(true);
  group_->setFont(0, bold);
  group_->setFlags(Qt::ItemIsEnabled);
  auto* header = new QTreeWidgetItem(table_, headers);
  QFont italic = table_->font();
  italic.setItalic(true);
  for (int c = 0; c < kColumns; ++c) {
    header->setFont(c, italic);
    // Over the numbers, which stand right-aligned.
    if (c > 0) header->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
  }
  header->setFlags(Qt::ItemIsEnabled);
}

void ArithmeticView::AddRow(const QString& name, std::initializer_list<double> numbers,
                            const NetElement& element) {
  auto* row = new QTreeWidgetItem(table_, {name});
  int column = 1;
  for (const double value : numbers) {
    row->setText(column, Fixed(value));
    row->setToolTip(column, Short(value));
    row->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    ++column;
  }
  if (element.kind != NetElement::Kind::None) {
    row->setData(0, kElementRole,
                 QList<QVariant>{static_cast<int>(element.kind), element.layer, element.node,
                                 element.target});
  }
}

void ArithmeticView::Fill() {
  const QSignalBlocker quiet(table_);
  // The row selected stays selected when the numbers are shown afresh.
  const QVariant selected =
      table_->currentItem() != nullptr ? table_->currentItem()->data(0, kElementRole) : QVariant();
  table_->clear();
  const PatternArithmetic& a = shown_;
  const NetGeometry& g = a.geometry;
  const int last = g.OutputLayer();
  using Kind = NetElement::Kind;

  AddGroup("Layer 1 (inputs): pattern " + QString::number(a.pattern) + " of " +
               QString::number(a.patternCount),
           {"neurode", "raw input", "o = scaled input"});
  for (int i = 1; i <= g.Size(1); ++i) {
    AddRow(Neurode(i), {a.rawInputs[i], a.scaledInputs[i]}, {Kind::Neurode, 1, i, 0});
  }
  for (int k = 2; k <= last; ++k) {
    const bool output = k == last;
    AddGroup(QString("Layer %1 (%2)").arg(k).arg(output ? "outputs" : "hidden"),
             {"neurode", "net = Σ w·o", "o = f(net)", "f'(net)",
              output ? "δ = f'(net) · e" : "δ = f'(net) · Σ w·δ"});
    for (int j = 1; j <= g.Size(k); ++j) {
      AddRow(Neurode(j), {a.net[k][j], a.output[k][j], a.slope[k][j], a.delta[k][j]},
             {Kind::Neurode, k, j, 0});
    }
  }
  if (last >= 1) {
    AddGroup("The error: " + QString(a.analog ? "analog" : "digital") + ", this pattern's share " +
                 Fixed(a.errorShare),
             {"neurode", "desired (scaled)", "e = desired − o",
              a.analog ? "share = e²" : "share = int(3.2 · e²)"});
    for (int j = 1; j <= g.OutputSize(); ++j) {
      AddRow(Neurode(j), {a.targets[j], a.errors[j], a.errorShares[j]},
             {Kind::Neurode, last, j, 0});
    }
  }
  for (int h = 1; h < last; ++h) {
    AddGroup(QString("Weights from layer %1 to layer %2 (ε = %3)")
                 .arg(h)
                 .arg(h + 1)
                 .arg(Full(a.epsilon)),
             {"from → to", "w", "Δw = ε · o · δ", "new w = w + Δw"});
    // A layer without its bias neurode has no weights from it.
    for (int i = ws_.BiasFlags(h) == 1 ? 0 : 1; i <= g.Size(h); ++i) {
      for (int j = 1; j <= g.Size(h + 1); ++j) {
        AddRow(Neurode(i) + " → " + Neurode(j),
               {a.weight[h][i][j], a.change[h][i][j], a.newWeight[h][i][j]},
               {Kind::Connection, h, i, j});
      }
    }
  }
  if (selected.isValid()) {
    for (int n = 0; n < table_->topLevelItemCount(); ++n) {
      QTreeWidgetItem* item = table_->topLevelItem(n);
      if (item->data(0, kElementRole) != selected) continue;
      table_->setCurrentItem(item);
      break;
    }
  }
  for (int c = 0; c < kColumns; ++c) {
    table_->resizeColumnToContents(c);
    if (c > 0) table_->setColumnWidth(c, table_->columnWidth(c) + 16);
  }
}

void ArithmeticView::Apply() {
  if (ws_.Busy == 1 || running_) return;
  try {
    ApplyPatternStep(ws_, host_, Set(), Pattern());
  } catch (const EngineError& error) {
    dialogs_.Warning(this, kMessageBoxTitle, QString("UNABLE TO APPLY THE STEP\n") + error.what());
    return;
  }
  ShowPattern(Pattern() >= pattern_->maximum() ? 1 : Pattern() + 1);
}

void ArithmeticView::OneCycle() {
  if (ws_.Busy == 1 || running_) return;
  SetRunning(true);
  try {
    TrainOneCycle(ws_, host_, Set());
  } catch (const EngineError& error) {
    dialogs_.Warning(this, kMessageBoxTitle, QString("UNABLE TO RUN THE CYCLE\n") + error.what());
  }
  SetRunning(false);
  Refresh();
}

}  // namespace backprop
