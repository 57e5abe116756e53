// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/engine/fann_trainer.h"

#include <doublefann.h>

#include <stdexcept>
#include <vector>

#include "bench/engine/bench_nets.h"

namespace backprop::bench {

struct FannTrainer::Parts {
  fann* ann = nullptr;
  fann_train_data* data = nullptr;
  std::vector<fann_connection> startWeights;
};

FannTrainer::FannTrainer(const BenchNet& net, double epsilon) : parts_(std::make_unique<Parts>()) {
  std::vector<unsigned> layers(net.sizes.begin(), net.sizes.end());
  parts_->ann = fann_create_standard_array(static_cast<unsigned>(layers.size()), layers.data());
  if (parts_->ann == nullptr) throw std::runtime_error("FANN could not create the net");
  fann* ann = parts_->ann;
  fann_set_activation_function_hidden(ann, FANN_SIGMOID_SYMMETRIC);
  fann_set_activation_function_output(ann, FANN_SIGMOID_SYMMETRIC);
  fann_set_activation_steepness_hidden(ann, 1.0);
  fann_set_activation_steepness_output(ann, 1.0);
  fann_set_training_algorithm(ann, FANN_TRAIN_INCREMENTAL);
  fann_set_train_error_function(ann, FANN_ERRORFUNC_LINEAR);
  fann_set_learning_rate(ann, static_cast<float>(2.0 * epsilon));
  fann_set_learning_momentum(ann, 0.0f);

  const auto patterns = static_cast<unsigned>(net.PatternCount());
  parts_->data = fann_create_train(patterns, layers.front(), layers.back());
  for (unsigned p = 0; p < patterns; ++p) {
    for (unsigned i = 0; i < layers.front(); ++i) parts_->data->input[p][i] = net.inputs[p][i];
    for (unsigned k = 0; k < layers.back(); ++k) parts_->data->output[p][k] = net.targets[p][k];
  }

  // FANN numbers its neurons layer after layer, each layer's bias last;
  // map every connection to the engine's (i, j, h).
  std::vector<unsigned> firstNeuron;
  unsigned next = 0;
  for (unsigned size : layers) {
    firstNeuron.push_back(next);
    next += size + 1;
  }
  auto locate = [&](unsigned neuron, std::size_t& layer, unsigned& position) {
    layer = firstNeuron.size() - 1;
    while (firstNeuron[layer] > neuron) --layer;
    position = neuron - firstNeuron[layer];
  };
  std::vector<fann_connection> connections(fann_get_total_connections(ann));
  fann_get_connection_array(ann, connections.data());
  for (fann_connection& c : connections) {
    std::size_t fromLayer = 0;
    std::size_t toLayer = 0;
    unsigned from = 0;
    unsigned to = 0;
    locate(c.from_neuron, fromLayer, from);
    locate(c.to_neuron, toLayer, to);
    if (toLayer != fromLayer + 1 || to >= layers[toLayer]) {
      throw std::runtime_error("unexpected FANN connection layout");
    }
    const unsigned i = (from == layers[fromLayer]) ? 0 : from + 1;  // bias is node 0 here
    c.weight = net.weights[fromLayer + 1][i][to + 1];
  }
  parts_->startWeights = connections;
  ResetWeights();
}

FannTrainer::~FannTrainer() {
  fann_destroy_train(parts_->data);
  fann_destroy(parts_->ann);
}

void FannTrainer::ResetWeights() {
  fann_set_weight_array(parts_->ann, parts_->startWeights.data(),
                        static_cast<unsigned>(parts_->startWeights.size()));
}

double FannTrainer::TrainCycle() { return fann_train_epoch(parts_->ann, parts_->data); }

}  // namespace backprop::bench
