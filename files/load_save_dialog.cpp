// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/load_save_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStorageInfo>
#include <algorithm>
#include <functional>
#include <new>
#include <utility>

#include "engine/visible_text.h"
#include "files/directory_list.h"
#include "files/file_error.h"
#include "ui/common/dialogs.h"
#include "ui/common/keyboard.h"
#include "ui/common/main_window_access.h"
#include "ui/common/maximise.h"
#include "ui/common/window_style.h"

namespace backprop {

namespace {

// File names travel through the workspace as the bytes the system uses.
std::string ToBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }
QString FromBytes(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

// The name-box text for a clicked file: the part before the first "." as
// it is, or the whole name in capitals when it has no ".".
QString ClickedBaseName(const QString& fileName) {
  const qsizetype dot = fileName.indexOf(u'.');
  return dot >= 0 ? fileName.left(dot) : fileName.toUpper();
}

// The file list. Moving through it with the keys picks the file reached, as
// a click does. The list also makes a file current by itself (when it first
// gets the focus, or when the current file goes away); that picks nothing.
class FileList : public QListView {
 public:
  FileList(QWidget* parent, std::function<void()> onKeyPick)
      : QListView(parent), onKeyPick_(std::move(onKeyPick)) {}

  // The size the dialog gives as the minimum; the layout adds room to it.
  QSize sizeHint() const override { return minimumSize(); }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    const QPersistentModelIndex before = currentIndex();
    QListView::keyPressEvent(event);
    if (currentIndex().isValid() && currentIndex() != before) onKeyPick_();
  }

 private:
  std::function<void()> onKeyPick_;
};

}  // namespace

LoadSaveDialog::LoadSaveDialog(Workspace& ws, MainWindowAccess& mainWindow, Dialogs& dialogs,
                               QWidget* parent)
    : QWidget(parent, Qt::Window),
      ws_(ws),
      mainWindow_(mainWindow),
      dialogs_(dialogs),
      page_(new QWidget(this)),
      fileModel_(new QFileSystemModel(this)),
      fileList_(new FileList(page_, [this] { File1_Click(); })),
      driveList_(new QComboBox(page_)),
      directoryList_(new DirectoryList(page_)),
      loadButton_(new QPushButton("Load", page_)),
      saveButton_(new QPushButton("Save", page_)),
      exitButton_(new QPushButton("Exit", page_)),
      nameLabel_(new QLabel("File Name:", page_)),
      nameBox_(new QLineEdit(page_)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle("File Control");
  for (int row = 0; row < kFileSetRows; ++row) {
    rowChecks_[row] = new QCheckBox(page_);
    rowFileBoxes_[row] = new QLineEdit(page_);
  }
  NameControls();
  PlaceControls();
  FillDrives();
  ConnectControls();
  OrderForKeyboard();

  // The lists start in the working directory, where the "Demo" set lies.
  SetDirectory(QDir::currentPath());
  Form_Load();
}

void LoadSaveDialog::NameControls() {
  static constexpr std::array<const char*, kFileSetRows> kCheckNames{"Check1", "Check2", "Check3",
                                                                     "Check4", "Check6", "Check5"};
  static constexpr std::array<const char*, kFileSetRows> kBoxNames{"Text1", "Text2", "Text3",
                                                                   "text4", "Text7", "Text5"};
  for (int row = 0; row < kFileSetRows; ++row) {
    rowChecks_[row]->setObjectName(kCheckNames[row]);
    rowFileBoxes_[row]->setObjectName(kBoxNames[row]);
  }
  for (auto [control, name] : {std::pair<QWidget*, const char*>{fileList_, "File1"},
                               {driveList_, "Drive1"},
                               {directoryList_, "Dir1"},
                               {loadButton_, "Command1"},
                               {saveButton_, "Command2"},
                               {exitButton_, "Command3"},
                               {nameLabel_, "Label1"},
                               {nameBox_, "Text6"}}) {
    control->setObjectName(name);
  }
}

// Tab goes from the lists down the rows to the buttons and the name box;
// Enter or Space presses the button that has the focus, Esc leaves as Exit
// does. Each control tells a screen reader what it is for.
void LoadSaveDialog::OrderForKeyboard() {
  static constexpr std::array<const char*, kFileSetRows> kRowNames{
      "Program S1", "Program S2", "Training data D1", "Training data D2", "Test set T1", "Weights"};
  QWidget* last = directoryList_;
  QWidget::setTabOrder(fileList_, driveList_);
  QWidget::setTabOrder(driveList_, directoryList_);
  for (int row = 0; row < kFileSetRows; ++row) {
    const QString name = QString(kRowNames[row]) + " (" + kFileSetExtensions[row] + ")";
    rowChecks_[row]->setAccessibleName(name);
    rowChecks_[row]->setAccessibleDescription("Load or save this file of the set");
    rowFileBoxes_[row]->setAccessibleName("File of " + name);
    QWidget::setTabOrder(last, rowChecks_[row]);
    QWidget::setTabOrder(rowChecks_[row], rowFileBoxes_[row]);
    last = rowFileBoxes_[row];
  }
  for (QWidget* next : {static_cast<QWidget*>(loadButton_), static_cast<QWidget*>(saveButton_),
                        static_cast<QWidget*>(exitButton_), static_cast<QWidget*>(nameBox_)}) {
    QWidget::setTabOrder(last, next);
    last = next;
  }
  for (QPushButton* button : {loadButton_, saveButton_, exitButton_}) button->setAutoDefault(true);
  loadButton_->setAccessibleDescription("Load the ticked files of the set named below");
  saveButton_->setAccessibleDescription("Save the ticked files under the name below");
  exitButton_->setAccessibleDescription("Back to the main window");
  fileList_->setAccessibleName("Files");
  driveList_->setAccessibleName("Drives");
  directoryList_->setAccessibleName("Folders");
  nameLabel_->setBuddy(nameBox_);
  nameBox_->setAccessibleName("File Name");
  LeaveWithEscape(*this, [this] { Command3_Click(); });
}

// The drive list holds the system's mounted volumes by their root paths.
void LoadSaveDialog::FillDrives() {
  QStringList roots;
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (volume.isValid() && volume.isReady()) roots << volume.rootPath();
  }
  roots.removeDuplicates();
  std::sort(roots.begin(), roots.end());
  for (const QString& root : roots) driveList_->addItem(root, root);
}

// The file list shows the files of one directory (the directory list shows
// the way down to it and its folders); each control calls its handler.
void LoadSaveDialog::ConnectControls() {
  fileModel_->setFilter(QDir::Files | QDir::NoDotAndDotDot);
  fileList_->setModel(fileModel_);
  fileList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  connect(loadButton_, &QPushButton::clicked, this, &LoadSaveDialog::Command1_Click);
  connect(saveButton_, &QPushButton::clicked, this, &LoadSaveDialog::Command2_Click);
  connect(exitButton_, &QPushButton::clicked, this, &LoadSaveDialog::Command3_Click);
  connect(fileList_, &QListView::clicked, this, &LoadSaveDialog::File1_Click);
  connect(directoryList_, &DirectoryList::PathClicked, this, &LoadSaveDialog::Dir1_Click);
  connect(driveList_, &QComboBox::activated, this, &LoadSaveDialog::Drive1_Change);
}

void LoadSaveDialog::SelectDriveOf(const QString& path) {
  const int index = driveList_->findData(QStorageInfo(path).rootPath());
  if (index >= 0) driveList_->setCurrentIndex(index);
}

QString LoadSaveDialog::FileListDirectory() const { return fileModel_->rootPath(); }

void LoadSaveDialog::SetDirectory(const QString& path) {
  directoryList_->SetPath(path);
  Dir1_Change();
}

void LoadSaveDialog::Form_Load() {
  ShowMaximised(this);
  ws_.FileNames = FileSetNames(kDefaultBaseName);
  for (QCheckBox* check : rowChecks_) check->setChecked(true);
  SetRowTexts(kLoadRowLabels);
  nameBox_->clear();
}

void LoadSaveDialog::Command1_Click() {
  // Whatever happens, the next use of a data set reads its text afresh.
  ws_.LoadedSet = kNoDataSet;
  const QString typed = nameBox_->text();
  if (!typed.isEmpty()) {
    ws_.FileNames = FileSetNames(LoadBaseName(ToBytes(typed), ToBytes(FileListDirectory())));
    SetRowTexts(kLoadRowLabels);
  }
  try {
    LoadFileSet(ws_, CheckedRows());
    // The set's lesson note comes with it; a set without one has none.
    LoadLessonNote(ws_);
  } catch (const FileError& error) {
    ShowFileError(kLoadFailedText, error);
  } catch (const std::bad_alloc&) {
    // Running out of memory ends the command, not the program.
    ShowFileError(kLoadFailedText, FileError({}, kOutOfMemoryText));
  }
  mainWindow_.FileSetLoaded();
}

void LoadSaveDialog::Command2_Click() {
  const QString typed = nameBox_->text();
  if (!typed.isEmpty()) {
    const std::optional<std::string> base =
        SaveBaseName(ToBytes(typed), ToBytes(FileListDirectory()));
    if (!base) {
      const QString shown = FromBytes(VisibleText(ToBytes(typed)));
      dialogs_.Warning(this, kMessageBoxTitle,
                       QString(kSaveFailedText) + "\n\"" + shown +
                           R"(": type the base name alone, without "/" or ".")");
      return;
    }
    ws_.FileNames = FileSetNames(*base);
    SetRowTexts(kSaveRowLabels);
  }
  try {
    SaveFileSet(ws_, CheckedRows());
    SaveLessonNote(ws_);
  } catch (const FileError& error) {
    ShowFileError(kSaveFailedText, error);
    return;
  } catch (const std::bad_alloc&) {
    ShowFileError(kSaveFailedText, FileError({}, kOutOfMemoryText));
    return;
  }
  nameBox_->clear();
  // The file list watches its directory, so the new files appear in it;
  // moving it there again makes sure it shows the directory saved into.
  SetDirectory(FileListDirectory());
}

void LoadSaveDialog::Command3_Click() {
  hide();
  mainWindow_.ShowMainWindow();
}

void LoadSaveDialog::Form_Unload() { Command3_Click(); }

void LoadSaveDialog::closeEvent(QCloseEvent* event) {
  Form_Unload();
  event->accept();
}

void LoadSaveDialog::File1_Click() {
  const QModelIndex index = fileList_->currentIndex();
  if (index.isValid()) nameBox_->setText(ClickedBaseName(fileModel_->fileName(index)));
}

void LoadSaveDialog::Dir1_Change() {
  const QString directory = directoryList_->Path();
  if (FileListDirectory() != directory) {
    fileModel_->setRootPath(directory);
    fileList_->setRootIndex(fileModel_->index(directory));
  }
  SelectDriveOf(directory);
}

void LoadSaveDialog::Dir1_Click(const QString& path) { SetDirectory(path); }

void LoadSaveDialog::Drive1_Change() {
  // A drive's current directory: the working directory when it lies on the
  // chosen volume, else the volume's root.
  const QString root = driveList_->currentData().toString();
  if (root.isEmpty()) return;
  const QString working = QDir::currentPath();
  SetDirectory(QStorageInfo(working).rootPath() == root ? working : root);
}

void LoadSaveDialog::SetRowTexts(const std::array<const char*, kFileSetRows>& labels) {
  for (int row = 0; row < kFileSetRows; ++row) {
    rowFileBoxes_[row]->setText(labels[row] + FromBytes(ws_.FileNames[row]));
  }
}

RowChoice LoadSaveDialog::CheckedRows() const {
  RowChoice rows{};
  for (int row = 0; row < kFileSetRows; ++row) rows[row] = rowChecks_[row]->isChecked();
  return rows;
}

void LoadSaveDialog::ShowFileError(const char* headline, const FileError& error) {
  dialogs_.Warning(this, kMessageBoxTitle, FromBytes(FileErrorMessage(headline, error)));
}

}  // namespace backprop
