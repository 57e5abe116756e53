// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

class QValueAxis;

namespace backprop {

// The ticks of a chart axis from 0 up: a step of 1, 2 or 5 times a power of
// ten, the top the first tick at or above the highest value, and each label
// written with the decimals the step needs, so no two labels read alike.
struct AxisTicks {
  double top = 1.0;
  double step = 1.0;
  int decimals = 0;

  friend bool operator==(const AxisTicks&, const AxisTicks&) = default;
};

// The densest ticks whose labels all fit: `room(label)` gives the length a
// label needs along an axis of `length` pixels. With `whole`, the step is a
// whole number (trials). A highest value of 0 or less counts as 1.
AxisTicks ChooseTicks(double highest, double length, bool whole,
                      const std::function<double(const QString&)>& room);

// A tick's label: "4000000", "0.25".
QString TickLabel(double value, int decimals);

// The printf form of the labels, for a chart's axis: "%.2f".
QString TickFormat(const AxisTicks& ticks);

// Whether ticks fit an axis of `length` pixels, every label in its room.
bool TicksFit(const AxisTicks& ticks, double length,
              const std::function<double(const QString&)>& room);

// Puts the ticks on a chart's value axis: the range 0 to the top, a tick
// at every step, the labels with their decimals.
void ShowTicks(QValueAxis& axis, const AxisTicks& ticks);

}  // namespace backprop
