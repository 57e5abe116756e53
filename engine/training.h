#pragma once

namespace backprop {

class Host;
struct Workspace;

// How a TRAIN line ended: normally (limit or error test), or by the user's
// key or click, which abandons the rest of the program run.
enum class TrainOutcome { Finished, Interrupted };

// Trains the weights by back-propagation on the selected data set.
TrainOutcome TrainNet(Workspace& ws, Host& host);

}  // namespace backprop
