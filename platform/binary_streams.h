// The standard input and output as bytes: the language server's frames count bytes, and CR LF
// in them must pass as it is, both ways.
#pragma once

namespace quillmar::platform {

// Makes stdin and stdout binary: on Windows they would otherwise turn CR LF into LF when read
// and LF into CR LF when written; elsewhere they already are.
void useBinaryStandardStreams();

}  // namespace quillmar::platform
