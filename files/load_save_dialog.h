// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <array>

#include "engine/workspace.h"
#include "files/file_set.h"

class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QLayout;
class QLineEdit;
class QListView;
class QPushButton;

namespace backprop {

class Dialogs;
class DirectoryList;
class FileError;
class MainWindowAccess;
class TwipsScale;

// The "File Control" window: moves the five texts and the weights file
// between the workspace and disk as one file set. Check boxes pick the rows,
// the name box (Text6) or a click in the file list names the set, and Load
// and Save move it. The file, directory and drive lists show the real file
// system; the directory list and the file list always show one directory.
class LoadSaveDialog : public QWidget {
  Q_OBJECT

 public:
  LoadSaveDialog(Workspace& ws, MainWindowAccess& mainWindow, Dialogs& dialogs,
                 QWidget* parent = nullptr);

  // The directory whose files the file list shows.
  QString FileListDirectory() const;
  // Moves the directory list (and with it the file list) to a directory,
  // as choosing it in the directory list does.
  void SetDirectory(const QString& path);

 public slots:
  // The dialog is loaded: maximised, the "Demo" set, first labels, empty name.
  void Form_Load();
  // Load: reads the checked rows of the set named in the name box.
  void Command1_Click();
  // Save: writes the checked rows under the bare base name in the name box.
  void Command2_Click();
  // Exit: hides the dialog and shows the main window.
  void Command3_Click();
  // The window is closed: as Exit, then the window is destroyed.
  void Form_Unload();
  // A file was picked (clicked, or reached with the keys): its base name
  // goes into the name box.
  void File1_Click();
  // The directory list moved: the file list follows it.
  void Dir1_Change();
  // An entry of the directory list was clicked: that folder becomes current.
  void Dir1_Click(const QString& path);
  // Another drive was chosen: the directory list moves to it.
  void Drive1_Change();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Build steps of the constructor.
  void NameControls();
  // Arranges the controls (load_save_layout.cpp).
  void PlaceControls();
  void SizeControls(const TwipsScale& twips);
  QLayout* FileColumn(const TwipsScale& twips);
  QLayout* DirectoryColumn(const TwipsScale& twips);
  QLayout* RowsAndButtons(const TwipsScale& twips);
  void FillDrives();
  void ConnectControls();
  void OrderForKeyboard();

  void SelectDriveOf(const QString& path);
  void SetRowTexts(const std::array<const char*, kFileSetRows>& labels);
  RowChoice CheckedRows() const;
  void ShowFileError(const char* headline, const FileError& error);

  Workspace& ws_;
  MainWindowAccess& mainWindow_;
  Dialogs& dialogs_;

  QWidget* page_;  // holds every control, in a scroll area
  QFileSystemModel* fileModel_;
  QListView* fileList_;                                  // File1
  QComboBox* driveList_;                                 // Drive1
  DirectoryList* directoryList_;                         // Dir1
  std::array<QCheckBox*, kFileSetRows> rowChecks_{};     // Check1..4, Check6, Check5
  std::array<QLineEdit*, kFileSetRows> rowFileBoxes_{};  // Text1..3, text4, Text7, Text5
  QPushButton* loadButton_;                              // Command1
  QPushButton* saveButton_;                              // Command2
  QPushButton* exitButton_;                              // Command3
  QLabel* nameLabel_;                                    // Label1
  QLineEdit* nameBox_;                                   // Text6
};

}  // namespace backprop
