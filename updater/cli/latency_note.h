// The command line's note on a USB serial adapter that holds each reply for a while: how many
// replies an operation waits for, and what that costs it.
#pragma once

#include <string>

#include "boot/updater_presenter.h"

namespace quillmar::cli {

// Replies the boot loader sends for a full `operation`: each one waits out an adapter's
// latency timer once. Byte by byte, or with block transfers of one page.
int repliesOf(boot::Operation operation, bool block);

// The note for an adapter on `device` that holds each reply `latencyMs` ms (meant for above
// 2 ms): the figure, what it costs `operation` in the chosen mode, and what helps.
std::string latencyNote(const std::string& device, int latencyMs, boot::Operation operation,
                        bool block, const std::string& setting);

// Above this an adapter's latency timer is worth a note.
inline constexpr int kQuietLatencyMs = 2;

}  // namespace quillmar::cli
