// The schedule language server, `planprobe --lsp`: the Language Server Protocol on standard
// input and output, answered from planprobe's own parser and simulation.
//
// server/ is the top of planprobe beside the session: the server loop, what it tells of a
// schedule (diagnostics, hover, code lens, the span it simulates) and the program's entry,
// which starts either the server or a session. It may use every folder of planprobe; none
// uses it.
//
// One thread answers the editor; another only reads the input (lsp/incoming.h). Each change of
// a document is analysed at once and its findings published; its simulation then runs a day at
// a time between messages, so that no run delays the findings of the next change. Requests
// that need the run (hover, code lens) wait for it; those whose text changes meanwhile are
// answered with ContentModified, and `$/cancelRequest` is honoured.
#pragma once

#include <iosfwd>

#include "lsp/incoming.h"
#include "server/run_settings.h"

namespace quillmar::planprobe {

// Serves one editor over `in` and `out` until it says exit or the input ends; `log` gets the
// server's own messages. `defaults` is the span of every schedule that names none. Returns the
// exit status: 0 after an orderly shutdown, 1 otherwise. `atEnd` says whether the reader of
// `in` may be left behind at the exit (standard input) or is waited for (an input that ends).
int RunLanguageServer(std::istream& in, std::ostream& out, std::ostream& log,
                      const RunSettings& defaults,
                      lsp::ReaderAtEnd atEnd = lsp::ReaderAtEnd::LeftBehind);

}  // namespace quillmar::planprobe
