// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/views/axis_ticks.h"

#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace backprop {

namespace {

// At most this many steps along an axis, however long it is.
constexpr int kMostSteps = 10;

// The next step of the 1, 2, 5 series after `step`.
double NextStep(double step) {
  const double power = std::pow(10.0, std::floor(std::log10(step) + 1e-9));
  const double leading = std::round(step / power);
  return leading < 2 ? 2 * power : leading < 5 ? 5 * power : 10 * power;
}

// The first step of the series at or above `least`.
double StepAtLeast(double least) {
  double step = std::pow(10.0, std::floor(std::log10(least)));
  while (step < least * (1 - 1e-12)) step = NextStep(step);
  return step;
}

AxisTicks TicksOf(double highest, double step) {
  AxisTicks ticks;
  ticks.step = step;
  ticks.top = std::max(step, std::ceil(highest / step - 1e-9) * step);
  ticks.decimals = step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
  return ticks;
}

}  // namespace

QString TickLabel(double value, int decimals) { return QString::number(value, 'f', decimals); }

QString TickFormat(const AxisTicks& ticks) { return QString("%.%1f").arg(ticks.decimals); }

bool TicksFit(const AxisTicks& ticks, double length,
              const std::function<double(const QString&)>& room) {
  const double spacing = length * ticks.step / ticks.top;
  const int steps = static_cast<int>(std::lround(ticks.top / ticks.step));
  for (int n = 0; n <= steps; ++n) {
    if (room(TickLabel(n * ticks.step, ticks.decimals)) > spacing) return false;
  }
  return true;
}

AxisTicks ChooseTicks(double highest, double length, bool whole,
                      const std::function<double(const QString&)>& room) {
  if (!(highest > 0) || !std::isfinite(highest)) highest = 1;
  double step = StepAtLeast(highest / kMostSteps);
  if (whole) step = std::max(step, 1.0);
  for (;;) {
    const AxisTicks ticks = TicksOf(highest, step);
    // One step over the whole axis is the last resort.
    if (ticks.top <= step || TicksFit(ticks, length, room)) return ticks;
    step = NextStep(step);
  }
}

// Every change of an axis lays out every series again, so only what
// changes is set. The chart makes an item per tick, so the step and the
// range change in the order that never asks for more ticks than the old or
// the new ticks have.
void ShowTicks(QValueAxis& axis, const AxisTicks& ticks) {
  const auto range = [&axis, &ticks] {
    if (axis.min() != 0 || axis.max() != ticks.top) axis.setRange(0, ticks.top);
  };
  const auto step = [&axis, &ticks] {
    if (axis.tickInterval() != ticks.step) axis.setTickInterval(ticks.step);
  };
  if (axis.tickType() != QValueAxis::TicksDynamic) {
    axis.setRange(0, ticks.top);
    axis.setTickInterval(ticks.step);
    axis.setTickAnchor(0);
    axis.setTickType(QValueAxis::TicksDynamic);
  } else if (ticks.step >= axis.tickInterval()) {
    step();
    range();
  } else {
    range();
    step();
  }
  if (axis.labelFormat() != TickFormat(ticks)) axis.setLabelFormat(TickFormat(ticks));
}

}  // namespace backprop
