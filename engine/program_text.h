// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <bitset>
#include <string>
#include <string_view>
#include <vector>

namespace backprop {

// How a network program's text is read, shared by the interpreter that runs
// it and by the checks that read it without running it.

// What follows a keyword on its line.
enum class KeywordValue {
  None,    // DISPLAY
  Number,  // the text after the line's first "=", read as a number
  List,    // the items of the line, split at "=" and ","
};

struct ProgramKeyword {
  std::string_view text;  // searched as a plain substring of the upper-case line
  KeywordValue value;
};

inline constexpr int kKeywordCount = 18;

// The keywords in the order a line is scanned for them.
inline constexpr std::array<ProgramKeyword, kKeywordCount> kProgramKeywords{{
    {"TRAIN=", KeywordValue::Number},
    {"DISPLAY", KeywordValue::None},
    {"EPSILON", KeywordValue::Number},
    {"THRESHOLD", KeywordValue::Number},
    {"STEP", KeywordValue::Number},
    {"ORANGE", KeywordValue::List},
    {"WSEED", KeywordValue::Number},
    {"SHOW=", KeywordValue::Number},
    {"UPDATE", KeywordValue::Number},
    {"TRAINMAX", KeywordValue::Number},
    {"FUNCTION", KeywordValue::Number},
    {"IRANGE", KeywordValue::List},
    {"SHOWTEST", KeywordValue::Number},
    {"INITW", KeywordValue::Number},
    {"NETLIST", KeywordValue::List},
    {"BIASLIST", KeywordValue::List},
    {"ERRTEST", KeywordValue::Number},
    {"ANALOG", KeywordValue::Number},
}};

// The position of a keyword in kProgramKeywords, or -1 for no keyword.
int KeywordIndex(std::string_view text);

// The keywords an upper-case line contains, by their position in
// kProgramKeywords.
std::bitset<kKeywordCount> KeywordsIn(std::string_view upperLine);

// The upper-case copy of a program text, as the interpreter reads it: a..z
// become A..Z and every other byte stays, so the lines as written and as read
// line up.
std::string UpperCaseProgram(std::string_view text);

// One line of a program that runs, with its number as written.
struct ProgramLine {
  int number;             // from 1, counting every line, also those that never run
  std::string_view text;  // without its line end
};

// The lines of a program that run: lines end at CR LF, LF or CR, and a line
// of fewer than two characters never runs.
std::vector<ProgramLine> RunningLines(std::string_view text);

// The value text of a line: what follows its first "=" (the whole line when
// there is none), trimmed of blanks.
std::string_view ValueText(std::string_view line);

// The items of a line: the pieces between "=" and "," signs, each trimmed of
// blanks; the line's last character always belongs to the last piece, even
// when it is a separator. Every piece, however many.
std::vector<std::string_view> LinePieces(std::string_view line);

}  // namespace backprop
