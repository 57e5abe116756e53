// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "engine/data_generator.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPlainTextEdit;
class QSpinBox;

namespace backprop {

class Dialogs;
struct Workspace;

// Edit > "Generate Data...": fills Training Data D1, D2 or Test Set T1 with a
// generated set (a shape, its pattern count, noise and seed), its inputs in
// the present input range and its targets in the output range. A preview
// shows the text as it will be written; a text already in the buffer is
// replaced only when the user says so.
class GenerateDataDialog : public QDialog {
  Q_OBJECT

 public:
  GenerateDataDialog(Workspace& ws, Dialogs& dialogs, QWidget* parent = nullptr);

  // The settings the controls hold, with the workspace's ranges.
  GeneratorSettings Settings() const;
  // The buffer the text goes to.
  int TargetBuffer() const;

  // Writes the text into the chosen buffer; false when the user kept the
  // text that was there, or the settings cannot be generated.
  bool Apply();

 private:
  void UpdatePreview();

  Workspace& ws_;
  Dialogs& dialogs_;
  QComboBox* target_;
  QComboBox* shape_;
  QSpinBox* patterns_;
  QDoubleSpinBox* noise_;
  QSpinBox* seed_;
  QLabel* fit_;
  QPlainTextEdit* preview_;
};

}  // namespace backprop
