#pragma once

namespace backprop {

class ListingSink;
struct Workspace;

// Where the listing goes: the values of ws.ListDestination.
inline constexpr int kListToPrinter = 0;
inline constexpr int kListToPreview = 1;

// The sections the user ticked, in the order they are listed.
struct ListingChoice {
  bool ProgramS1 = false;
  bool ProgramS2 = false;
  bool TrainData1 = false;
  bool TrainData2 = false;
  bool TestData1 = false;
  bool Weights = false;
  bool NodeValues = false;
  bool Structure = false;
};

// Writes the chosen sections of the workspace to a destination: the printer
// form when ws.ListDestination is kListToPrinter, the preview form otherwise. Reads the
// workspace only; a table index outside its bounds throws EngineError.
void WriteListing(const Workspace& ws, const ListingChoice& choice, ListingSink& out);

}  // namespace backprop
