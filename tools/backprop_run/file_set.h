#pragma once

#include <array>
#include <stdexcept>
#include <string>

#include "engine/workspace.h"

namespace backprop {

// A file of the set that exists but cannot be read, or a set of which no
// file exists; its text says which and why.
class FileSetError : public std::runtime_error {
 public:
  explicit FileSetError(const std::string& what) : std::runtime_error(what) {}
};

// The five text files of a set: extension and the buffer each fills.
struct TextFileRow {
  const char* extension;
  BufferId buffer;
};
inline constexpr std::array<TextFileRow, 5> kTextFiles{{
    {".pr1", BufferId::ProgramS1},
    {".pr2", BufferId::ProgramS2},
    {".ds1", BufferId::TrainingDataD1},
    {".ds2", BufferId::TrainingDataD2},
    {".qs1", BufferId::TestSetT1},
}};

// Reads every existing file BASE.pr1 ... BASE.qs1 byte for byte into its
// buffer; the buffer of a missing file is left empty. Returns how many were
// read. Throws FileSetError when one exists but cannot be read, or when
// none exists at all.
int ReadFileSet(Workspace& ws, const std::string& base);

}  // namespace backprop
