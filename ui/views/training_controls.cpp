// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/views/training_controls.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <utility>

namespace backprop {

namespace {

// The speeds to choose from, slowest first, each about three times the one
// before, so that every step is plain to see; 0 is full speed.
constexpr std::array<int, 6> kSpeeds{1, 3, 10, 30, 100, 0};
constexpr int kFullSpeedIndex = static_cast<int>(kSpeeds.size()) - 1;

}  // namespace

TrainingControls::TrainingControls(QWidget* parent) : QWidget(parent) {
  setObjectName("Training");
  BuildActions();
  BuildLines();
  LayOut();
  ShowPauseCaption();
  ShowSpeedName();
  SetTraining(false);
}

void TrainingControls::BuildActions() {
  pause_ = AddAction("Pause", "TrainingPause", Qt::Key_F5,
                     "Pause training before its next pattern, or resume it");
  pause_->setCheckable(true);
  oneCycle_ = AddAction("One Cycle", "TrainingOneCycle", Qt::Key_F6,
                        "Train to the end of this cycle, then pause");
  onePattern_ = AddAction("One Pattern", "TrainingOnePattern", Qt::Key_F7,
                          "Train one pattern, then pause and show its arithmetic");
  slower_ = AddAction("Slower", "TrainingSlower", Qt::Key_F8, "Train more slowly");
  faster_ = AddAction("Faster", "TrainingFaster", Qt::Key_F9, "Train faster, up to full speed");
  connect(pause_, &QAction::toggled, this, [this] {
    ShowPauseCaption();
    emit Changed();
  });
  connect(oneCycle_, &QAction::triggered, this, [this] { AskForStep(TrainingStep::Cycle); });
  connect(onePattern_, &QAction::triggered, this, [this] { AskForStep(TrainingStep::Pattern); });
  connect(slower_, &QAction::triggered, this, [this] { SetSpeedIndex(SpeedIndex() - 1); });
  connect(faster_, &QAction::triggered, this, [this] { SetSpeedIndex(SpeedIndex() + 1); });
  for (QAction* action : Actions()) {
    connect(action, &QAction::triggered, this, &TrainingControls::Used);
  }
}

// The speed's slider and name, the state and what comes next.
void TrainingControls::BuildLines() {
  speed_ = new QSlider(Qt::Horizontal, this);
  speed_->setObjectName("TrainingSpeed");
  speed_->setAccessibleName("Speed");
  speed_->setRange(0, kFullSpeedIndex);
  speed_->setPageStep(1);
  speed_->setTickPosition(QSlider::TicksBelow);
  speed_->setValue(kFullSpeedIndex);
  connect(speed_, &QSlider::valueChanged, this, [this] {
    ShowSpeedName();
    emit Changed();
  });
  speedName_ = new QLabel(this);
  speedName_->setObjectName("TrainingSpeedName");
  speedName_->setMinimumWidth(speedName_->fontMetrics().horizontalAdvance(SpeedName(100)));
  state_ = new QLabel(this);
  state_->setObjectName("TrainingState");
  state_->setAccessibleName("Training state");
  state_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  QFont bold = state_->font();
  bold.setBold(true);
  state_->setFont(bold);
  detail_ = new QLabel(this);
  detail_->setObjectName("TrainingDetail");
  detail_->setAccessibleName("Next in training");
}

void TrainingControls::LayOut() {
  auto* buttons = new QHBoxLayout;
  for (QAction* action : {pause_, oneCycle_, onePattern_}) {
    auto* button = new QToolButton(this);
    button->setDefaultAction(action);
    button->setObjectName(action->objectName() + "Button");
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    // Its accessible name is its caption, which follows the action's.
    button->setAccessibleDescription(action->toolTip());
    buttons->addWidget(button);
  }
  buttons->addStretch(1);
  auto* speedRow = new QHBoxLayout;
  auto* speedLabel = new QLabel("Speed:", this);
  speedLabel->setBuddy(speed_);
  speedRow->addWidget(speedLabel);
  speedRow->addWidget(speed_, 1);
  speedRow->addWidget(speedName_);
  auto* column = new QVBoxLayout(this);
  column->addLayout(buttons);
  column->addLayout(speedRow);
  column->addWidget(state_);
  column->addWidget(detail_);
  column->addStretch(1);
}

QAction* TrainingControls::AddAction(const QString& text, const QString& objectName, Qt::Key key,
                                     const QString& tip) {
  auto* action = new QAction(text, this);
  action->setObjectName(objectName);
  action->setShortcut(QKeySequence(key));
  // The dock may float: its shortcuts work in the main window and beside it.
  action->setShortcutContext(Qt::WindowShortcut);
  action->setToolTip(tip + " (" + action->shortcut().toString(QKeySequence::NativeText) + ")");
  addAction(action);
  return action;
}

QList<QAction*> TrainingControls::Actions() const {
  return {pause_, oneCycle_, onePattern_, slower_, faster_};
}

bool TrainingControls::Paused() const { return pause_->isChecked(); }

void TrainingControls::SetPaused(bool paused) { pause_->setChecked(paused); }

TrainingStep TrainingControls::TakeStep() { return std::exchange(step_, TrainingStep::None); }

void TrainingControls::AskForStep(TrainingStep step) {
  if (!oneCycle_->isEnabled()) return;
  step_ = step;
  // Once the step is done, training waits again.
  const QSignalBlocker quiet(pause_);
  pause_->setChecked(true);
  ShowPauseCaption();
  emit Changed();
}

int TrainingControls::CyclesPerSecond() const {
  return kSpeeds[static_cast<std::size_t>(speed_->value())];
}

int TrainingControls::SpeedIndex() const { return speed_->value(); }

void TrainingControls::SetSpeedIndex(int index) {
  speed_->setValue(std::clamp(index, 0, kFullSpeedIndex));
}

int TrainingControls::SpeedCount() { return static_cast<int>(kSpeeds.size()); }

QString TrainingControls::SpeedName(int cyclesPerSecond) {
  if (cyclesPerSecond == 0) return "Full speed";
  if (cyclesPerSecond == 1) return "1 cycle a second";
  return QString("%1 cycles a second").arg(cyclesPerSecond);
}

void TrainingControls::SetTraining(bool training) {
  oneCycle_->setEnabled(training);
  onePattern_->setEnabled(training);
}

void TrainingControls::ShowState(const QString& state, const QString& detail) {
  if (state_->text() != state) state_->setText(state);
  if (detail_->text() != detail) detail_->setText(detail);
  detail_->setVisible(!detail.isEmpty());
}

QString TrainingControls::State() const { return state_->text(); }
QString TrainingControls::Detail() const { return detail_->text(); }
QWidget* TrainingControls::StateLine() const { return state_; }

void TrainingControls::ShowPauseCaption() {
  pause_->setText(pause_->isChecked() ? "Resume" : "Pause");
}

void TrainingControls::ShowSpeedName() {
  const QString name = SpeedName(CyclesPerSecond());
  speedName_->setText(name);
  speed_->setAccessibleDescription(name);
  slower_->setEnabled(speed_->value() > 0);
  faster_->setEnabled(speed_->value() < kFullSpeedIndex);
}

}  // namespace backprop
