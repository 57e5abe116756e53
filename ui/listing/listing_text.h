// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include "engine/workspace.h"

namespace backprop {

class ListingSink;

// Where the listing goes: the values of ws.ListDestination.
inline constexpr int kListToPrinter = 0;
inline constexpr int kListToPreview = 1;

// The sections of the listing, in the order they are listed.
enum class ListingSection : int {
  ProgramS1,
  ProgramS2,
  TrainData1,
  TrainData2,
  TestData1,
  Weights,
  NodeValues,
  Structure,
};
inline constexpr int kListingSections = 8;

// One section: its check box in the window and what it lists. One table
// of them drives the check boxes, the choice and the listing alike.
struct ListingSectionRow {
  ListingSection section;
  int check;            // the check box's number: Check1 .. Check8
  const char* caption;  // the check box's caption
  const char* title;    // a text section's title line; nullptr for the net sections
  BufferId buffer;      // a text section's buffer
};

// The sections in the order they are listed, which is also the order of
// their check boxes from top to bottom.
const std::array<ListingSectionRow, kListingSections>& ListingSections();

// The sections the user ticked.
class ListingChoice {
 public:
  bool& operator[](ListingSection section) { return ticked_[static_cast<std::size_t>(section)]; }
  bool operator[](ListingSection section) const {
    return ticked_[static_cast<std::size_t>(section)];
  }

 private:
  std::array<bool, kListingSections> ticked_{};
};

// Writes the chosen sections of the workspace to a destination: the printer
// form when ws.ListDestination is kListToPrinter, the preview form otherwise. Reads the
// workspace only; a table index outside its bounds throws EngineError.
void WriteListing(const Workspace& ws, const ListingChoice& choice, ListingSink& out);

}  // namespace backprop
