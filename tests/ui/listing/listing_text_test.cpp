// SPDX-License-Identifier: GPL-3.0-or-later
// The listing text, built without any window: the preview and the printed
// form compared line for line with listings written out by hand.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/engine_error.h"
#include "engine/workspace.h"
#include "tests/ui/listing/sample_net.h"
#include "ui/listing/listing_sink.h"
#include "ui/listing/listing_text.h"

namespace backprop {
namespace {

using Pages = std::vector<std::vector<std::string>>;

std::string Preview(Workspace ws, const ListingChoice& choice) {
  ws.ListDestination = 1;
  PreviewSink sink;
  WriteListing(ws, choice, sink);
  return sink.Text();
}

Pages Printed(Workspace ws, const ListingChoice& choice) {
  ws.ListDestination = 0;
  PageSink sink;
  WriteListing(ws, choice, sink);
  return sink.Pages();
}

ListingChoice NetSections() {
  ListingChoice choice;
  choice[ListingSection::Weights] = choice[ListingSection::NodeValues] =
      choice[ListingSection::Structure] = true;
  return choice;
}

struct ListingCase {
  const char* name;
  std::function<void(Workspace&)> fill;
  ListingChoice choice;
  std::string preview;
  Pages printed;
};

std::vector<ListingCase> Cases() {
  return {
      {"nothing ticked", FillSampleNet, ListingChoice{}, "\r\n\r\n\r\n", {{"", ""}}},
      {"every section of a 3-layer net", FillSampleNet, EverySection(), SamplePreview(),
       SamplePrintedPages()},
      {"one layer",
       [](Workspace& ws) {
         FillSampleNet(ws);
         ws.LayerCount = 1;
       },
       NetSections(),
       "                WEIGHTS\r\n"
       "\r\n"
       "                    LAST CALCULATED NODE VALUES\r\n"
       "LAYER  1...  1.00  0.73 -0.20\r\n"
       "\r\n"
       "                        NET STRUCTURE \r\n"
       " 2. =#nodes on layer  1, with BIAS\r\n"
       "\r\n"
       "\r\n",
       {{"                WEIGHTS", "", "                    LAST CALCULATED NODE VALUES",
         "LAYER  1 ...  1.00  0.73 -0.20 ", "", "                        NET STRUCTURE ",
         " 2. =#nodes on layer  1 , with BIAS", " "}}},
      {"no layers",
       [](Workspace& ws) {
         FillSampleNet(ws);
         ws.LayerCount = 0;
       },
       NetSections(),
       "                WEIGHTS\r\n"
       "\r\n"
       "                    LAST CALCULATED NODE VALUES\r\n"
       "\r\n"
       "                        NET STRUCTURE \r\n"
       "\r\n"
       "\r\n",
       {{"                WEIGHTS", "", "                    LAST CALCULATED NODE VALUES", "",
         "                        NET STRUCTURE ", " "}}},
      {"a layer of 0 neurodes after one without bias",
       [](Workspace& ws) {
         ws.LayerCount = 2;
         ws.LayerSizes(1) = 2;
         ws.LayerSizes(2) = 0;
         ws.Weights(1, 1, 1) = 4;  // no neurode to receive it
         ws.NodeValues(1, 1) = 0.5;
       },
       NetSections(),
       "                WEIGHTS\r\n"
       "LAYER= 1\r\n"
       "\r\n"
       "INPUT NODE # 1\r\n"
       "INPUT NODE # 2\r\n"
       "\r\n"
       "                    LAST CALCULATED NODE VALUES\r\n"
       "LAYER  1...  0.00  0.50  0.00\r\n"
       "LAYER  2...  0.00\r\n"
       "\r\n"
       "                        NET STRUCTURE \r\n"
       " 2. =#nodes on layer  1,without BIAS\r\n"
       " . =#nodes on layer  2,without BIAS\r\n"
       "\r\n"
       "\r\n",
       {{"                WEIGHTS", "LAYER= 1 ", " ", "INPUT NODE # 1  ", "INPUT NODE # 2  ", "",
         "                    LAST CALCULATED NODE VALUES", "LAYER  1 ...  0.00  0.50  0.00 ",
         "LAYER  2 ...  0.00 ", "", "                        NET STRUCTURE ",
         " 2. =#nodes on layer  1 without BIAS", " . =#nodes on layer  2 without BIAS", " "}}},
      {"texts only, test set last: its page break ends the listing's first page",
       FillSampleNet,
       [] {
         ListingChoice choice;
         choice[ListingSection::ProgramS2] = choice[ListingSection::TestData1] = true;
         return choice;
       }(),
       "                PROGRAM #2\r\n"
       "\r\n"
       "                TEST SET #1\r\n"
       "2\r\n1,0\r\n0,1\r\n"
       "\r\n\r\n\r\n",
       {{"                PROGRAM #2", "", " ", "                TEST SET #1", "2", "1,0", "0,1",
         " "},
        {"", ""}}},
      {"a bias flag other than 1 shows the bias row but lists the layer without bias",
       [](Workspace& ws) {
         ws.LayerCount = 2;
         ws.LayerSizes(1) = 1;
         ws.LayerSizes(2) = 1;
         ws.BiasFlags(1) = 2;
         ws.Weights(0, 1, 1) = -0.5;
         ws.Weights(1, 1, 1) = 100.5;
       },
       [] {
         ListingChoice choice;
         choice[ListingSection::Weights] = choice[ListingSection::Structure] = true;
         return choice;
       }(),
       "                WEIGHTS\r\n"
       "LAYER= 1\r\n"
       "INPUT NODE # 0 -00.50 \r\n"
       "INPUT NODE # 1  100.50 \r\n"
       "\r\n"
       "\r\n"
       "                        NET STRUCTURE \r\n"
       " 1. =#nodes on layer  1,without BIAS\r\n"
       " 1. =#nodes on layer  2,without BIAS\r\n"
       "\r\n"
       "\r\n",
       {{"                WEIGHTS", "LAYER= 1 ", "INPUT NODE # 0  -00.50  ",
         "INPUT NODE # 1   100.50  ", "", "", "                        NET STRUCTURE ",
         " 1. =#nodes on layer  1 without BIAS", " 1. =#nodes on layer  2 without BIAS", " "}}},
  };
}

TEST(ListingText, PreviewMatchesCharacterForCharacter) {
  for (const ListingCase& c : Cases()) {
    Workspace ws;
    c.fill(ws);
    EXPECT_EQ(Preview(ws, c.choice), c.preview) << c.name;
  }
}

TEST(ListingText, PrintedPagesMatchLineForLine) {
  for (const ListingCase& c : Cases()) {
    Workspace ws;
    c.fill(ws);
    EXPECT_EQ(Printed(ws, c.choice), c.printed) << c.name;
  }
}

TEST(ListingText, NetBeyondTheTablesIsAnEngineError) {
  Workspace ws;
  ws.LayerCount = 11;
  for (int layer = 1; layer <= 10; ++layer) ws.LayerSizes(layer) = 1;
  ListingChoice structure;
  structure[ListingSection::Structure] = true;
  PreviewSink sink;
  EXPECT_THROW(WriteListing(ws, structure, sink), EngineError);
}

TEST(ListingSinks, LineEndsOfWrittenTextsBecomeTheDestinationsOwn) {
  struct SinkCase {
    std::vector<std::string> writes;  // each followed by nothing; "|" means EndLine
    std::string preview;
    Pages printed;
  };
  const SinkCase cases[] = {
      {{"a\r\nb\nc\rd", "|"}, "a\r\nb\r\nc\r\nd\r\n", {{"a", "b", "c", "d"}}},
      {{"a\r", "\nb", "|"}, "a\r\nb\r\n", {{"a", "b"}}},  // CR LF split across two writes
      {{"a\n\n", "|"}, "a\r\n\r\n\r\n", {{"a", "", ""}}},
      {{"x", "y", "|", "|"}, "xy\r\n\r\n", {{"xy", ""}}},
      {{"open"}, "open", {{"open"}}},  // a line not yet ended still prints
  };
  for (const SinkCase& c : cases) {
    PreviewSink preview;
    PageSink pages;
    for (const std::string& w : c.writes) {
      for (ListingSink* sink :
           {static_cast<ListingSink*>(&preview), static_cast<ListingSink*>(&pages)}) {
        if (w == "|") {
          sink->EndLine();
        } else {
          sink->Write(w);
        }
      }
    }
    EXPECT_EQ(preview.Text(), c.preview);
    EXPECT_EQ(pages.Pages(), c.printed);
  }
}

TEST(ListingSinks, NewPageEndsAnOpenLineAndPreviewHasNoPages) {
  PageSink pages;
  PreviewSink preview;
  for (ListingSink* sink :
       {static_cast<ListingSink*>(&pages), static_cast<ListingSink*>(&preview)}) {
    sink->Write("one");
    sink->NewPage();
    sink->Write("two");
    sink->EndLine();
  }
  EXPECT_EQ(pages.Pages(), (Pages{{"one"}, {"two"}}));
  EXPECT_EQ(preview.Text(), "onetwo\r\n");
}

}  // namespace
}  // namespace backprop
