// SPDX-License-Identifier: GPL-3.0-or-later
// Typing in the editor over a 4 MiB program, as a student pasting a long
// text and going on typing would: each key goes into the text at once, and
// the text checks run only after a pause. Prints the time a key costs, with
// the checks waiting for their pause, and the time one check of the whole
// text costs when the pause comes. Times are wall-clock, best of five rounds.
#include <QApplication>
#include <QPlainTextEdit>
#include <QtTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "engine/text_check.h"
#include "engine/workspace.h"
#include "tests/support/fake_main_window.h"
#include "ui/editor/editor_window.h"

using namespace backprop;

namespace {

constexpr std::size_t kTextBytes = 4u << 20;
constexpr int kKeys = 200;
constexpr int kRounds = 5;

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

std::string LongProgram() {
  std::string text;
  while (text.size() < kTextBytes) {
    text += "** ONE MORE REMARK ABOUT THE NET\r\nNETLIST=3,2,3,2\r\nEPSILON=.2\r\nTRAIN=1\r\n";
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  Workspace ws;
  ApplyDefaults(ws);
  ws.TextBuffer(BufferId::ProgramS1) = LongProgram();
  ws.EditorBuffer = static_cast<int>(BufferId::ProgramS1);
  testing::FakeMainWindow main(&ws);
  EditorWindow editor(ws, main);
  editor.show();
  editor.ShowBufferText();
  QPlainTextEdit* text = editor.TextArea();
  text->moveCursor(QTextCursor::End);

  double bestKey = 1e9;
  double bestCheck = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    const auto start = std::chrono::steady_clock::now();
    for (int key = 0; key < kKeys; ++key) QTest::keyClick(text, 'X');
    bestKey = std::min(bestKey, Seconds(std::chrono::steady_clock::now() - start) / kKeys);

    const auto checkStart = std::chrono::steady_clock::now();
    const std::vector<TextWarning> warnings =
        CheckBuffer(ws, BufferId::ProgramS1, ws.TextBuffer(BufferId::ProgramS1),
                    {BufferId::ProgramS1, BufferId::ProgramS2});
    bestCheck = std::min(bestCheck, Seconds(std::chrono::steady_clock::now() - checkStart));
    if (!warnings.empty()) {
      std::fprintf(stderr, "the long program should draw no warning\n");
      return 1;
    }
  }
  std::printf(
      "editor over a %zu MiB program: %.3f ms a key (checks wait for a pause of %d ms),"
      " %.1f ms for one check of the whole text\n",
      kTextBytes >> 20, bestKey * 1e3, EditorWindow::kCheckPauseMs, bestCheck * 1e3);
  return 0;
}
