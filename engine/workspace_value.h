// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace backprop {

// A numeric cell of the workspace: unset until first written, and an unset
// cell reads as 0 in every computation. Whole numbers are held exactly, so
// one double serves for the integer and the real cells alike.
class WorkspaceValue {
 public:
  constexpr WorkspaceValue() = default;
  constexpr WorkspaceValue(double value)
      : value_(value), set_(true) {}  // NOLINT: cells take plain numbers

  constexpr WorkspaceValue& operator=(double value) {
    value_ = value;
    set_ = true;
    return *this;
  }

  constexpr operator double() const { return value_; }  // NOLINT: cells read as plain numbers
  constexpr double Value() const { return value_; }
  constexpr bool IsSet() const { return set_; }

 private:
  double value_ = 0.0;
  bool set_ = false;
};

}  // namespace backprop
