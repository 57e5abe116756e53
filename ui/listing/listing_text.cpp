// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/listing/listing_text.h"

#include <string>

#include "engine/number_text.h"
#include "engine/workspace.h"
#include "ui/listing/listing_sink.h"

namespace backprop {

namespace {

constexpr const char* kWeightPattern = "  00.00 ; -00.00 ";
constexpr const char* kNodeValuePattern = "  0.00; -0.00";
constexpr const char* kLayerSizePattern = " ##. ";

// The two forms differ only in small points; this holds them in one place.
class ListingWriter {
 public:
  ListingWriter(const Workspace& ws, ListingSink& out)
      : ws_(ws), out_(out), printer_(ws.ListDestination == kListToPrinter) {}

  void TextSection(const char* title, BufferId buffer) {
    Line(title);
    Line(ws_.TextBuffer(buffer));
    if (printer_) Line(" ");
  }

  void PageBreak() {
    if (printer_) out_.NewPage();
  }

  // Loop bounds are compared as doubles, as every loop over the tables is.
  void Weights() {
    Line("                WEIGHTS");
    for (double layer = 1; layer <= ws_.LayerCount - 1; ++layer) {
      Line("LAYER=" + Number(layer));
      for (double node = 0; node <= ws_.LayerSizes(layer); ++node) {
        if (!(node == 0 && ws_.BiasFlags(layer) == 0)) {
          out_.Write("INPUT NODE #" + Number(node));
          for (double target = 1; target <= ws_.LayerSizes(layer + 1); ++target) {
            out_.Write(FormatPattern(ws_.Weights(node, target, layer), kWeightPattern));
          }
        }
        RowEnd();
      }
    }
  }

  void NodeValues() {
    Line("                    LAST CALCULATED NODE VALUES");
    for (double layer = 1; layer <= ws_.LayerCount; ++layer) {
      out_.Write("LAYER " + Number(layer) + "...");
      for (double node = 0; node <= ws_.LayerSizes(layer); ++node) {
        out_.Write(FormatPattern(ws_.NodeValues(node, layer), kNodeValuePattern));
      }
      RowEnd();
    }
  }

  void Structure() {
    Line("                        NET STRUCTURE ");
    for (double layer = 1; layer <= ws_.LayerCount; ++layer) {
      const char* bias = ws_.BiasFlags(layer) == 1 ? ", with BIAS"
                         : printer_                ? "without BIAS"
                                                   : ",without BIAS";
      Line(FormatPattern(ws_.LayerSizes(layer), kLayerSizePattern) + "=#nodes on layer " +
           Number(layer) + bias);
    }
    Line(printer_ ? " " : "");
  }

  void EmptyLine() { out_.EndLine(); }
  bool ToPrinter() const { return printer_; }

 private:
  void Line(const std::string& text) {
    out_.Write(text);
    out_.EndLine();
  }
  // The printer writes a number with a blank after it, the preview without.
  std::string Number(double value) const { return printer_ ? PrintForm(value) : NumberText(value); }
  // Printed rows of weights and node values end with one more blank.
  void RowEnd() {
    if (printer_) out_.Write(" ");
    out_.EndLine();
  }

  const Workspace& ws_;
  ListingSink& out_;
  const bool printer_;
};

}  // namespace

const std::array<ListingSectionRow, kListingSections>& ListingSections() {
  // Check5 to Check7 list the net, Check8 the test set, listed with the texts.
  static constexpr std::array<ListingSectionRow, kListingSections> kSections{{
      {ListingSection::ProgramS1, 1, "Program S1", "                PROGRAM #1",
       BufferId::ProgramS1},
      {ListingSection::ProgramS2, 2, "Program S2", "                PROGRAM #2",
       BufferId::ProgramS2},
      {ListingSection::TrainData1, 3, "Train Data 1", "                DATA SET #1",
       BufferId::TrainingDataD1},
      {ListingSection::TrainData2, 4, "Train Data 2", "                DATA SET #2",
       BufferId::TrainingDataD2},
      {ListingSection::TestData1, 8, "Test Data 1", "                TEST SET #1",
       BufferId::TestSetT1},
      {ListingSection::Weights, 5, "Weights", nullptr, {}},
      {ListingSection::NodeValues, 6, "Node Values ", nullptr, {}},
      {ListingSection::Structure, 7, "Structure", nullptr, {}},
  }};
  return kSections;
}

void WriteListing(const Workspace& ws, const ListingChoice& choice, ListingSink& out) {
  ListingWriter writer(ws, out);
  for (const ListingSectionRow& row : ListingSections()) {
    const bool ticked = choice[row.section];
    if (row.title) {
      if (!ticked) continue;
      writer.TextSection(row.title, row.buffer);
      // The printed test set, the last of the texts, ends its page.
      if (row.section == ListingSection::TestData1) writer.PageBreak();
      continue;
    }
    // Every net section is followed by its line end, ticked or not.
    switch (row.section) {
      case ListingSection::Weights:
        if (ticked) writer.Weights();
        writer.EmptyLine();
        break;
      case ListingSection::NodeValues:
        if (ticked) writer.NodeValues();
        writer.EmptyLine();
        break;
      case ListingSection::Structure:
        if (ticked) writer.Structure();
        if (!writer.ToPrinter()) writer.EmptyLine();
        break;
      default:
        break;
    }
  }
}

}  // namespace backprop
