// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/save_pause.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <string>

namespace backprop {

namespace {

// The variable's value, read once.
const std::string& PauseMoment() {
  static const std::string moment = [] {
    const char* value = std::getenv("BACKPROP_SAVE_PAUSE");
    return std::string(value == nullptr ? "" : value);
  }();
  return moment;
}

}  // namespace

void PauseSaveAt(std::string_view moment) {
  if (!PauseMoment().empty() && PauseMoment() == moment) std::raise(SIGSTOP);
}

std::size_t BytesBeforePause(std::size_t size) {
  const std::string& moment = PauseMoment();
  // A byte count: digits only, few enough to fit any size_t.
  constexpr std::size_t kMostDigits = 9;
  if (moment.empty() || moment.size() > kMostDigits ||
      moment.find_first_not_of("0123456789") != std::string::npos) {
    return size;
  }
  return std::min(size, static_cast<std::size_t>(std::stoul(moment)));
}

}  // namespace backprop
