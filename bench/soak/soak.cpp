// SPDX-License-Identifier: GPL-3.0-or-later
// Soak: runs INITW and TRAIN on the largest net a hundred times and checks
// that the heap does not grow from one run to the next. Built with the
// sanitizers by `make soak`, where the live heap is read from the
// allocator; elsewhere from glibc's mallinfo2.
#include <malloc.h>

#include <cstddef>
#include <cstdio>
#include <string>

#include "engine/host.h"
#include "engine/interpreter.h"
#include "bench/null_canvas.h"
#include "engine/workspace.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SOAK_WITH_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define SOAK_WITH_ASAN 1
#endif
#ifdef SOAK_WITH_ASAN
// From the sanitizer runtime (declared here: gcc ships no header for it).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

using namespace backprop;

// Draws nothing and yields to nothing.
class QuietHost : public Host {
 public:
  Canvas& MainCanvas() override { return canvas; }
  void YieldToEvents() override {}
  void ShowWarning(const std::string& message) override {
    std::fprintf(stderr, "soak: run error: %s\n", message.c_str());
    failed = true;
  }
  NullCanvas canvas;
  bool failed = false;
};

std::size_t LiveHeapBytes() {
#ifdef SOAK_WITH_ASAN
  return __sanitizer_get_current_allocated_bytes();
#else
  return mallinfo2().uordblks;
#endif
}

std::string LargestSet() {
  std::string text = "300\r\n";
  for (int p = 1; p <= 300; ++p) {
    for (int f = 1; f <= 20; ++f) {
      text += std::to_string(((p * 7 + f * 13) % 21 - 10) / 10.0);
      text += (f < 20) ? "," : "\r\n";
    }
  }
  return text;
}

}  // namespace

int main() {
  Workspace ws;
  ApplyDefaults(ws);
  ws.TextBuffer(BufferId::TrainingDataD1) = LargestSet();
  ws.TextBuffer(BufferId::ProgramS1) =
      "NETLIST=10,10,10,10,10,10,10,10,10,10,10\r\nBIASLIST=1,1,1,1,1,1,1,1,1,1\r\n"
      "ERRTEST=0\r\nTRAINMAX=50\r\nINITW=2\r\nTRAIN=1\r\n";
  ws.RunMode = 1;
  QuietHost host;

  constexpr int kRuns = 100;
  constexpr int kSettled = 10;  // runs before the heap is measured
  std::size_t settled = 0;
  for (int run = 1; run <= kRuns; ++run) {
    RunProgram(ws, host);
    if (host.failed) return 1;
    if (run == kSettled) settled = LiveHeapBytes();
  }
  const std::size_t last = LiveHeapBytes();
  std::printf("soak: %d runs of INITW and TRAIN on ten layers of ten, 300 patterns\n", kRuns);
  std::printf("soak: live heap after run %d: %zu bytes, after run %d: %zu bytes\n", kSettled,
              settled, kRuns, last);
  if (last > settled) {
    std::printf("soak: FAILED, the heap grew by %zu bytes\n", last - settled);
    return 1;
  }
  std::printf("soak: the heap did not grow\n");
  return 0;
}
