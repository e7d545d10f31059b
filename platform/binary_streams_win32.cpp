// Windows opens the standard streams in text mode; the frames need them binary.
#include "binary_streams.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace quillmar::platform {

void useBinaryStandardStreams() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
}

}  // namespace quillmar::platform
