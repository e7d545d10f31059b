// AvrChip on simavr: the chip, its flash, and hooks on its UART's registers and signals.
#include "bootsim/avr_chip.h"

#include <avr_flash.h>
#include <avr_uart.h>
#include <sim_avr.h>
#include <sim_io.h>
#include <sim_irq.h>

#include <algorithm>
#include <cstring>
#include <utility>

// The emulator frees neither the chip's record nor its signal table when it terminates a chip;
// under LeakSanitizer the record is marked as meant to live on, so nothing reachable from it is
// reported.
#if defined(__SANITIZE_ADDRESS__)
#define QUILLMAR_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILLMAR_LEAK_CHECKED 1
#endif
#endif
#ifdef QUILLMAR_LEAK_CHECKED
#include <sanitizer/lsan_interface.h>
#endif

namespace quillmar::bootsim {
namespace {

// UART0's status and data registers (data addresses) and the status bits the hooks look at.
constexpr uint16_t kStatusRegister = 0xC0;  // UCSR0A
constexpr uint16_t kDataRegister = 0xC6;    // UDR0
constexpr uint8_t kReceived = 0x80;         // RXC0
constexpr uint8_t kSendReady = 0x20;        // UDRE0
// The bits of SPMCSR that start a page write.
constexpr uint8_t kPageWrite = 0x05;  // PGWRT | SPMEN
constexpr uint8_t kSpmOperation = 0x1F;
// Status reads in a row that find nothing to do before the chip counts as waiting: enough to
// get past the few reads between two bytes of one reply.
constexpr int kWaitingPolls = 16;

}  // namespace

AvrChip::AvrChip(avr_t* avr) : avr_(avr) {}

AvrChip::~AvrChip() {
  avr_terminate(avr_);
}

std::unique_ptr<AvrChip> AvrChip::create(std::span<const uint8_t> flash,
                                         const unit::BootLoaderImage& loader, std::string& error) {
  avr_t* avr = avr_make_mcu_by_name("atmega1284p");
  if (avr == nullptr || avr_init(avr) != 0) {
    error = "the emulator has no ATmega1284P";
    return nullptr;
  }
#ifdef QUILLMAR_LEAK_CHECKED
  __lsan_ignore_object(avr);
#endif
  std::unique_ptr<AvrChip> chip(new AvrChip(avr));
  avr->log = LOG_ERROR;
  avr->frequency = kClockHz;
  const size_t size = std::min<size_t>(flash.size(), avr->flashend + 1);
  std::copy_n(flash.begin(), size, avr->flash);
  std::copy_n(loader.bytes, loader.size, avr->flash + loader.address);
  avr->codeend = avr->flashend;
  avr->reset_pc = loader.address;  // the boot reset vector
  avr_reset(avr);
  chip->hookUart();
  chip->hookFlash();
  if (chip->flashUnit_ == nullptr) {
    error = "the emulator's ATmega1284P cannot program its flash";
    return nullptr;
  }
  return chip;
}

// Turns off the UART's console printing and its pause on every poll, and listens to its
// output and its full-receiver signal; wraps the reads of its status and data registers.
void AvrChip::hookUart() {
  uint32_t flags = 0;
  avr_ioctl(avr_, AVR_IOCTL_UART_SET_FLAGS('0'), &flags);
  input_ = avr_io_getirq(avr_, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_INPUT);
  avr_irq_register_notify(avr_io_getirq(avr_, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_OUTPUT),
                          onOutput, this);
  avr_irq_register_notify(avr_io_getirq(avr_, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_OUT_XOFF),
                          onReceiverFull, this);
  auto& status = avr_->io[AVR_DATA_TO_IO(kStatusRegister)].r;
  statusRead_ = status.c;
  statusParam_ = status.param;
  status = {this, onStatusRead};
  auto& data = avr_->io[AVR_DATA_TO_IO(kDataRegister)].r;
  dataRead_ = data.c;
  dataParam_ = data.param;
  data = {this, onDataRead};
}

// Finds the chip's self-programming unit and wraps the writes of its control register, which
// come just before each SPM instruction.
void AvrChip::hookFlash() {
  for (avr_io_t* io = avr_->io_port; io != nullptr; io = io->next) {
    if (std::strcmp(io->kind, "flash") == 0) {
      flashUnit_ = reinterpret_cast<avr_flash_t*>(io);
    }
  }
  if (flashUnit_ == nullptr) {
    return;
  }
  auto& control = avr_->io[AVR_DATA_TO_IO(flashUnit_->r_spm)].w;
  spmControlWrite_ = control.c;
  spmControlParam_ = control.param;
  control = {this, onSpmControlWrite};
}

// Before a page write: words of the page buffer that were not loaded read 0xFFFF (the emulator
// leaves 0x00FF), and each word is ANDed with the flash word it replaces, since programming
// can only clear bits. Z and RAMPZ already point at the page.
void AvrChip::onSpmControlWrite(avr_t* avr, uint16_t address, uint8_t value, void* param) {
  auto* chip = static_cast<AvrChip*>(param);
  if ((value & kSpmOperation) == kPageWrite) {
    const avr_flash_t* unit = chip->flashUnit_;
    const uint32_t words = unit->spm_pagesize / 2;
    uint32_t page = avr->data[R_ZL] | avr->data[R_ZH] << 8 | avr->data[avr->rampz] << 16;
    page = page / unit->spm_pagesize * unit->spm_pagesize;
    for (uint32_t at = 0; at < words; ++at) {
      uint16_t word = unit->tmppage_used[at] ? unit->tmppage[at] : 0xFFFF;
      word &= avr->flash[page + 2 * at] | avr->flash[page + 2 * at + 1] << 8;
      unit->tmppage[at] = word;
    }
  }
  chip->spmControlWrite_(avr, address, value, chip->spmControlParam_);
}

void AvrChip::onOutput(avr_irq_t*, uint32_t value, void* param) {
  static_cast<AvrChip*>(param)->output_.push_back(static_cast<uint8_t>(value));
}

void AvrChip::onReceiverFull(avr_irq_t*, uint32_t value, void* param) {
  static_cast<AvrChip*>(param)->receiverFull_ = value != 0;
}

uint8_t AvrChip::onStatusRead(avr_t* avr, uint16_t address, void* param) {
  auto* chip = static_cast<AvrChip*>(param);
  const uint8_t value = chip->statusRead_(avr, address, chip->statusParam_);
  const bool idle =
      (value & kReceived) == 0 && (value & kSendReady) != 0 && chip->offered_ == chip->taken_;
  chip->idlePolls_ = idle ? chip->idlePolls_ + 1 : 0;
  return value;
}

uint8_t AvrChip::onDataRead(avr_t* avr, uint16_t address, void* param) {
  auto* chip = static_cast<AvrChip*>(param);
  ++chip->taken_;
  chip->takenCycle_ = avr->cycle;
  return chip->dataRead_(avr, address, chip->dataParam_);
}

bool AvrChip::offer(uint8_t byte) {
  if (receiverFull_) {
    return false;
  }
  avr_raise_irq(input_, byte);
  ++offered_;
  idlePolls_ = 0;
  return true;
}

void AvrChip::run(int instructions, uint64_t cycleLimit, uint64_t takeLimit) {
  for (int i = 0;
       i < instructions && alive() && !waiting() && avr_->cycle < cycleLimit && taken_ < takeLimit;
       ++i) {
    avr_run(avr_);
  }
}

bool AvrChip::waiting() const {
  return idlePolls_ >= kWaitingPolls;
}

bool AvrChip::alive() const {
  return avr_->state != cpu_Done && avr_->state != cpu_Crashed;
}

uint64_t AvrChip::cycle() const {
  return avr_->cycle;
}

std::vector<uint8_t> AvrChip::takeOutput() {
  return std::exchange(output_, {});
}

std::span<const uint8_t> AvrChip::flash() const {
  return {avr_->flash, avr_->flashend + 1};
}

}  // namespace quillmar::bootsim
