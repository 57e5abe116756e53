// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

#include "engine/forwarding_canvas.h"
#include "tools/backprop_run/text_canvas.h"

namespace backprop {
namespace {

TEST(TextCanvas, OneOutputLinePerTextWrittenAtAPosition) {
  struct Case {
    const char* what;
    std::function<void(Canvas&)> calls;
    const char* output;
  };
  const Case cases[] = {
      {"moves start lines, prints continue them",
       [](Canvas& c) {
         c.MoveTo(5, 1);
         c.Print("Trial=");
         c.Print(" 12 ");
         c.MoveTo(6.5, 1);
         c.Print("Error=");
         c.Print(" .5");
         c.Print("      ");
       },
       "Trial= 12\nError= .5\n"},
      {"a line end ends the line; the next print starts another",
       [](Canvas& c) {
         c.MoveTo(0, 0);
         c.Print("a");
         c.EndLine();
         c.Print("b");
         c.EndLine();
         c.EndLine();
       },
       "a\nb\n"},
      {"a move or line end without text writes nothing",
       [](Canvas& c) {
         c.MoveTo(1, 1);
         c.MoveTo(2, 2);
         c.EndLine();
         c.Clear();
       },
       ""},
      {"blanks only make an empty line; leading blanks stay",
       [](Canvas& c) {
         c.MoveTo(1, 1);
         c.Print("   ");
         c.MoveTo(1, 2);
         c.Print(" -1.00  ");
       },
       "\n -1.00\n"},
      {"zones and columns pad with blanks",
       [](Canvas& c) {
         c.MoveTo(0, 0);
         c.Print("ab");
         c.NextZone();
         c.Print("c");
         c.ToColumn(20);
         c.Print("d");
         c.ToColumn(3);
         c.Print("e");
       },
       "ab            c     de\n"},
      {"clear ends the open line; drawing writes nothing",
       [](Canvas& c) {
         c.MoveTo(0, 0);
         c.Print("x");
         c.Line(0, 0, 1, 1, kRed);
         c.Circle(1, 1, 0.1);
         c.Print("y");
         c.Clear();
         c.Print("z");
       },
       "xy\nz\n"},
  };
  for (const Case& c : cases) {
    std::ostringstream out;
    {
      TextCanvas canvas(out);
      c.calls(canvas);
    }  // the destructor writes the line still open
    EXPECT_EQ(out.str(), c.output) << c.what;
  }
}

TEST(ForwardingCanvas, ForwardsEveryCallToEach) {
  std::ostringstream first;
  std::ostringstream second;
  TextCanvas a(first);
  TextCanvas b(second);
  ForwardingCanvas both({&a, &b});
  both.MoveTo(1, 1);
  both.Print("one");
  both.NextZone();
  both.Print("two");
  both.EndLine();
  both.SetLineWidth(3);
  both.SetLineStyle(LineStyle::Dotted);
  both.Line(0, 0, 1, 1, std::nullopt);
  both.Circle(0, 0, 1);
  both.SetScale(0, -1, 11, 10);
  both.Print("three");
  both.ToColumn(8);
  both.Print("!");
  both.Clear();
  EXPECT_EQ(first.str(), "one           two\nthree   !\n");
  EXPECT_EQ(second.str(), first.str());
}

}  // namespace
}  // namespace backprop
