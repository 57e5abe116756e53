// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/window_owner.h"

#include <QEvent>

#include "files/load_save_dialog.h"
#include "ui/editor/editor_window.h"
#include "ui/listing/listing_window.h"
#include "ui/main/help_document.h"
#include "ui/main/help_window.h"
#include "ui/parameters/parameters_window.h"

namespace backprop {

WindowOwner::WindowOwner(Workspace& ws, MainWindowAccess& main, Dialogs& dialogs)
    : ws_(ws), main_(main), dialogs_(dialogs) {}

WindowOwner::~WindowOwner() {
  ForEachSlot([](auto& slot) { delete slot.data(); });
}

HelpWindow* WindowOwner::Help() {
  return Obtain(help_, [this]() -> HelpWindow* {
    const std::optional<QString> document = ReadHelpDocument(helpPath_);
    if (!document) return nullptr;
    return new HelpWindow(*document, main_);
  });
}

EditorWindow& WindowOwner::Editor() {
  return *Obtain(editor_, [this] { return new EditorWindow(ws_, main_); });
}

ParametersWindow& WindowOwner::Parameters() {
  return *Obtain(parameters_, [this] { return new ParametersWindow(ws_, main_, dialogs_); });
}

ListingWindow& WindowOwner::Listing() {
  ListingWindow* listing =
      Obtain(listing_, [this] { return new ListingWindow(ws_, main_, dialogs_); });
  if (TakeListingPreset()) listing->PresetChoices();
  return *listing;
}

LoadSaveDialog& WindowOwner::LoadSave() {
  return *Obtain(loadSave_, [this] { return new LoadSaveDialog(ws_, main_, dialogs_); });
}

HelpWindow* WindowOwner::ExistingHelp() const { return help_.data(); }

bool WindowOwner::TakeListingPreset() {
  const bool pending = listingPresetPending_;
  listingPresetPending_ = false;
  return pending;
}

void WindowOwner::DiscardAll() {
  ForEachSlot([this](auto& slot) {
    if (QWidget* window = slot.data()) {
      window->removeEventFilter(this);
      window->hide();
      window->deleteLater();
      slot.clear();
    }
  });
}

bool WindowOwner::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Close) {
    ForEachSlot([watched](auto& slot) {
      if (slot.data() == watched) slot.clear();
    });
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace backprop
