// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

namespace backprop {

// Reads the help document: plain text laid out for a fixed-width font,
// handed out with CR LF line ends. Nothing when it cannot be read.
std::optional<QString> ReadHelpDocument(const QString& path);

}  // namespace backprop
