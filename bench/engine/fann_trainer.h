// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

namespace backprop::bench {

struct BenchNet;

// The same net trained by FANN: double precision, incremental training,
// linear error function, tanh activations (sigmoid-symmetric with
// steepness 1) and a learning rate of 2 epsilon, which makes its steps equal
// the engine's (FANN halves the error of symmetric activations).
class FannTrainer {
 public:
  FannTrainer(const BenchNet& net, double epsilon);
  ~FannTrainer();
  FannTrainer(const FannTrainer&) = delete;
  FannTrainer& operator=(const FannTrainer&) = delete;

  // Puts the starting weights back.
  void ResetWeights();
  // One training cycle over all patterns; returns FANN's mean squared error.
  double TrainCycle();

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace backprop::bench
