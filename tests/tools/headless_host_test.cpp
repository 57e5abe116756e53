// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <csignal>
#include <sstream>

#include "engine/interpreter.h"
#include "engine/workspace.h"
#include "tools/backprop_run/headless_run.h"
#include "tools/backprop_run/text_canvas.h"

namespace backprop {
namespace {

TEST(HeadlessHost, WarningsBecomeLinesAndAnInterruptRequestStopsTraining) {
  Workspace ws;
  ApplyDefaults(ws);
  ws.TextBuffer(BufferId::ProgramS1) = "NETLIST=3,2,2,1\r\nINITW=2\r\nTRAIN=1\r\nTRAINMAX=5";
  ws.TextBuffer(BufferId::TrainingDataD1) = "4\r\n-1,-1,-1\r\n-1,1,1\r\n1,-1,1\r\n1,1,-1";
  std::ostringstream out;
  std::ostringstream warnings;
  volatile std::sig_atomic_t request = 1;  // as if Ctrl+C came before the run
  TextCanvas text(out);
  HeadlessHost host(ws, text, warnings, &request);
  EXPECT_TRUE(RunNetworkProgram(ws, 1, host));
  text.Flush();
  EXPECT_EQ(ws.InterruptKey, kInterruptKeyCode);
  EXPECT_EQ(ws.TrainingLimit, 1000) << "the rest of the program was skipped";
  EXPECT_EQ(out.str(), "Bias\nActive\n") << "no cycle ended; the closing redraw";
  EXPECT_EQ(warnings.str(), "");

  host.ShowWarning(kRunErrorMessage);
  EXPECT_TRUE(host.Warned());
  EXPECT_EQ(warnings.str(), "UNABLE TO EXECUTE TASK\nTASK HAS BEEN TERMINATED\n");
}

}  // namespace
}  // namespace backprop
