// The boot loader's command bytes and replies, shared by the steps, the block transfers and
// the port search.
#pragma once

#include <cstdint>

namespace quillmar::boot {

inline constexpr uint8_t kEscape = 0x1B;
inline constexpr uint8_t kSoftwareId = 'S';
inline constexpr uint8_t kAutoIncrementQuery = 'a';
inline constexpr uint8_t kEnterProgramming = 'P';
inline constexpr uint8_t kChipErase = 'e';
inline constexpr uint8_t kSetAddress = 'A';
inline constexpr uint8_t kLoadLowByte = 'c';
inline constexpr uint8_t kLoadHighByte = 'C';
inline constexpr uint8_t kWritePage = 'm';
inline constexpr uint8_t kReadWord = 'R';
inline constexpr uint8_t kLeaveProgramming = 'L';
inline constexpr uint8_t kBlockSupportQuery = 'b';
inline constexpr uint8_t kBlockLoad = 'B';
inline constexpr uint8_t kBlockRead = 'g';
inline constexpr uint8_t kFlashMemory = 'F';
inline constexpr uint8_t kAck = 0x0D;
inline constexpr uint8_t kYes = 'Y';

inline constexpr int kEscapeCount = 4;
inline constexpr const char* kSignature = "AVRBOOT";

}  // namespace quillmar::boot
