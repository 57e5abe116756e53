// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace backprop {

struct Workspace;

// The weights file keeps a trained net: one number per line, CR LF line
// ends, in this order: the layer count n; the n layer sizes; the n bias
// flags; the weights Weights(i, j, L) for L = 1..n-1, i = 0..LayerSizes(L),
// j = 1..LayerSizes(L+1) (j fastest, bias row i = 0 always included); then
// TransferFunction, InputRangeLow, InputRangeHigh, OutputRangeLow,
// OutputRangeHigh and OutputMode. The layer count and every layer size must
// round to 0..10, the bounds of the workspace tables.

// The largest weights file that is read (64 KiB). The largest net, 10 layers
// of 10 neurodes, takes 1017 lines of one number each, some 26 bytes at full
// precision, so this leaves room for blanks around the numbers and trailing
// lines while refusing anything that cannot be a weights file.
inline constexpr std::size_t kMaxWeightsFileBytes = std::size_t{64} * 1024;

// The file text for the workspace's net. Whole numbers are written without
// a decimal point, everything else in the shortest form that reads back to
// the same double. Throws FileError (without a file name) when the layer
// count or a layer size lies outside 0..10 or a value is not finite.
std::string WeightsFileText(const Workspace& ws);

// Stores a weights file text in the workspace. The whole text is checked
// first (every needed line a number, enough lines, the layer count and sizes
// within 0..10); on any fault FileError (without a file name) is thrown and
// nothing is changed. Lines after the last needed one are ignored.
void ReadWeightsText(Workspace& ws, std::string_view text);

// Writes the weights file at path, replacing an old one only once the new
// one is complete. Throws FileError naming the file.
void WriteWeightsFile(const Workspace& ws, const std::filesystem::path& path);

// Reads the weights file at path into the workspace, all or nothing. Throws
// FileError naming the file.
void ReadWeightsFile(Workspace& ws, const std::filesystem::path& path);

// For callers without a dialog, such as the headless runner: reads the file
// and returns nothing, or returns the message a load box would show
// ("FILE NOT FOUND", a line break, the file and the reason). A failed read
// changes nothing.
std::optional<std::string> ReadWeightsFileOrMessage(Workspace& ws,
                                                    const std::filesystem::path& path);

// Writes the file and returns nothing, or returns the save box's message
// ("UNABLE TO SAVE FILE", a line break, the file and the reason).
std::optional<std::string> WriteWeightsFileOrMessage(const Workspace& ws,
                                                     const std::filesystem::path& path);

}  // namespace backprop
