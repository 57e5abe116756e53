// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "ui/listing/listing_text.h"

namespace backprop {

struct Workspace;

// A 3-layer net (2, 3 and 1 neurodes; a bias neurode on layer 1 only) with
// weights, node values and five texts, some cells left unset.
void FillSampleNet(Workspace& ws);

// Every section ticked.
ListingChoice EverySection();

// The preview of the sample net with every section ticked, CR LF line ends.
std::string SamplePreview();

// The printed pages of the sample net with every section ticked.
std::vector<std::vector<std::string>> SamplePrintedPages();

}  // namespace backprop
