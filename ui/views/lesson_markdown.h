// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string_view>

class QTextDocument;

namespace backprop {

// The longest note rendered from its Markdown (8 KiB, two pages of lesson).
// Some Markdown costs the square of its length to render (a paragraph of
// two thousand code spans takes half a second at this length), so a longer
// note shows as plain text, which costs only its length.
inline constexpr std::size_t kLargestRenderedNote = 8 * 1024;

// Fills a document with a lesson note rendered from its Markdown (GitHub's
// dialect) as text only: HTML in the note, tags, comments and blocks alike,
// shows as written, and every picture the note names stands as its name in
// brackets, so the document never loads anything. Runs of a thousand
// characters without a blank get invisible break points, so that laying
// out even a note of one huge word costs only its length. Render into a
// document no view shows yet: a view lays it out again at every addition.
void RenderLessonNote(QTextDocument& document, std::string_view markdown);

}  // namespace backprop
