// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <filesystem>
#include <vector>

class QDockWidget;
class QMainWindow;
class QMenu;

namespace backprop {

class Dialogs;
class ExercisesWindow;
class Host;
class LessonView;
class MainWindowAccess;
struct Exercise;
struct Workspace;

// Lessons beside the net: the "Lesson" dock shows the lesson note of the set
// loaded last, and "Exercises..." lists the exercise library. Choosing an
// exercise, or following a note's link to another set of its folder, loads
// that set as Load/Save loads a whole set; a set of the library is first
// copied into the folder it is loaded from, never into the library, and a
// file that differs there is replaced only when the user says so. Nothing
// is loaded while a run trains.
class LessonDocks : public QObject {
  Q_OBJECT

 public:
  LessonDocks(Workspace& ws, QMainWindow& window, Host& host, Dialogs& dialogs);

  // Adds "Lesson" and "Exercises..." to the View menu.
  void AddEntries(QMenu* menu);
  // A set was loaded: its note opens the dock; a set without one leaves
  // the dock as it is, saying so when it is open.
  void FileSetLoaded();

  // The folders the library is read from: the installed one, else the
  // source tree's (tests choose their own).
  const std::vector<std::filesystem::path>& LibraryFolders() const { return library_; }
  void SetLibraryFolders(std::vector<std::filesystem::path> folders) {
    library_ = std::move(folders);
  }

  // Opens the Exercises list, read afresh from the library.
  void OpenExercises();
  // Copies an exercise into the working folder and loads it.
  void ChooseExercise(const Exercise& exercise);
  // Follows a note's link.
  void FollowLink(const QString& target);

  QDockWidget* Dock() const { return dock_; }
  LessonView& View() { return *view_; }
  ExercisesWindow* Exercises() const { return exercises_; }

 private:
  // Copies the set `base` into `folder` (asking before it replaces a file
  // that differs) and loads it; false when the user cancelled or it failed.
  bool CopyAndLoad(const std::filesystem::path& base, const std::filesystem::path& folder);
  bool Load(const std::filesystem::path& base);

  Workspace& ws_;
  QMainWindow& window_;
  Host& host_;
  Dialogs& dialogs_;
  MainWindowAccess* main_;
  std::vector<std::filesystem::path> library_;
  LessonView* view_;
  QDockWidget* dock_;
  ExercisesWindow* exercises_ = nullptr;
};

}  // namespace backprop
