// BootProgrammer's block transfers: whole pages loaded and read with one command each, when
// the boot loader offers them.
#include <algorithm>

#include "boot/boot_commands.h"
#include "boot/boot_programmer.h"
#include "image/diag_print.h"

namespace quillmar::boot {

using image::formatText;

// The answer is "Y" and the block size, high byte first. Blocks are kept within one page, so
// that a page of 0xFF can be left out and no block straddles two page writes.
void BootProgrammer::queryBlockSupport() {
  blockBytes_ = blockMode_ ? offeredBlockBytes() : 0;
}

// Asks the boot loader for block support: the block size it offers (at most a page, even), or
// 0 on any answer but "Y" with a size.
int BootProgrammer::offeredBlockBytes() {
  send(kBlockSupportQuery);
  if (receive() != kYes)
    return 0;
  const int high = receive();
  const int low = receive();
  if (high < 0 || low < 0)
    return 0;
  return std::min((high << 8 | low) & ~1, kPageBytes);
}

// Sends the same bytes as writePages, one block load per block. A block of nothing but 0xFF
// is left out once this operation has erased the unit, since the erase left it so; the next
// block sent then sets its address first.
int BootProgrammer::writeBlocks(int size) {
  const long end = std::max(size + (size & 1), 2);
  long address = 0;  // where the boot loader's address points, as a byte address
  for (long first = 0; first < end; first += blockBytes_) {
    const long count = std::min<long>(blockBytes_, end - first);
    const auto data = imageBuffer_.begin() + first;
    const bool blank = std::all_of(data, data + count, [](uint8_t b) { return b == 0xFF; });
    if (!(blank && erased_)) {
      if (address != first && !setAddress(first >> 9, (first >> 1) & 0xFF))
        return -5;
      if (!loadBlock(first, count)) {
        ui_.showMessage(formatText("block %ld (addresses 0x%04lx - 0x%04lx) failed to write",
                                   first / blockBytes_, first, first + count - 1));
        return -1;
      }
      address = first + count;
    }
    ui_.setProgressPosition(static_cast<int>((first + count) / kPageBytes));
  }
  return leaveAfterWrite(end);
}

// One block load of imageBuffer[first, first + count) into flash; true when acknowledged.
bool BootProgrammer::loadBlock(long first, long count) {
  send(kBlockLoad);
  send(static_cast<int>(count >> 8));
  send(static_cast<int>(count & 0xFF));
  send(kFlashMemory);
  for (long at = first; at < first + count; ++at)
    send(imageBuffer_[at]);
  return receive() == kAck;
}

// Reads the same bytes as readWords, one block read per block, and moves the progress bar at
// each page boundary. On a short block, blockFailure_ says which one.
bool BootProgrammer::readBlocks(int size, int& next) {
  const int end = std::max(size + (size & 1), 2);
  while (next < end) {
    const int count = std::min(blockBytes_, end - next);
    if (!readBlock(count, readbackBuffer_.data() + next)) {
      blockFailure_ = formatText("\nblock %d (addresses 0x%04x - 0x%04x) did not arrive whole",
                                 next / blockBytes_, next, next + count - 1);
      return false;
    }
    next += count;
    if (next / kPageBytes > (next - count) / kPageBytes)
      ui_.setProgressPosition(next / kPageBytes);
  }
  return true;
}

// One block read of `count` flash bytes from the current address into `into`; false as soon
// as a byte fails to arrive.
bool BootProgrammer::readBlock(int count, uint8_t* into) {
  send(kBlockRead);
  send(count >> 8);
  send(count & 0xFF);
  send(kFlashMemory);
  for (int at = 0; at < count; ++at) {
    const int value = receive();
    if (value < 0)
      return false;
    into[at] = static_cast<uint8_t>(value);
  }
  return true;
}

}  // namespace quillmar::boot
