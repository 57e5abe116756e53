// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace backprop {

// One cycle of a training run as its report gave it.
struct CurvePoint {
  double trial = 0.0;
  double error = 0.0;
};

// The error curve of one training run: every cycle's error, kept for
// export, and a summary to draw that stays a few thousand points long
// however long the run: per bucket of neighbouring cycles its lowest and
// highest error, so no spike disappears from the picture.
class ErrorCurve {
 public:
  void Add(double trial, double error);

  const std::vector<CurvePoint>& Points() const { return points_; }
  bool Empty() const { return points_.empty(); }
  const CurvePoint& Last() const { return points_.back(); }
  double HighestError() const { return highest_; }
  // The lowest error above 0 (for a logarithmic axis); 0 when there is none.
  double LowestPositiveError() const { return lowestPositive_; }
  // The points to draw, in the order of the trials.
  std::vector<CurvePoint> Summary() const;

 private:
  struct Bucket {
    CurvePoint low;
    CurvePoint high;
  };
  // Merges neighbouring buckets in pairs, doubling the cycles per bucket.
  void Halve();

  std::vector<CurvePoint> points_;
  std::vector<Bucket> buckets_;
  std::size_t perBucket_ = 1;
  double highest_ = 0.0;
  double lowestPositive_ = 0.0;
};

// The curves as comma-separated values: a header line "train,trial,error",
// then one line per cycle, `train` counting the curves from 1 and the
// error in the shortest decimal form that reads back to the same double.
std::string CurvesCsv(std::span<const ErrorCurve* const> curves);

// The same with a fourth column "test_error": each cycle's error of the test
// set, from the curve of the same place in `tests` (one point per cycle);
// an empty field where it has none or its value is not a number.
std::string CurvesCsv(std::span<const ErrorCurve* const> curves,
                      std::span<const ErrorCurve* const> tests);

}  // namespace backprop
