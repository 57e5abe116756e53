// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace backprop {

// Where a listing goes. The listing routine writes text, line ends and page
// breaks; a destination decides what they become (a preview text, printed
// pages).
class ListingSink {
 public:
  virtual ~ListingSink() = default;

  // Appends text to the current line; a line break inside it (CR LF, LF or
  // CR, also a CR LF split between two writes) starts a new line, as a
  // multi-line text buffer prints.
  void Write(std::string_view text);
  // Ends the current line.
  void EndLine();
  // Starts a new page; destinations without pages ignore it.
  void NewPage();

 protected:
  // Text without line ends, for the current line.
  virtual void Append(std::string_view text) = 0;
  virtual void FinishLine() = 0;
  virtual void StartPage() {}

 private:
  bool pendingCr_ = false;  // a write ended with CR; an LF first in the next belongs to it
};

// The preview destination: one text whose lines end with CR LF, whatever
// line ends the written texts carried.
class PreviewSink : public ListingSink {
 public:
  // The listing so far.
  const std::string& Text() const { return text_; }

 protected:
  void Append(std::string_view text) override { text_ += text; }
  void FinishLine() override { text_ += "\r\n"; }

 private:
  std::string text_;
};

// One printed page: its lines, without line ends.
using ListingPage = std::vector<std::string>;

// The printer destination: lines gathered into the pages the listing asked
// for. The printer splits a page further when it runs out of paper height.
class PageSink : public ListingSink {
 public:
  PageSink() : pages_(1) {}

  // The pages so far; a line not yet ended counts as the last line.
  std::vector<ListingPage> Pages() const;

 protected:
  void Append(std::string_view text) override;
  void FinishLine() override;
  void StartPage() override;

 private:
  std::vector<ListingPage> pages_;
  std::string line_;
  bool lineOpen_ = false;  // something was written since the last line end
};

}  // namespace backprop
