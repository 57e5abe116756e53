// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/error_curve.h"

#include <cmath>

#include "engine/number_text.h"

namespace backprop {

namespace {

// At most this many buckets are drawn: two points each.
constexpr std::size_t kMostBuckets = 512;

}  // namespace

void ErrorCurve::Add(double trial, double error) {
  points_.push_back({trial, error});
  if (std::isfinite(error)) {
    if (error > highest_) highest_ = error;
    if (error > 0 && (lowestPositive_ == 0 || error < lowestPositive_)) lowestPositive_ = error;
  }
  const CurvePoint point{trial, error};
  if (buckets_.empty() || (points_.size() - 1) % perBucket_ == 0) {
    buckets_.push_back({point, point});
    if (buckets_.size() > 2 * kMostBuckets) Halve();
    return;
  }
  Bucket& bucket = buckets_.back();
  if (error < bucket.low.error) bucket.low = point;
  if (error > bucket.high.error) bucket.high = point;
}

void ErrorCurve::Halve() {
  std::vector<Bucket> merged;
  merged.reserve(buckets_.size() / 2 + 1);
  for (std::size_t b = 0; b < buckets_.size(); b += 2) {
    Bucket bucket = buckets_[b];
    if (b + 1 < buckets_.size()) {
      const Bucket& next = buckets_[b + 1];
      if (next.low.error < bucket.low.error) bucket.low = next.low;
      if (next.high.error > bucket.high.error) bucket.high = next.high;
    }
    merged.push_back(bucket);
  }
  buckets_.swap(merged);
  perBucket_ *= 2;
}

std::vector<CurvePoint> ErrorCurve::Summary() const {
  std::vector<CurvePoint> summary;
  summary.reserve(2 * buckets_.size() + 1);
  for (const Bucket& bucket : buckets_) {
    const bool lowFirst = bucket.low.trial <= bucket.high.trial;
    summary.push_back(lowFirst ? bucket.low : bucket.high);
    if (bucket.low.trial != bucket.high.trial)
      summary.push_back(lowFirst ? bucket.high : bucket.low);
  }
  if (!points_.empty() && (summary.empty() || summary.back().trial != points_.back().trial)) {
    summary.push_back(points_.back());
  }
  return summary;
}

std::string CurvesCsv(std::span<const ErrorCurve* const> curves) {
  return CurvesCsv(curves, {});
}

std::string CurvesCsv(std::span<const ErrorCurve* const> curves,
                      std::span<const ErrorCurve* const> tests) {
  const bool withTests = !tests.empty();
  std::string text = withTests ? "train,trial,error,test_error\n" : "train,trial,error\n";
  for (std::size_t c = 0; c < curves.size(); ++c) {
    const std::string train = std::to_string(c + 1);
    const std::vector<CurvePoint>& points = curves[c]->Points();
    for (std::size_t n = 0; n < points.size(); ++n) {
      text += train + ',' + RoundTripText(points[n].trial) + ',' + RoundTripText(points[n].error);
      if (withTests) {
        text += ',';
        const ErrorCurve* test = c < tests.size() ? tests[c] : nullptr;
        if (test != nullptr && n < test->Points().size() &&
            std::isfinite(test->Points()[n].error)) {
          text += RoundTripText(test->Points()[n].error);
        }
      }
      text += '\n';
    }
  }
  return text;
}

}  // namespace backprop
