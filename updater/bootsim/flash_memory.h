// FlashMemory: the simulated unit's program flash (128 KiB of 16-bit words in 256-byte pages)
// with its page buffer, and its EEPROM. Programming behaves like real flash: a page write can
// only clear bits, so a page must be erased before it takes new data.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quillmar::bootsim {

inline constexpr uint32_t kFlashBytes = 128 * 1024;
inline constexpr uint32_t kFlashWords = kFlashBytes / 2;
inline constexpr uint32_t kPageBytes = 256;
inline constexpr uint32_t kPageWords = kPageBytes / 2;
// Everything below the boot loader's own section; erase and page writes touch only this.
inline constexpr uint32_t kAppRegionBytes = 130560;
inline constexpr uint32_t kEepromBytes = 4096;

class FlashMemory {
 public:
  // An erased part. `stuckAddress` names a byte that always stores with bit 0 flipped.
  explicit FlashMemory(std::optional<uint32_t> stuckAddress = std::nullopt);

  // The whole flash by byte address (the low byte of word k at 2k); writable for loading.
  std::span<uint8_t> bytes() { return bytes_; }
  std::span<const uint8_t> bytes() const { return bytes_; }
  std::span<uint8_t> eeprom() { return eeprom_; }
  std::span<const uint8_t> eeprom() const { return eeprom_; }

  // The word at `wordAddress` (taken modulo the flash size).
  uint16_t readWord(uint32_t wordAddress) const;
  // Puts `value` into the page buffer slot that `wordAddress` falls on.
  void fillPageBuffer(uint32_t wordAddress, uint16_t value);
  // Programs the page holding `wordAddress` from the page buffer, then empties the buffer.
  // Pages outside the application region are left alone (the boot section protects itself).
  void writePage(uint32_t wordAddress);
  // Erases the application region to 0xFF.
  void eraseApplication();

 private:
  std::vector<uint8_t> bytes_;
  std::vector<uint8_t> eeprom_;
  std::array<uint16_t, kPageWords> pageBuffer_;
  std::optional<uint32_t> stuckAddress_;
};

}  // namespace quillmar::bootsim
