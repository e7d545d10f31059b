// The command line's note on a USB serial adapter that holds each reply for a while: how many
// replies an operation waits for (boot/transfer_estimate.h), and what that costs it.
#pragma once

#include <string>

#include "boot/updater_presenter.h"

namespace quillmar::cli {

// The note for an adapter on `device` that holds each reply `latencyMs` ms (meant for above
// 2 ms): the figure, what it costs `operation` in the chosen mode, and what helps: block
// transfers, and `setting` (boot::adapterLatencySetting), where the timer is lowered.
std::string latencyNote(const std::string& device, int latencyMs, boot::Operation operation,
                        bool block, const std::string& setting);

}  // namespace quillmar::cli
