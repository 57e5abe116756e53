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

  void TextSection(bool ticked, const char* title, BufferId buffer) {
    if (!ticked) return;
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

void WriteListing(const Workspace& ws, const ListingChoice& choice, ListingSink& out) {
  ListingWriter writer(ws, out);
  writer.TextSection(choice.ProgramS1, "                PROGRAM #1", BufferId::ProgramS1);
  writer.TextSection(choice.ProgramS2, "                PROGRAM #2", BufferId::ProgramS2);
  writer.TextSection(choice.TrainData1, "                DATA SET #1", BufferId::TrainingDataD1);
  writer.TextSection(choice.TrainData2, "                DATA SET #2", BufferId::TrainingDataD2);
  writer.TextSection(choice.TestData1, "                TEST SET #1", BufferId::TestSetT1);
  if (choice.TestData1) writer.PageBreak();
  if (choice.Weights) writer.Weights();
  writer.EmptyLine();
  if (choice.NodeValues) writer.NodeValues();
  writer.EmptyLine();
  if (choice.Structure) writer.Structure();
  if (!writer.ToPrinter()) writer.EmptyLine();
}

}  // namespace backprop
