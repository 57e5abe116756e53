// SPDX-License-Identifier: GPL-3.0-or-later
// Reads arbitrary bytes as a weights file. A read either fails and changes
// nothing, or stores a net that fits the tables and that writes and reads
// back to the same values.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/workspace.h"
#include "files/file_error.h"
#include "files/weights_file.h"

namespace {

using namespace backprop;

std::string Snapshot(const Workspace& ws) {
  try {
    return WeightsFileText(ws);
  } catch (const FileError&) {
    return "<unwritable>";
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Workspace ws;
  ApplyDefaults(ws);
  ws.Weights(1, 1, 1) = 0.5;
  const std::string before = Snapshot(ws);
  try {
    ReadWeightsText(ws, text);
  } catch (const FileError&) {
    if (Snapshot(ws) != before || ws.Weights(1, 1, 1) != 0.5) std::abort();
    return 0;
  }
  if (!(ws.LayerCount >= -0.5 && ws.LayerCount <= 10.5)) std::abort();
  // What was read writes out and reads back unchanged.
  std::string written;
  try {
    written = WeightsFileText(ws);
  } catch (const FileError&) {
    std::abort();
  }
  Workspace again;
  ReadWeightsText(again, written);
  if (WeightsFileText(again) != written) std::abort();
  return 0;
}
