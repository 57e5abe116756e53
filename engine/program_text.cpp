// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/program_text.h"

#include "engine/text_lines.h"

namespace backprop {

int KeywordIndex(std::string_view text) {
  for (int k = 0; k < kKeywordCount; ++k) {
    if (kProgramKeywords[k].text == text) return k;
  }
  return -1;
}

std::bitset<kKeywordCount> KeywordsIn(std::string_view upperLine) {
  std::bitset<kKeywordCount> found;
  for (int k = 0; k < kKeywordCount; ++k) {
    found[k] = upperLine.find(kProgramKeywords[k].text) != std::string_view::npos;
  }
  return found;
}

std::string UpperCaseProgram(std::string_view text) {
  // Keywords are ASCII, so only a..z change; that way no locale can change
  // any other byte.
  std::string upper(text);
  for (char& ch : upper) {
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  }
  return upper;
}

std::vector<ProgramLine> RunningLines(std::string_view text) {
  std::vector<ProgramLine> lines;
  TextLines reader(text);
  for (std::string_view line; reader.Next(line);) {
    if (line.size() >= 2) lines.push_back({reader.Number(), line});
  }
  return lines;
}

std::string_view ValueText(std::string_view line) {
  const std::size_t equals = line.find('=');
  return TrimBlanks(equals == std::string_view::npos ? line : line.substr(equals + 1));
}

std::vector<std::string_view> LinePieces(std::string_view line) {
  std::vector<std::string_view> pieces;
  std::size_t pieceStart = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const bool last = i + 1 == line.size();
    if (line[i] != '=' && line[i] != ',' && !last) continue;
    const std::size_t cut = last ? line.size() : i;
    const std::size_t length = cut > pieceStart ? cut - pieceStart : 0;
    pieces.push_back(TrimBlanks(line.substr(pieceStart, length)));
    pieceStart = cut + 1;
  }
  return pieces;
}

}  // namespace backprop
