#include "engine/stepping.h"

namespace backprop {

// Stepping arrives with the data-set engine; until then a STEP line only
// selects its data set.
void StepDataSet(Workspace&, Host&) {}

}  // namespace backprop
