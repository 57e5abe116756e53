// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>

#include <array>

class QCheckBox;
class QKeyEvent;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace backprop {

class Dialogs;
class MainWindowAccess;
struct ListingChoice;
struct Workspace;

// The "Net Data" window: the user ticks the sections wanted and lists them
// to the printer or into the preview area. The ticks are the window's only
// state; everything listed is read from the workspace.
class ListingWindow : public QMainWindow {
  Q_OBJECT

 public:
  ListingWindow(Workspace& ws, MainWindowAccess& main, Dialogs& dialogs, QWidget* parent = nullptr);

  // The start-up preset of the main window: only Weights ticked among the
  // sections it sets; Test Data 1 keeps its tick.
  void PresetChoices();
  // The main window's List command: show the window maximised, ready to
  // choose, without the preview area and the wait notice.
  void ShowForListing();

 public slots:
  // "Print": the listing goes to the printer, then back to the main window.
  void Command1_Click();
  // "Preview": the listing goes into the preview area.
  void Command3_Click();
  // "END": back to the main window, ready to choose again next time.
  void ed_Click();
  // The close box: as "END"; the window is then destroyed.
  void Form_Unload();
  // Builds the listing to the destination ListDestination names.
  void MakeListing();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Build steps of the constructor.
  QWidget* BuildChoosingPanel();
  void BuildPreviewArea();
  void BuildMenuBar();

  // True when the key is a typed character, which the preview discards.
  bool Text1_KeyPress(const QKeyEvent* event) const;
  ListingChoice Choice() const;
  void ShowChoosing(bool shown);
  void ShowWaitNotice();
  void Print(const ListingChoice& choice);
  void Preview(const ListingChoice& choice);

  Workspace& ws_;
  MainWindowAccess& main_;
  Dialogs& dialogs_;
  // The check box of each section, in the order of ListingSections().
  std::array<QCheckBox*, 8> sectionChecks_{};
  QPushButton* printButton_ = nullptr;     // Command1
  QPushButton* previewButton_ = nullptr;   // Command3
  QPlainTextEdit* previewArea_ = nullptr;  // Text1
  QLabel* waitNotice_ = nullptr;           // Text2, "Please Wait!!"
};

}  // namespace backprop
