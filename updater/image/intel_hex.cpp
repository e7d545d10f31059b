#include "image/intel_hex.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <istream>
#include <ostream>

#include "image/diag_print.h"
#include "image/marked_text.h"
#include "image/text_lines.h"

namespace quillmar::image {
namespace {

enum RecordType : uint8_t {
  kData = 0,
  kEndOfFile = 1,
  kSegmentAddress = 2,
  kStartSegment = 3,
  kLinearAddress = 4,
  kStartLinear = 5,
};

constexpr int64_t kSegmentSpan = 0x10000;
constexpr char kLineEnd = '\n';

// Value of one hexadecimal digit, or -1.
int hexDigit(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

// Reads the field of `width` hex digits at `pos` into `value`; false when the line ends
// inside the field or one of its characters is not a hex digit.
bool hexField(std::string_view line, std::size_t pos, std::size_t width, unsigned& value) {
  if (pos + width > line.size()) {
    return false;
  }
  value = 0;
  for (std::size_t i = pos; i < pos + width; ++i) {
    const int digit = hexDigit(line[i]);
    if (digit < 0) {
      return false;
    }
    value = value * 16 + static_cast<unsigned>(digit);
  }
  return true;
}

// The two's complement of the byte sum: what a record's checksum must be.
uint8_t checksumOf(unsigned sum) {
  return static_cast<uint8_t>(-sum & 0xFF);
}

// The 16-bit value carried by an address record (missing bytes count as zero).
int64_t addressValue(const HexRecord& record) {
  return record.data[0] * 256 + record.data[1];
}

// Appends `value` (0..255) as two upper-case hex digits.
void appendHexByte(std::string& text, unsigned value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  text += kDigits[(value >> 4) & 0xF];
  text += kDigits[value & 0xF];
}

// Writes one record: length, offset, type, data and the checksum over all of them.
void writeRecord(std::ostream& out, unsigned offset, uint8_t type, const uint8_t* data,
                 int length) {
  std::string line = ":";
  appendHexByte(line, static_cast<unsigned>(length));
  appendHexByte(line, offset >> 8);
  appendHexByte(line, offset & 0xFF);
  appendHexByte(line, type);
  unsigned sum = static_cast<unsigned>(length) + (offset >> 8) + (offset & 0xFF) + type;
  for (int i = 0; i < length; ++i) {
    appendHexByte(line, data[i]);
    sum += data[i];
  }
  appendHexByte(line, checksumOf(sum));
  line += kLineEnd;
  out << line;
}

}  // namespace

int parseHexRecord(HexRecord& record, std::string_view line) {
  unsigned length = 0;
  unsigned offset = 0;
  unsigned type = 0;
  if (line.size() < 3 || !hexField(line, 1, 2, length) || !hexField(line, 3, 4, offset) ||
      !hexField(line, 7, 2, type)) {
    return -1;
  }
  record = HexRecord{};
  record.length = static_cast<uint8_t>(length);
  record.offset = static_cast<uint16_t>(offset);
  record.type = static_cast<uint8_t>(type);
  unsigned sum = length + (offset >> 8) + (offset & 0xFF) + type;
  for (unsigned i = 0; i < length; ++i) {
    unsigned byte = 0;
    if (!hexField(line, 9 + 2 * i, 2, byte)) {
      return -1;
    }
    record.data[i] = static_cast<uint8_t>(byte);
    sum += byte;
  }
  unsigned checksum = 0;
  if (!hexField(line, 9 + 2 * length, 2, checksum)) {
    return -1;
  }
  record.checksum = static_cast<uint8_t>(checksum);
  return checksumOf(sum);
}

int readIntelHex(const std::string& name, std::istream& in, uint8_t* buffer, int capacity,
                 std::ostream& diag, bool* endRecord) {
  bool ignored = false;
  bool& ended = endRecord != nullptr ? *endRecord : ignored;
  ended = false;
  const char* file = name.c_str();
  int64_t size = 0;
  int64_t base = 0;
  int lineNumber = 0;
  MarkedTextStream text(in);
  std::string line;
  HexRecord record;
  while (readTextLine(text, line)) {
    ++lineNumber;
    if (line.empty() || line[0] != ':') {
      continue;
    }
    const int computed = parseHexRecord(record, line);
    if (computed < 0) {
      printTo(diag, "invalid record at line %d of \"%s\"\n", lineNumber, file);
      return -1;
    }
    if (computed != record.checksum) {
      printTo(diag, "ERROR: checksum mismatch at line %d of \"%s\"\n", lineNumber, file);
      printTo(diag, "checksum=0x%02x, computed checksum=0x%02x\n", record.checksum, computed);
      return -1;
    }
    switch (record.type) {
      case kData: {
        const int64_t address = base + record.offset;
        const int64_t end = address + record.length;
        if (end > capacity) {
          printTo(diag, "ERROR: address 0x%04llx out of range at line %d of %s\n",
                  static_cast<unsigned long long>(end), lineNumber, file);
          return -1;
        }
        std::copy_n(record.data.begin(), record.length, buffer + address);
        size = std::max(size, end);
        break;
      }
      case kEndOfFile:
        ended = true;
        return static_cast<int>(size);
      case kSegmentAddress:
        base = addressValue(record) * 16;
        break;
      case kLinearAddress:
        base = addressValue(record) * kSegmentSpan;
        break;
      case kStartSegment:
      case kStartLinear:
        break;
      default:
        printTo(diag, "don't know how to deal with rectype=%d at line %d of %s\n", record.type,
                lineNumber, file);
        return -1;
    }
  }
  if (text.bad()) {
    // A failed read must not pass for the end of a file that lacks its end record.
    printTo(diag, "ERROR: read error at line %d of \"%s\": %s\n", lineNumber + 1, file,
            std::strerror(errno));
    return -1;
  }
  printTo(diag, "WARNING: no end of file record found for Intel Hex file \"%s\"\n", file);
  return static_cast<int>(size);
}

int writeIntelHex(const uint8_t* buffer, int count, int recordSize, uint16_t startAddress,
                  std::ostream& out, std::ostream& diag) {
  if (recordSize > 255) {
    printTo(diag, "recsize=%d, must be < 256\n", recordSize);
    return -1;
  }
  if (recordSize < 1) {
    printTo(diag, "recsize=%d, must be > 0\n", recordSize);
    return -1;
  }
  int64_t address = startAddress;
  unsigned upper = 0;
  int total = 0;
  while (total < count) {
    const int n = static_cast<int>(
        std::min<int64_t>(std::min(recordSize, count - total), kSegmentSpan - address));
    writeRecord(out, static_cast<unsigned>(address), kData, buffer + total, n);
    address += n;
    total += n;
    if (address == kSegmentSpan) {
      ++upper;
      const uint8_t upperBytes[2] = {static_cast<uint8_t>(upper >> 8),
                                     static_cast<uint8_t>(upper & 0xFF)};
      writeRecord(out, 0, kLinearAddress, upperBytes, 2);
      address = 0;
    }
  }
  writeRecord(out, 0, kEndOfFile, nullptr, 0);
  return total;
}

}  // namespace quillmar::image
