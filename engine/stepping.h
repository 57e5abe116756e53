// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace backprop {

class Host;
struct Workspace;

// Shows the next pattern of the selected data set run through the net.
void StepDataSet(Workspace& ws, Host& host);

}  // namespace backprop
