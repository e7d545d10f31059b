// POSIX standard streams carry bytes as they are.
#include "binary_streams.h"

namespace quillmar::platform {

void useBinaryStandardStreams() {}

}  // namespace quillmar::platform
