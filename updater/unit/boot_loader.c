/* The unit's resident boot loader, as machine code for its ATmega1284P (128 KiB of flash in
 * 256-byte pages). It sits in the top 512 bytes of flash, from byte address 0x1FE00, and
 * answers the self-programming boot-loader command set on the chip's UART at 38400 bit/s, 8N1:
 * the identifier, auto-increment, programming mode, chip erase of the application region
 * (0 to 0x1FDFF), set address, low and high byte through the chip's page buffer, page write,
 * read, and the block commands on flash ("b", "B", "g"); anything else is answered "?". It
 * never erases or writes its own pages: a page write there is answered "?". Built without the
 * C start-up code, so it uses no globals and sets up the one register the compiler needs. */
#include <avr/boot.h>
#include <avr/io.h>
#include <stdint.h>

#define ACK '\r'
#define UNKNOWN '?'
/* First word address of the boot loader's own pages; everything below is the application. */
#define LOADER_WORD 0xFF00u
#define PAGE_WORDS (SPM_PAGESIZE / 2)

/* Waits for and returns the next byte from the line. */
static uint8_t receive(void) {
  while (!(UCSR0A & _BV(RXC0))) {
  }
  return UDR0;
}

/* Sends one byte on the line. */
static void send(uint8_t byte) {
  while (!(UCSR0A & _BV(UDRE0))) {
  }
  UDR0 = byte;
}

/* One self-programming operation on the page, or the page buffer slot, of word address `word`:
 * `op` is avr-libc's __BOOT_PAGE_FILL (with `data`), __BOOT_PAGE_ERASE or __BOOT_PAGE_WRITE.
 * After an erase or a write it waits until the flash is no longer busy and makes the application
 * section readable again. Flash reaches past 64 KiB, hence the far (RAMPZ) byte address. The
 * erase and the write share one instruction sequence, as avr-libc's macros would repeat it. */
__attribute__((noinline)) static void selfProgram(uint16_t word, uint8_t op, uint16_t data) {
  uint32_t address = (uint32_t)word << 1;
  if (op == __BOOT_PAGE_FILL) {
    boot_page_fill(address, data);
    return;
  }
  __asm__ volatile(
      "movw r30, %A2\n\t"
      "sts %1, %C2\n\t"
      "sts %0, %3\n\t"
      "spm"
      :
      : "i"(_SFR_MEM_ADDR(__SPM_REG)), "i"(_SFR_MEM_ADDR(RAMPZ)), "r"(address), "r"(op)
      : "r30", "r31");
  boot_spm_busy_wait();
  boot_rww_enable();
}

/* The low (`high` 0) or high byte of the flash word at word address `word`. */
__attribute__((noinline)) static uint8_t readByte(uint16_t word, uint8_t high) {
  RAMPZ = word >> 15;
  uint8_t value;
  __asm__ volatile("elpm %0, Z" : "=r"(value) : "z"((uint16_t)(word << 1 | high)));
  return value;
}

/* Programs the page that holds word `word` from the page buffer and makes the application
 * section readable again; ACK, or UNKNOWN for one of the boot loader's own pages. */
__attribute__((noinline)) static uint8_t writePage(uint16_t word) {
  if (word >= LOADER_WORD)
    return UNKNOWN;
  selfProgram(word, __BOOT_PAGE_WRITE, 0);
  return ACK;
}

/* Puts `value` into the page buffer slot of word `word`. */
static void fillWord(uint16_t word, uint16_t value) {
  selfProgram(word, __BOOT_PAGE_FILL, value);
}

/* Erases every page of the application region, never the boot loader's. */
static void eraseApplication(void) {
  for (uint16_t word = 0; word < LOADER_WORD; word += PAGE_WORDS)
    selfProgram(word, __BOOT_PAGE_ERASE, 0);
}

/* The entry at the boot address: the start-up code is left out, so this runs first. */
__attribute__((noreturn, used, section(".init9"))) void boot(void) {
  __asm__ volatile("clr __zero_reg__");
  UBRR0L = F_CPU / 16 / 38400 - 1;
  UCSR0B = _BV(RXEN0) | _BV(TXEN0);
  uint16_t word = 0;
  uint8_t low = 0xFF;
  for (;;) {
    uint8_t command = receive();
    uint8_t reply = ACK;
    if (command == 0x1B)
      continue;
    if (command == 'S') {
      send('A'); /* a string would need the C start-up code to copy it */
      send('V');
      send('R');
      send('B');
      send('O');
      send('O');
      reply = 'T';
    } else if (command == 'a') {
      reply = 'Y';
    } else if (command == 'b') {
      send('Y');
      send(SPM_PAGESIZE >> 8);
      reply = SPM_PAGESIZE & 0xFF;
    } else if (command == 'A') {
      word = (uint16_t)receive() << 8;
      word |= receive();
    } else if (command == 'e') {
      eraseApplication();
    } else if (command == 'c') {
      low = receive();
    } else if (command == 'C') {
      fillWord(word++, (uint16_t)receive() << 8 | low);
    } else if (command == 'm') {
      reply = writePage(word);
    } else if (command == 'R') {
      send(readByte(word, 1));
      reply = readByte(word++, 0);
    } else if (command == 'B' || command == 'g') {
      /* Block load or read on flash, "size" bytes from the current word on: a load fills the
       * page buffer as "c" and "C" do and then writes the page it ended in; a read sends each
       * word low byte first. Another memory type is refused before any data. */
      uint16_t size = (uint16_t)receive() << 8;
      size |= receive();
      if (receive() != 'F') {
        reply = UNKNOWN;
      } else if (command == 'g') {
        for (uint16_t at = 0; at < size; ++at) {
          send(readByte(word, at & 1));
          word += at & 1;
        }
        continue;
      } else {
        for (uint16_t at = 0; at < size; ++at) {
          uint8_t byte = receive();
          if (at & 1)
            fillWord(word++, (uint16_t)byte << 8 | low);
          low = byte;
        }
        reply = writePage(word - 1);
      }
    } else if (command != 'P' && command != 'L') {
      reply = UNKNOWN;
    }
    send(reply);
  }
}
