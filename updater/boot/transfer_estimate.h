// How long an operation takes on the wire: every reply of the boot loader waits out a USB
// adapter's latency timer once, and every byte takes its time at the link's bit rate. Byte by
// byte an update waits for some 200000 replies, with block transfers for about 1000, so a slow
// adapter makes the difference between an hour and a minute or two.
#pragma once

#include <optional>
#include <string>

#include "boot/updater_presenter.h"

namespace quillmar::boot {

// Above this an adapter's latency timer is worth telling the user about.
inline constexpr int kQuietLatencyMs = 2;

// Replies the boot loader sends for a full `operation`: each one waits out an adapter's
// latency timer once. Byte by byte, or with block transfers of one page.
int repliesOf(Operation operation, bool block);

// The estimated duration of a full `operation` over an adapter that holds each reply
// `latencyMs`: the replies' waiting plus every byte both ways at 38400 bit/s.
long long estimatedMs(Operation operation, bool block, int latencyMs);

// The estimated duration of an update that programs `bytes` from address 0, after reading
// `copyBytes` of the unit for its kept copy (0: none), over an adapter that holds each reply
// `latencyMs`; `block` and `copyBlock` tell which of the two runs in blocks of one page.
long long estimatedUpdateMs(long bytes, bool block, long copyBytes, bool copyBlock, int latencyMs);

// A duration as the user reads it: "about 55 min", "about 1.5 min", "about 40 s".
std::string roughDuration(long long ms);

// The question to ask before `operation` byte by byte on the port labelled `portLabel`, whose
// adapter holds each reply `latencyMs`: both estimates, and whether to switch to block
// transfers. Nothing when the latency is too short to be worth asking.
std::optional<std::string> latencyAdvice(const std::string& portLabel, int latencyMs,
                                         Operation operation);

}  // namespace quillmar::boot
