// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/views/lesson_docks.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QMainWindow>
#include <QMenu>

#include <algorithm>
#include <cstddef>

#include "engine/draw_net.h"
#include "engine/host.h"
#include "engine/visible_text.h"
#include "engine/workspace.h"
#include "files/exercise_library.h"
#include "files/file_error.h"
#include "files/file_set.h"
#include "ui/common/dialogs.h"
#include "ui/common/keyboard.h"
#include "ui/common/main_window_access.h"
#include "ui/common/window_style.h"
#include "ui/views/exercises_window.h"
#include "ui/views/lesson_view.h"

namespace backprop {

namespace fs = std::filesystem;

namespace {

QString Shown(const fs::path& path) { return QFile::decodeName(path.string().c_str()); }

// The installed library (share/backpropagation beside the program's bin
// folder), else the source tree's, for a program run from its build.
std::vector<fs::path> FindLibrary() {
  const fs::path installed =
      fs::path(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString()) /
      BACKPROP_DATA_FROM_BINARY;
  for (const fs::path& root : {installed, fs::path(BACKPROP_SOURCE_DIR)}) {
    std::error_code error;
    if (fs::is_directory(root / "exercises", error)) return {root / "exercises", root / "demo"};
  }
  return {};
}

// A link or a set's name as a message quotes it: control characters as
// escapes, a long one cut short, so that the box stays readable.
QString Quoted(const std::string& text) {
  constexpr std::size_t kShown = 60;
  return QString::fromStdString(QuotedShort(text, kShown));
}

fs::path FolderOf(const fs::path& base) {
  return base.has_parent_path() ? base.parent_path() : fs::path(".");
}

}  // namespace

LessonDocks::LessonDocks(Workspace& ws, QMainWindow& window, Host& host, Dialogs& dialogs)
    : QObject(&window),
      ws_(ws),
      window_(window),
      host_(host),
      dialogs_(dialogs),
      // The window the docks stand in is the main window.
      main_(dynamic_cast<MainWindowAccess*>(&window)),
      library_(FindLibrary()),
      view_(new LessonView),
      dock_(new QDockWidget("Lesson", &window)) {
  dock_->setObjectName("LessonDock");
  dock_->setWidget(view_);
  dock_->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                     QDockWidget::DockWidgetFloatable);
  window.addDockWidget(Qt::LeftDockWidgetArea, dock_);
  dock_->hide();
  connect(view_, &LessonView::LinkClicked, this, &LessonDocks::FollowLink);
}

void LessonDocks::AddEntries(QMenu* menu) {
  QAction* toggle = dock_->toggleViewAction();
  toggle->setObjectName("ViewLesson");
  toggle->setText("&Lesson");
  GiveShortcut(*toggle, Qt::SHIFT | Qt::Key_F4, "Open or close the lesson of the set loaded");
  menu->addAction(toggle);
  QAction* exercises = menu->addAction("E&xercises...");
  exercises->setStatusTip("Choose an exercise of the library and load it");
  exercises->setObjectName("ViewExercises");
  connect(exercises, &QAction::triggered, this, &LessonDocks::OpenExercises);
}

void LessonDocks::FileSetLoaded() {
  view_->ShowNote(ws_.LessonNote);
  if (!ws_.LessonNote.empty()) dock_->show();
}

void LessonDocks::OpenExercises() {
  if (exercises_ == nullptr) {
    exercises_ = new ExercisesWindow(&window_);
    connect(exercises_, &ExercisesWindow::ExerciseChosen, this, &LessonDocks::ChooseExercise);
  }
  QStringList folders;
  for (const fs::path& folder : library_) folders << Shown(folder);
  exercises_->SetExercises(ListExercises(library_),
                           folders.isEmpty() ? QString("no library folder") : folders.join(", "));
  exercises_->show();
  exercises_->raise();
}

void LessonDocks::ChooseExercise(const Exercise& exercise) {
  if (ws_.Busy == 1) return;
  CopyAndLoad(exercise.base, QFile::encodeName(QDir::currentPath()).toStdString());
}

void LessonDocks::FollowLink(const QString& target) {
  if (ws_.Busy == 1) return;
  const std::optional<std::string> name = LinkedSetName(target.toStdString());
  if (!name) {
    dialogs_.Warning(&window_, kMessageBoxTitle,
                     "A lesson's links open other sets of its own folder only:\n" +
                         Quoted(target.toStdString()) + " leads elsewhere, so it is not followed.");
    return;
  }
  const fs::path folder = FolderOf(FileSetBase(ws_));
  const std::vector<fs::path> here = SetFiles(folder / *name);
  if (std::all_of(here.begin(), here.end() - 1, [](const fs::path& file) {
        std::error_code error;
        return fs::exists(file, error);
      })) {
    Load(folder / *name);
    return;
  }
  // The next exercise of the library joins the set in its folder.
  for (const fs::path& library : library_) {
    std::error_code error;
    if (fs::exists(library / (*name + kLessonNoteExtension), error)) {
      CopyAndLoad(library / *name, folder);
      return;
    }
  }
  dialogs_.Warning(&window_, kMessageBoxTitle,
                   QString(kLoadFailedText) + "\nNo set " + Quoted(*name) + " in " +
                       Shown(fs::absolute(folder)) + " or in the exercise library.");
}

bool LessonDocks::CopyAndLoad(const fs::path& base, const fs::path& folder) {
  fs::path copy = folder / base.filename();
  try {
    const std::vector<fs::path> conflicts = CopyConflicts(base, folder);
    Answer answer = Answer::Yes;
    if (!conflicts.empty()) {
      QString names;
      for (const fs::path& file : conflicts) names += "\n    " + Shown(file.filename());
      answer = dialogs_.Ask(
          &window_, kMessageBoxTitle,
          "The folder " + Shown(fs::absolute(folder)) + " already holds files of the set " +
              Shown(base.filename()) + " that differ from the library's:" + names +
              "\n\nReplace them with the library's? No loads the files that are there.");
    }
    if (answer == Answer::Cancel) return false;
    if (answer == Answer::Yes) copy = CopySet(base, folder);
  } catch (const FileError& error) {
    dialogs_.Warning(&window_, kMessageBoxTitle,
                     QString::fromStdString(FileErrorMessage(kSaveFailedText, error)));
    return false;
  }
  return Load(copy);
}

bool LessonDocks::Load(const fs::path& base) {
  if (main_ != nullptr) main_->LeaveDesignMode();
  bool loaded = true;
  try {
    LoadWholeSet(ws_, base.string());
  } catch (const FileError& error) {
    dialogs_.Warning(&window_, kMessageBoxTitle,
                     QString::fromStdString(FileErrorMessage(kLoadFailedText, error)));
    loaded = false;
  }
  // Whatever was loaded before a failure stays, and the net shows it.
  RedrawNet(ws_, host_);
  view_->ShowNote(ws_.LessonNote);
  dock_->show();
  return loaded;
}

}  // namespace backprop
