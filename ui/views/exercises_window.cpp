// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/views/exercises_window.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace backprop {

ExercisesWindow::ExercisesWindow(QWidget* parent)
    : QDialog(parent), list_(new QListWidget(this)), where_(new QLabel(this)) {
  setObjectName("Exercises");
  setWindowTitle("Exercises");
  list_->setObjectName("ExercisesList");
  list_->setAccessibleName("Exercises");
  list_->setAlternatingRowColors(true);
  // The list 640 x 500 where the screen has room, less on a small screen or
  // at a large scale, so that the buttons stay in sight.
  const QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
  const QSize room = screen != nullptr ? screen->availableSize() : QSize(800, 600);
  list_->setMinimumSize(std::clamp(room.width() - 80, 240, 640),
                        std::clamp(room.height() - 300, 120, 500));
  where_->setWordWrap(true);
  auto* intro = new QLabel(
      "Choose an exercise: its files are copied into the current folder "
      "(a file that is there already is replaced only when you say so) and loaded, "
      "and its lesson opens beside the net.",
      this);
  intro->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Close, this);
  buttons->button(QDialogButtonBox::Open)->setObjectName("ExercisesOpen");
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { Choose(list_->currentRow()); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(list_, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { Choose(list_->row(item)); });
  auto* column = new QVBoxLayout(this);
  column->setSizeConstraint(QLayout::SetMinimumSize);
  column->addWidget(intro);
  column->addWidget(list_, 1);
  column->addWidget(where_);
  column->addWidget(buttons);
}

void ExercisesWindow::SetExercises(std::vector<Exercise> exercises, const QString& where) {
  exercises_ = std::move(exercises);
  list_->clear();
  for (const Exercise& e : exercises_) {
    // The title in bold over the note's first line; both shown as text.
    auto* label = new QLabel("<b>" + QString::fromStdString(e.title).toHtmlEscaped() + "</b><br>" +
                             QString::fromStdString(e.summary).toHtmlEscaped());
    label->setTextFormat(Qt::RichText);
    label->setWordWrap(true);
    label->setContentsMargins(4, 3, 4, 3);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* item = new QListWidgetItem(list_);
    item->setToolTip(QString::fromStdString(e.base.filename().string()));
    label->setFixedWidth(list_->minimumWidth() - 24);
    item->setSizeHint(label->sizeHint());
    list_->setItemWidget(item, label);
  }
  if (!exercises_.empty()) list_->setCurrentRow(0);
  where_->setText(exercises_.empty() ? "No exercises found in " + where : "From " + where);
}

void ExercisesWindow::Choose(int row) {
  if (row < 0 || row >= static_cast<int>(exercises_.size())) return;
  const Exercise chosen = exercises_[static_cast<std::size_t>(row)];
  accept();
  emit ExerciseChosen(chosen);
}

}  // namespace backprop
