#include "ui/main/window_owner.h"

#include <QEvent>

#include <algorithm>

#include "files/load_save_dialog.h"
#include "ui/editor/editor_window.h"
#include "ui/listing/listing_window.h"
#include "ui/main/help_document.h"
#include "ui/parameters/parameters_window.h"
#include "ui/main/help_window.h"

namespace backprop {

WindowOwner::WindowOwner(Workspace& ws, MainWindowAccess& main, Dialogs& dialogs)
    : ws_(ws), main_(main), dialogs_(dialogs) {}

WindowOwner::~WindowOwner() {
  for (QPointer<QWidget>* slot : slots_) delete slot->data();
}

HelpWindow* WindowOwner::Help() {
  return Obtain<HelpWindow>(help_, [this]() -> HelpWindow* {
    const std::optional<QString> document = ReadHelpDocument(helpPath_);
    if (!document) return nullptr;
    return new HelpWindow(*document, main_);
  });
}

EditorWindow& WindowOwner::Editor() {
  return *Obtain<EditorWindow>(editor_, [this] { return new EditorWindow(ws_, main_); });
}

ParametersWindow& WindowOwner::Parameters() {
  return *Obtain<ParametersWindow>(parameters_,
                                   [this] { return new ParametersWindow(ws_, main_, dialogs_); });
}

ListingWindow& WindowOwner::Listing() {
  ListingWindow* listing =
      Obtain<ListingWindow>(listing_, [this] { return new ListingWindow(ws_, main_, dialogs_); });
  if (TakeListingPreset()) listing->PresetChoices();
  return *listing;
}

LoadSaveDialog& WindowOwner::LoadSave() {
  return *Obtain<LoadSaveDialog>(loadSave_, [this] { return new LoadSaveDialog(ws_, main_, dialogs_); });
}

HelpWindow* WindowOwner::ExistingHelp() const { return static_cast<HelpWindow*>(help_.data()); }

bool WindowOwner::TakeListingPreset() {
  const bool pending = listingPresetPending_;
  listingPresetPending_ = false;
  return pending;
}

void WindowOwner::DiscardAll() {
  for (QPointer<QWidget>* slot : slots_) {
    if (QWidget* window = slot->data()) {
      window->removeEventFilter(this);
      window->hide();
      window->deleteLater();
      slot->clear();
    }
  }
}

void WindowOwner::Register(QPointer<QWidget>& slot) {
  if (std::find(slots_.begin(), slots_.end(), &slot) == slots_.end()) slots_.push_back(&slot);
}

bool WindowOwner::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Close) {
    for (QPointer<QWidget>* slot : slots_) {
      if (slot->data() == watched) slot->clear();
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace backprop
