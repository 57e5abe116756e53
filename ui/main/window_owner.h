// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

namespace backprop {

class Dialogs;
class EditorWindow;
class HelpWindow;
class ListingWindow;
class LoadSaveDialog;
class ParametersWindow;
class MainWindowAccess;
struct Workspace;

// Where the built-in help document lives.
inline constexpr const char* kHelpDocumentPath = ":/help/help_document.txt";

// Owns the lifetime of the secondary windows. A window is built on first
// use, only hidden when the user leaves it, and destroyed by its close box,
// so that the next use builds it afresh. The main window asks here for the
// current instance of each.
class WindowOwner : public QObject {
  Q_OBJECT

 public:
  WindowOwner(Workspace& ws, MainWindowAccess& main, Dialogs& dialogs);
  ~WindowOwner() override;

  // The help window, built when there is none; nullptr when its document
  // cannot be read.
  HelpWindow* Help();
  // The editor, the parameters window, the listing window (with the
  // start-up preset applied when one waits) and the load/save dialog: the
  // current instance of each, or a new one.
  EditorWindow& Editor();
  ParametersWindow& Parameters();
  ListingWindow& Listing();
  LoadSaveDialog& LoadSave();

  // The help window if one exists now.
  HelpWindow* ExistingHelp() const;

  // Asks for the start-up preset of the listing window's choices (only
  // "Weights" ticked). It waits here until the listing window is next
  // handed out, built or shown again, which then applies it; a listing
  // window closed by its close box starts with no box ticked unless the
  // preset runs again.
  void PresetListingChoices() { listingPresetPending_ = true; }
  // Whether a preset waits; taking it clears it.
  bool TakeListingPreset();
  bool ListingPresetPending() const { return listingPresetPending_; }

  // Hides and discards every secondary window (the program is ending).
  void DiscardAll();

  // Reads the help document from elsewhere (tests of a missing document).
  void SetHelpDocumentPath(const QString& path) { helpPath_ = path; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The window in the slot, or a new one from make(). The window is
  // deleted when closed and forgotten at once, so that the next use builds
  // a fresh one even before the deferred deletion has run.
  template <typename W, typename Make>
  W* Obtain(QPointer<W>& slot, Make make) {
    if (!slot) {
      W* window = make();
      if (!window) return nullptr;
      window->setAttribute(Qt::WA_DeleteOnClose);
      window->installEventFilter(this);
      slot = window;
    }
    return slot.data();
  }
  // Calls visit on the slot of every kind of window.
  template <typename Visit>
  void ForEachSlot(Visit visit) {
    visit(help_);
    visit(editor_);
    visit(parameters_);
    visit(listing_);
    visit(loadSave_);
  }

  Workspace& ws_;
  MainWindowAccess& main_;
  Dialogs& dialogs_;
  QString helpPath_ = kHelpDocumentPath;
  bool listingPresetPending_ = false;
  QPointer<HelpWindow> help_;
  QPointer<EditorWindow> editor_;
  QPointer<ParametersWindow> parameters_;
  QPointer<ListingWindow> listing_;
  QPointer<LoadSaveDialog> loadSave_;
};

}  // namespace backprop
