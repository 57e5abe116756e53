// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string_view>

namespace backprop {

// A test's way to stop a save at a chosen moment, so that it can kill the
// process there and see what the save leaves behind. The environment
// variable BACKPROP_SAVE_PAUSE names the moment: "created" (the new file
// exists, empty), a number N (N bytes of it are written), "written",
// "synced", "closed" or "renamed" (it has replaced the old file); the
// process then stops itself with SIGSTOP. Unset, saves never pause.

// Stops the process if the variable names this moment.
void PauseSaveAt(std::string_view moment);

// How many of the `size` bytes of a new file are written before the save
// pauses: the number the variable names, or all of them.
std::size_t BytesBeforePause(std::size_t size);

}  // namespace backprop
