// SPDX-License-Identifier: GPL-3.0-or-later
// The program checks of text_check.h: what a network program's lines would
// quietly do wrong. Keywords are plain substrings of a line and a line with
// none does nothing, so a remark is any such line; only a line shaped like a
// keyword line (WORD=value, or WORD and a number) is taken for a misspelt one.

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <utility>

#include "engine/number_text.h"
#include "engine/program_text.h"
#include "engine/program_walk.h"
#include "engine/text_check.h"
#include "engine/text_check_support.h"
#include "engine/text_lines.h"
#include "engine/whole_number.h"
#include "engine/workspace.h"

namespace backprop {

namespace {

bool IsUpperLetter(char c) { return c >= 'A' && c <= 'Z'; }

// A single word of letters, digits and - _ . / that starts with a letter.
bool IsWord(std::string_view text) {
  if (text.empty() || !IsUpperLetter(text.front())) return false;
  return std::all_of(text.begin(), text.end(), [](char c) {
    return IsUpperLetter(c) || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' ||
           c == '/';
  });
}

// The longest word compared with the keywords; no keyword is near a longer one.
constexpr std::size_t kLongestWord = 16;

// Edits (insert, delete, replace, swap two neighbours) from one text to the
// other, both at most kLongestWord long.
std::size_t EditDistance(std::string_view a, std::string_view b) {
  // Only the cells the loops write are read.
  std::array<std::array<std::size_t, kLongestWord + 1>, kLongestWord + 1> d;  // NOLINT

  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

// The keyword without the "=" that some carry: what a user types before it.
std::string_view Stem(std::string_view keyword) {
  return keyword.back() == '=' ? keyword.substr(0, keyword.size() - 1) : keyword;
}

std::string Joined(const std::vector<std::string_view>& words) {
  std::string text;
  for (std::size_t n = 0; n < words.size(); ++n) {
    text += (n == 0 ? "" : n + 1 == words.size() ? " or " : ", ") + std::string(words[n]);
  }
  return text;
}

// The checks of one program text, line by line.
class ProgramChecker {
 public:
  void Check(const WalkedLine& walked) {
    number_ = walked.number;
    line_ = walked.text;
    upper_ = walked.upper;
    if (walked.keywords.none()) {
      CheckWordLine();
    } else if (upper_.find('=') == std::string_view::npos) {
      CheckMissingEquals();
    } else {
      CheckNumberValue(walked.keywords);
      CheckLists(walked.keywords, walked.error.empty());
    }
    if (!walked.error.empty()) Warn("the run would stop here: " + walked.error);
  }

  bool Full() const { return warnings_.Full(); }
  std::vector<TextWarning> Take() { return warnings_.Take(); }

 private:
  void Warn(const std::string& text) { warnings_.Add(number_, text); }

  // The text as written from `upperPart`'s place in the upper-case line.
  std::string_view Written(std::string_view upperPart) const {
    return line_.substr(static_cast<std::size_t>(upperPart.data() - upper_.data()),
                        upperPart.size());
  }

  // No keyword: WORD=value, or WORD and a number, is a keyword line that
  // does nothing; anything else is a remark.
  void CheckWordLine() {
    const std::string_view upper = upper_;
    std::string_view word;
    if (const std::size_t equals = upper.find('='); equals != std::string_view::npos) {
      word = TrimBlanks(upper.substr(0, equals));
      if (!IsWord(word)) return;
    } else {
      const std::string_view trimmed = TrimBlanks(upper);
      const std::size_t blank = trimmed.find_first_of(" \t");
      if (blank == std::string_view::npos) return;
      word = trimmed.substr(0, blank);
      if (!IsWord(word) || !BeginsWithNumber(trimmed.substr(blank))) return;
    }
    const std::vector<std::string_view> nearest = NearestKeywords(word);
    // A word and a number far from every keyword are likely words of a remark.
    if (nearest.empty() && upper_.find('=') == std::string_view::npos) return;
    const std::string shown = std::string(Written(word));
    Warn(nearest.empty() ? shown + ": not a keyword, so the line does nothing"
                         : shown + ": not a keyword; did you mean " + Joined(nearest) + "?");
  }

  // A keyword line without "=": the keyword reads the whole line, which
  // begins with a letter, so it sets 0.
  void CheckMissingEquals() {
    const std::string_view trimmed = TrimBlanks(upper_);
    for (const ProgramKeyword& keyword : kProgramKeywords) {
      if (keyword.value == KeywordValue::None || trimmed.rfind(keyword.text, 0) != 0) continue;
      Warn(std::string(keyword.text) + ": no \"=\" before its value, so it reads as 0");
      return;
    }
  }

  void CheckNumberValue(const std::bitset<kKeywordCount>& found) {
    const std::string_view value = ValueText(upper_);
    for (int k = 0; k < kKeywordCount; ++k) {
      if (!found[k] || kProgramKeywords[k].value != KeywordValue::Number) continue;
      const std::string keyword(kProgramKeywords[k].text);
      if (!BeginsWithNumber(value)) {
        Warn(keyword + ": the value " + Quoted(Written(value)) +
             " is not a number, so it reads as 0");
        return;
      }
      // Training and stepping read the set the value names; only three hold data.
      if (keyword == "TRAIN=" || keyword == "STEP") {
        const double set = ReadLeadingNumber(value);
        if (set != kDataSetD1 && set != kDataSetD2 && set != kTestSetT1) {
          Warn(keyword + ": data set " + Shown(set) +
               " holds nothing; the sets are 1 (D1), 2 (D2) and 4 (T1)");
        }
      }
    }
  }

  void CheckLists(const std::bitset<kKeywordCount>& found, bool runs) {
    std::string first;  // the first list keyword of the line
    for (int k = 0; k < kKeywordCount; ++k) {
      if (!found[k] || kProgramKeywords[k].value != KeywordValue::List) continue;
      const std::string keyword(kProgramKeywords[k].text);
      if (first.empty()) first = keyword;
      if ((keyword == "ORANGE" || keyword == "IRANGE") && LinePieces(upper_).size() < 3) {
        Warn(keyword +
             ": needs two values, low and high; a missing one comes from an earlier line");
      }
      if (keyword == "NETLIST" && runs) CheckLayerCount();
    }
    if (first.empty()) return;
    // Value n of the line is item n + 1; item 1 is the text before "=".
    const std::vector<std::string_view> pieces = LinePieces(upper_);
    for (std::size_t item = 1; item < pieces.size(); ++item) {
      if (BeginsWithNumber(pieces[item])) continue;
      Warn(first + ": value " + std::to_string(item) +
           (pieces[item].empty() ? " is empty"
                                 : " is " + Quoted(Written(pieces[item])) + ", not a number") +
           ", so it reads as 0");
    }
  }

  // NETLIST sets only the sizes it lists, whatever its layer count says.
  void CheckLayerCount() {
    const std::vector<std::string_view> pieces = LinePieces(upper_);
    if (pieces.size() < 2 || !BeginsWithNumber(pieces[1])) return;
    const auto layers = static_cast<long long>(std::nearbyint(ReadLeadingNumber(pieces[1])));
    const auto sizes = static_cast<long long>(pieces.size() - 2);
    if (layers == sizes) return;
    Warn("NETLIST: " + Counted(layers, "layer") + " but " + Counted(sizes, "size") +
         (layers > sizes
              ? "; a layer without a size here keeps its earlier one"
              : "; the sizes after layer " + std::to_string(layers) + " are not part of the net"));
  }

  WarningList warnings_;
  int number_ = 0;
  std::string_view line_;
  std::string_view upper_;
};

}  // namespace

std::vector<std::string_view> NearestKeywords(std::string_view upperWord) {
  std::vector<std::string_view> nearest;
  if (upperWord.size() > kLongestWord) return nearest;
  // Nearness: the edits to the keyword, but at most 1 for a word that starts
  // a keyword or that a keyword starts; ties go to the fewer edits.
  std::pair<std::size_t, std::size_t> best;
  for (const ProgramKeyword& keyword : kProgramKeywords) {
    const std::string_view stem = Stem(keyword.text);
    const std::size_t edits = EditDistance(upperWord, stem);
    const std::size_t shorter = std::min(stem.size(), upperWord.size());
    const bool prefix = shorter >= 4 && stem.substr(0, shorter) == upperWord.substr(0, shorter);
    const std::pair<std::size_t, std::size_t> score{
        prefix ? std::min<std::size_t>(edits, 1) : edits, edits};
    if (score.first > (stem.size() >= 6 ? 2U : 1U)) continue;
    if (nearest.empty() || score < best) {
      nearest.assign(1, keyword.text);
      best = score;
    } else if (score == best) {
      nearest.push_back(keyword.text);
    }
  }
  return nearest;
}

std::vector<TextWarning> CheckProgram(std::string_view text) {
  // The lines that end a run do so whatever the workspace holds, so a fresh
  // one serves for the walk.
  auto scratch = std::make_unique<Workspace>();
  ProgramChecker checker;
  WalkProgram(*scratch, text, kRunProgramS1, [&checker](const WalkedLine& line, const Workspace&) {
    checker.Check(line);
    return !checker.Full();
  });
  return checker.Take();
}

}  // namespace backprop
