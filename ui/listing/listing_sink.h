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
  // CR) starts a new line, as a multi-line text buffer prints.
  virtual void Write(std::string_view text) = 0;
  // Ends the current line.
  virtual void EndLine() = 0;
  // Starts a new page; destinations without pages ignore it.
  virtual void NewPage() = 0;
};

// The preview destination: one text whose lines end with CR LF, whatever
// line ends the written texts carried.
class PreviewSink : public ListingSink {
 public:
  void Write(std::string_view text) override;
  void EndLine() override;
  void NewPage() override {}

  // The listing so far.
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
  bool pendingCr_ = false;  // a CR was written last; an LF right after it belongs to it
};

// One printed page: its lines, without line ends.
using ListingPage = std::vector<std::string>;

// The printer destination: lines gathered into the pages the listing asked
// for. The printer splits a page further when it runs out of paper height.
class PageSink : public ListingSink {
 public:
  PageSink() : pages_(1) {}

  void Write(std::string_view text) override;
  void EndLine() override;
  void NewPage() override;

  // The pages so far; a line not yet ended counts as the last line.
  std::vector<ListingPage> Pages() const;

 private:
  std::vector<ListingPage> pages_;
  std::string line_;
  bool lineOpen_ = false;  // something was written since the last line end
  bool pendingCr_ = false;
};

// Turns CR LF, LF and CR line ends into LF, for showing a text as plain lines.
std::string PlainLines(std::string_view text);

}  // namespace backprop
