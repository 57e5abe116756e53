// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "engine/net_tables.h"
#include "engine/table.h"
#include "engine/workspace_value.h"

namespace backprop {

// The five editable texts, numbered by their editor code.
enum class BufferId : int {
  ProgramS1 = 1,
  TrainingDataD1 = 2,
  TrainingDataD2 = 3,
  ProgramS2 = 4,
  TestSetT1 = 5,
};

// RunMode: what the interpreter is running for.
inline constexpr int kRunProgramS1 = 1;  // Run(S1)
inline constexpr int kRunProgramS2 = 2;  // Run(S2)
inline constexpr int kStepTraining = 3;  // StepThruTrn(D1)
inline constexpr int kStepTest = 4;      // StepThruTst(T1): a set without desired outputs

// SelectedSet and LoadedSet: the text a data set comes from. Any other
// number selects an empty set; LoadedSet 0 makes the next use reload.
inline constexpr int kNoDataSet = 0;
inline constexpr int kDataSetD1 = 1;
inline constexpr int kDataSetD2 = 2;
inline constexpr int kTestSetT1 = 4;

// OutputMode: how training measures its error. Training sums e^2 only in
// analog mode and reports digitally only in digital mode, so any other value
// sums digitally but reports like analog.
inline constexpr int kDigitalOutput = 0;
inline constexpr int kAnalogOutput = 1;

// The InterruptKey a mouse click stores (the code of the Escape key).
inline constexpr std::int16_t kClickInterruptKey = 27;

// Row of the file set (load and save dialog), in processing order.
inline constexpr int kFileSetRows = 6;

using LayerTable = Table<WorkspaceValue, kMaxLayers + 1>;
using PatternTable = Table<WorkspaceValue, kMaxNeurodes + 1, kMaxPatterns + 1>;
using ItemTable = Table<std::string, kMaxLineItems + 1>;

// The one shared state of the program. Every window and the engine read and
// write these fields in place; nothing else carries state between them.
struct Workspace {
  // Model parameters.
  WorkspaceValue TransferFunction;   // 1 linear, 2 sigmoid/tanh, 3 arctangent, 4 sign
  std::string TransferFunctionName;  // display text of TransferFunction
  WorkspaceValue Epsilon;            // learning rate
  WorkspaceValue InputRangeLow;      // input data range mapped to -1..1
  WorkspaceValue InputRangeHigh;
  WorkspaceValue OutputRangeLow;  // desired output range mapped to -1..1
  WorkspaceValue OutputRangeHigh;
  std::int16_t WeightSeed = 0;     // seed of the weight generator
  WorkspaceValue ShowRate;         // redraw every so many training cycles
  WorkspaceValue UpdateMode;       // shown and stored only; training ignores it
  WorkspaceValue OutputMode;       // 1 analog, 0 digital
  WorkspaceValue TrainingLimit;    // training runs while the cycle is below it
  WorkspaceValue AnalogThreshold;  // analog error that ends training
  WorkspaceValue ErrorTest;        // 1 = threshold test on
  WorkspaceValue ShowTest;         // 1 = report the error and apply the test

  // Net geometry. LayerSizes(0) holds the layer count after a NETLIST line.
  WorkspaceValue LayerCount;
  LayerTable LayerSizes;  // non-bias neurodes of layer k
  LayerTable BiasFlags;   // 1 = layer k has a bias neurode

  // Weights(i, j, h): from node i of layer h (0 = bias) to node j of layer
  // h+1. These five tables hold plain doubles (see NetTable): a value never
  // written reads as 0, as an unset cell does.
  WeightTable Weights;
  NodeTable NodeValues;  // output of node j of layer k
  NodeTable NetInputs;   // weighted input sum (stepping)
  NodeTable Slopes;      // transfer-function slope (training)
  NodeTable Deltas;      // back-propagated error term

  // Loaded data set.
  PatternTable RawInputs;
  PatternTable RawTargets;
  PatternTable ScaledInputs;
  PatternTable ScaledTargets;
  WorkspaceValue PatternCount;
  WorkspaceValue SelectedSet;   // 1 = D1, 2 = D2, 4 = T1
  WorkspaceValue LoadedSet;     // set held in the tables; 0 forces a reload
  WorkspaceValue StepPosition;  // next pattern shown when stepping
  WorkspaceValue TrialCounter;  // training cycle

  // Texts, indexed by editor code 1..5 (element 0 is unused).
  std::array<std::string, 6> TextBuffers;
  std::string ProgramName;                          // after "Program: " in the editor title
  std::string TrainingSetName;                      // after "Training set: "
  std::string RunSetName;                           // after "Run set: "
  std::string TestSetName;                          // after "Test set: "; nothing assigns it
  std::array<std::string, kFileSetRows> FileNames;  // the load/save file set

  // Modes and control.
  WorkspaceValue DesignMode;       // 1 while the designer is active
  WorkspaceValue AboutShown;       // 1 after the first mouse movement
  WorkspaceValue RunMode;          // 1 Run(S1), 2 Run(S2), 3 step D1, 4 step T1
  WorkspaceValue Busy;             // 1 while training yields to events
  std::int16_t InterruptKey = 0;   // last key typed, kClickInterruptKey after a click
  WorkspaceValue EditorBuffer;     // buffer shown by the editor, 1..5
  WorkspaceValue ListDestination;  // 0 printer, 1 preview

  // Interpreter scratch: the line being executed and its items.
  std::string CurrentLine;
  // Beyond the listed fields: the number (from 1) of the program line being
  // run, 0 outside a run, so that a view can name the TRAIN line it shows.
  int RunningLine = 0;
  ItemTable LineItems;
  WorkspaceValue ItemCount;

  // Beyond the listed fields, for the arithmetic view: the patterns and
  // cycles applied by hand since the weights were last initialised or loaded.
  WorkspaceValue HandPatterns;
  WorkspaceValue HandCycles;

  // Beyond the listed fields: the pattern a training cycle is at, set just
  // before each pattern's yield (so a paused run can show what comes next);
  // 0 outside training.
  int TrainingPattern = 0;
  // The set's lesson note (BASE.txt, Markdown); empty when the set has none.
  std::string LessonNote;

  std::string& TextBuffer(BufferId id) { return TextBuffers[static_cast<int>(id)]; }
  const std::string& TextBuffer(BufferId id) const { return TextBuffers[static_cast<int>(id)]; }
};

// Fills the start-up parameters and geometry, in their fixed order. Weights,
// bias flags, data tables, texts and TestSetName are left as they are.
void ApplyDefaults(Workspace& ws);

// Display text of a transfer-function code; empty for an unknown code.
const char* TransferFunctionNameOf(double code);

}  // namespace backprop
