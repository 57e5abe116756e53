// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace backprop {

// Text buffers are bytes with CR LF line breaks; the editor shows a QString
// of plain lines separated by "\n". These two conversions connect them.
//
// Showing: bytes that are valid UTF-8 are read as UTF-8 (a byte order mark is
// kept as a character); any other byte sequence is read as Latin-1, so every
// byte gets a character of its own. CR LF, a lone CR and a lone LF all show
// as a line break, as the text area would make of them anyway.
//
// Storing: every line break becomes CR LF. The text is encoded as UTF-8,
// except that a buffer that was not valid UTF-8 keeps its Latin-1 encoding
// while every character still fits in it, so the untouched bytes of such a
// text come back as they were.
//
// The editor stores nothing for a text the user has not changed, so a buffer
// with lone LF or CR line ends, invalid UTF-8 or any other oddity comes back
// byte for byte; only an edited text is converted.

// True when the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);

// The text the editor shows for a buffer's bytes.
QString BufferToEditorText(std::string_view bytes);

// The bytes stored for an edited text that replaces the buffer `replaced`.
std::string EditorTextToBuffer(const QString& text, std::string_view replaced);

}  // namespace backprop
