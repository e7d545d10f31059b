// The words an image transfer uses in its messages, by direction.
#pragma once

#include <iosfwd>

namespace quillmar::image {

struct FileOpInfo {
  int op = 0;                    // Input or Output
  const char* description = "";  // "input" / "output"
  const char* direction = "";    // "from" / "to"
  const char* verb = "";         // "read" / "wrote"
};

// Fills `info` for `op`. Returns 0, or -1 after "invalid I/O operation" for an op other than
// Input and Output.
int describeOp(int op, FileOpInfo& info, std::ostream& diag);

}  // namespace quillmar::image
