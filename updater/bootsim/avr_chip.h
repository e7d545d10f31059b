// AvrChip: an emulated ATmega1284P (simavr) that starts at the boot loader placed in its flash.
// Its UART is a pair of byte streams: bytes offered to the receiver as it has room, and the
// bytes the chip sends. The chip counts as waiting when it polls an empty receiver with
// nothing left to send and nothing on its way in, which lets the host sleep until input comes.
// Two things the emulator's flash forgives are made as on the real chip: a page buffer word
// that was not loaded programs as 0xFFFF, and a page write only clears bits (erase first).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "unit/boot_loader_image.h"

struct avr_t;
struct avr_irq_t;
struct avr_flash_t;

namespace quillmar::bootsim {

class AvrChip {
 public:
  // The chip's clock, and so the time one of its cycles takes.
  static constexpr uint32_t kClockHz = 16'000'000;

  // A chip with `flash` (the whole 128 KiB) and `loader` over its part of it, reset to the
  // loader's address. Null, with `error` set, when the emulator has no such chip.
  static std::unique_ptr<AvrChip> create(std::span<const uint8_t> flash,
                                         const unit::BootLoaderImage& loader, std::string& error);
  ~AvrChip();
  AvrChip(const AvrChip&) = delete;
  AvrChip& operator=(const AvrChip&) = delete;

  // Hands `byte` to the UART's receiver; false (byte not taken) while its buffer is full.
  bool offer(uint8_t byte);
  // Runs until the chip waits for input, stops, reaches `cycleLimit`, has taken `takeLimit`
  // bytes in all, or has run `instructions`.
  void run(int instructions, uint64_t cycleLimit, uint64_t takeLimit);
  // True while the chip polls an empty receiver with nothing offered and nothing to send.
  bool waiting() const;
  // False once the emulated program has stopped or crashed.
  bool alive() const;
  // Bytes the program has read from the receiver, and the cycle it read the last one at.
  uint64_t bytesTaken() const { return taken_; }
  uint64_t lastTakenCycle() const { return takenCycle_; }
  uint64_t cycle() const;
  // The bytes sent since the last call.
  std::vector<uint8_t> takeOutput();
  // The whole flash as it is now.
  std::span<const uint8_t> flash() const;

 private:
  explicit AvrChip(avr_t* avr);
  void hookUart();
  static void onOutput(avr_irq_t* irq, uint32_t value, void* param);
  static void onReceiverFull(avr_irq_t* irq, uint32_t value, void* param);
  static uint8_t onStatusRead(avr_t* avr, uint16_t address, void* param);
  static uint8_t onDataRead(avr_t* avr, uint16_t address, void* param);
  static void onSpmControlWrite(avr_t* avr, uint16_t address, uint8_t value, void* param);
  void hookFlash();

  avr_t* avr_;
  avr_irq_t* input_ = nullptr;
  // The UART's own read handlers, called first by the hooks above.
  uint8_t (*statusRead_)(avr_t*, uint16_t, void*) = nullptr;
  void* statusParam_ = nullptr;
  uint8_t (*dataRead_)(avr_t*, uint16_t, void*) = nullptr;
  void* dataParam_ = nullptr;
  void (*spmControlWrite_)(avr_t*, uint16_t, uint8_t, void*) = nullptr;
  void* spmControlParam_ = nullptr;
  avr_flash_t* flashUnit_ = nullptr;
  std::vector<uint8_t> output_;
  bool receiverFull_ = false;
  uint64_t offered_ = 0;
  uint64_t taken_ = 0;
  uint64_t takenCycle_ = 0;
  int idlePolls_ = 0;  // consecutive status reads that found the chip waiting
};

}  // namespace quillmar::bootsim
