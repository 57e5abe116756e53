// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <vector>

#include "files/exercise_library.h"

class QLabel;
class QListWidget;

namespace backprop {

// The list of the exercise library: each set's title and the first line of
// its note. Choosing one (Open, Enter or a double click) hands it on and
// closes the list.
class ExercisesWindow : public QDialog {
  Q_OBJECT

 public:
  explicit ExercisesWindow(QWidget* parent = nullptr);

  // Lists these sets; `where` says which folders they came from.
  void SetExercises(std::vector<Exercise> exercises, const QString& where);
  const std::vector<Exercise>& Exercises() const { return exercises_; }
  // Chooses the set in row `row`, as a double click on it does.
  void Choose(int row);

 signals:
  void ExerciseChosen(const Exercise& exercise);

 private:
  std::vector<Exercise> exercises_;
  QListWidget* list_;
  QLabel* where_;
};

}  // namespace backprop
