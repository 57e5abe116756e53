// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/ui/listing/sample_net.h"

#include "engine/workspace.h"

namespace backprop {

void FillSampleNet(Workspace& ws) {
  ws.TextBuffer(BufferId::ProgramS1) = "NETLIST=2,3,1\r\nBIASLIST=1,0";
  ws.TextBuffer(BufferId::ProgramS2) = "";
  ws.TextBuffer(BufferId::TrainingDataD1) = "4\r\n0,0,0\r\n";
  ws.TextBuffer(BufferId::TrainingDataD2) = "1\n1,1,0";  // bare LF line ends
  ws.TextBuffer(BufferId::TestSetT1) = "2\r\n1,0\r\n0,1";

  ws.LayerCount = 3;
  ws.LayerSizes(0) = 3;  // not part of the net: must not be listed
  ws.LayerSizes(1) = 2;
  ws.LayerSizes(2) = 3;
  ws.LayerSizes(3) = 1;
  ws.BiasFlags(1) = 1;
  ws.BiasFlags(2) = 0;  // BiasFlags(3) stays unset

  // Layer 1 to 2; Weights(0, 3, 1) stays unset.
  ws.Weights(0, 1, 1) = 0.5;
  ws.Weights(0, 2, 1) = -1.234;
  ws.Weights(1, 1, 1) = 12.345;
  ws.Weights(1, 2, 1) = 3;
  ws.Weights(1, 3, 1) = -10;
  ws.Weights(2, 1, 1) = -7.5;
  ws.Weights(2, 2, 1) = 0.125;
  ws.Weights(2, 3, 1) = 99.994;
  // Layer 2 to 3. Layer 2 has no bias, so its bias weight must not show.
  ws.Weights(0, 1, 2) = 9;
  ws.Weights(1, 1, 2) = 1;
  ws.Weights(2, 1, 2) = -2;
  ws.Weights(3, 1, 2) = 0.25;
  // A weight beyond the net (layer 3 is the output layer).
  ws.Weights(1, 1, 3) = 5;

  ws.NodeValues(0, 1) = 1;
  ws.NodeValues(1, 1) = 0.731;
  ws.NodeValues(2, 1) = -0.2;
  ws.NodeValues(0, 2) = 0;
  ws.NodeValues(1, 2) = 0.5;
  ws.NodeValues(2, 2) = -0.999;  // NodeValues(3, 2) and (0, 3) stay unset
  ws.NodeValues(1, 3) = 0.25;
  ws.NodeValues(2, 3) = 7;  // beyond the layer's one neurode
}

ListingChoice EverySection() {
  ListingChoice choice;
  for (const ListingSectionRow& row : ListingSections()) choice[row.section] = true;
  return choice;
}

std::string SamplePreview() {
  return "                PROGRAM #1\r\n"
         "NETLIST=2,3,1\r\n"
         "BIASLIST=1,0\r\n"
         "                PROGRAM #2\r\n"
         "\r\n"
         "                DATA SET #1\r\n"
         "4\r\n"
         "0,0,0\r\n"
         "\r\n"
         "                DATA SET #2\r\n"
         "1\r\n"
         "1,1,0\r\n"
         "                TEST SET #1\r\n"
         "2\r\n"
         "1,0\r\n"
         "0,1\r\n"
         "                WEIGHTS\r\n"
         "LAYER= 1\r\n"
         "INPUT NODE # 0  00.50  -01.23   00.00 \r\n"
         "INPUT NODE # 1  12.35   03.00  -10.00 \r\n"
         "INPUT NODE # 2 -07.50   00.13   99.99 \r\n"
         "LAYER= 2\r\n"
         "\r\n"
         "INPUT NODE # 1  01.00 \r\n"
         "INPUT NODE # 2 -02.00 \r\n"
         "INPUT NODE # 3  00.25 \r\n"
         "\r\n"
         "                    LAST CALCULATED NODE VALUES\r\n"
         "LAYER  1...  1.00  0.73 -0.20\r\n"
         "LAYER  2...  0.00  0.50 -1.00  0.00\r\n"
         "LAYER  3...  0.00  0.25\r\n"
         "\r\n"
         "                        NET STRUCTURE \r\n"
         " 2. =#nodes on layer  1, with BIAS\r\n"
         " 3. =#nodes on layer  2,without BIAS\r\n"
         " 1. =#nodes on layer  3,without BIAS\r\n"
         "\r\n"
         "\r\n";
}

std::vector<std::vector<std::string>> SamplePrintedPages() {
  return {
      {
          "                PROGRAM #1",
          "NETLIST=2,3,1",
          "BIASLIST=1,0",
          " ",
          "                PROGRAM #2",
          "",
          " ",
          "                DATA SET #1",
          "4",
          "0,0,0",
          "",
          " ",
          "                DATA SET #2",
          "1",
          "1,1,0",
          " ",
          "                TEST SET #1",
          "2",
          "1,0",
          "0,1",
          " ",
      },
      {
          "                WEIGHTS",
          "LAYER= 1 ",
          "INPUT NODE # 0   00.50  -01.23   00.00  ",
          "INPUT NODE # 1   12.35   03.00  -10.00  ",
          "INPUT NODE # 2  -07.50   00.13   99.99  ",
          "LAYER= 2 ",
          " ",
          "INPUT NODE # 1   01.00  ",
          "INPUT NODE # 2  -02.00  ",
          "INPUT NODE # 3   00.25  ",
          "",
          "                    LAST CALCULATED NODE VALUES",
          "LAYER  1 ...  1.00  0.73 -0.20 ",
          "LAYER  2 ...  0.00  0.50 -1.00  0.00 ",
          "LAYER  3 ...  0.00  0.25 ",
          "",
          "                        NET STRUCTURE ",
          " 2. =#nodes on layer  1 , with BIAS",
          " 3. =#nodes on layer  2 without BIAS",
          " 1. =#nodes on layer  3 without BIAS",
          " ",
      },
  };
}

}  // namespace backprop
