// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace backprop {

// A text as a message may quote it: every control character, and every byte
// that is not part of well-formed UTF-8, becomes a visible escape ("\r",
// "\n", "\t", "\x1B"), so a file name or a line of a file cannot move a
// terminal's cursor or recolour it when a message shows it. Backslashes are
// kept as they are, so escaping an escaped text changes nothing.
std::string VisibleText(std::string_view text);

}  // namespace backprop
