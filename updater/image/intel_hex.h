// Intel HEX images: the updater's file format for flash images, in both directions.
// Records end their lines in LF (fileio saves files with the platform's line ends); the reader
// accepts LF and CR LF, lines of any length, a byte-order mark, and UTF-16 text.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

namespace quillmar::image {

// Data bytes per record in a saved image.
inline constexpr int kHexRecordSize = 32;

// One parsed Intel HEX line.
struct HexRecord {
  uint8_t length = 0;               // data bytes in the record
  uint16_t offset = 0;              // load offset
  uint8_t type = 0;                 // 0 data, 1 end of file, 2..5 address records
  std::array<uint8_t, 256> data{};  // the first `length` bytes are used; the rest stay zero
  uint8_t checksum = 0;             // as written in the line
};

// Parses `line` (its line end removed; position 0 holds the colon) into `record`. Returns the
// checksum the record should carry (0..255), or -1 when a field is missing or not hexadecimal.
// Characters after the checksum are ignored.
int parseHexRecord(HexRecord& record, std::string_view line);

// Loads the records of `in` into buffer[0..capacity). Returns one past the highest address
// loaded (0 without data records), or -1 after a message on `diag` naming `name` and the line.
// Reading stops at the end-of-file record; lines not starting with ':' are skipped. When
// `endRecord` is given it tells whether that record was reached (a file cut short lacks it).
int readIntelHex(const std::string& name, std::istream& in, uint8_t* buffer, int capacity,
                 std::ostream& diag, bool* endRecord = nullptr);

// Writes buffer[0..count) to `out` as data records of up to `recordSize` bytes, the first at
// `startAddress`, with an extended linear address record at each 64 KB boundary and an
// end-of-file record last. Returns the data bytes written, or -1 when recordSize is not 1..255.
int writeIntelHex(const uint8_t* buffer, int count, int recordSize, uint16_t startAddress,
                  std::ostream& out, std::ostream& diag);

}  // namespace quillmar::image
