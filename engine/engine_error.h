// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

namespace backprop {

// The one error type the engine throws. A program run turns it into the
// "UNABLE TO EXECUTE TASK" warning; the load and save dialog into its own.
class EngineError : public std::runtime_error {
 public:
  explicit EngineError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace backprop
