// FlashMemory: page-buffered programming of the simulated flash.
#include "bootsim/flash_memory.h"

#include <algorithm>

namespace quillmar::bootsim {

FlashMemory::FlashMemory(std::optional<uint32_t> stuckAddress)
    : bytes_(kFlashBytes, 0xFF), eeprom_(kEepromBytes, 0xFF), stuckAddress_(stuckAddress) {
  pageBuffer_.fill(0xFFFF);
}

uint16_t FlashMemory::readWord(uint32_t wordAddress) const {
  uint32_t at = (wordAddress % kFlashWords) * 2;
  return static_cast<uint16_t>(bytes_[at] | (bytes_[at + 1] << 8));
}

void FlashMemory::fillPageBuffer(uint32_t wordAddress, uint16_t value) {
  pageBuffer_[wordAddress % kPageWords] = value;
}

void FlashMemory::writePage(uint32_t wordAddress) {
  uint32_t pageStart = (wordAddress % kFlashWords) / kPageWords * kPageBytes;
  if (pageStart + kPageBytes <= kAppRegionBytes) {
    for (uint32_t word = 0; word < kPageWords; ++word) {
      bytes_[pageStart + 2 * word] &= static_cast<uint8_t>(pageBuffer_[word]);
      bytes_[pageStart + 2 * word + 1] &= static_cast<uint8_t>(pageBuffer_[word] >> 8);
    }
    if (stuckAddress_ && *stuckAddress_ >= pageStart && *stuckAddress_ < pageStart + kPageBytes) {
      bytes_[*stuckAddress_] ^= 0x01;
    }
  }
  pageBuffer_.fill(0xFFFF);
}

void FlashMemory::eraseApplication() {
  std::fill(bytes_.begin(), bytes_.begin() + kAppRegionBytes, 0xFF);
}

}  // namespace quillmar::bootsim
