#include "image/file_op.h"

#include "image/diag_print.h"
#include "image/fileio.h"

namespace quillmar::image {

int describeOp(int op, FileOpInfo& info, std::ostream& diag) {
  switch (op) {
    case Input:
      info = {Input, "input", "from", "read"};
      return 0;
    case Output:
      info = {Output, "output", "to", "wrote"};
      return 0;
    default:
      printTo(diag, "invalid I/O operation %d\n", op);
      return -1;
  }
}

}  // namespace quillmar::image
