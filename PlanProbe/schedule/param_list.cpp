// Data parameter lists: the text after "1:" .. "4:" on a schedule line, turned into the bytes
// the unit sends or uses as numbers.
//
// The list is read once, its bytes gathered as they come and copied into a buffer of the
// exact size at the end. The file is never read twice, and memory stays proportional to the
// list itself however many chunks it spans.
#include <algorithm>
#include <new>
#include <vector>

#include "schedule/reader.h"

namespace quillmar::planprobe {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Number items beyond this are stored as this; one past it marks saturation while reading.
constexpr std::uint32_t kLargestValue = 65535;

bool isDigit(int c) {
  return c >= '0' && c <= '9';
}

// The value of `c` as a digit of `base` (10 or 16), or -1.
int digitValue(int c, std::uint32_t base) {
  if (isDigit(c)) {
    return c - '0';
  }
  if (base == 16 && c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (base == 16 && c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

// The byte a backslash escape stands for, by the letter after the backslash (either case),
// or -1 when that character is no escape.
int escapedByte(int c) {
  switch (c) {
    case '"':
      return '"';
    case '\\':
      return '\\';
    case 'b':
    case 'B':
      return 7;  // bell, as the unit's firmware reads it
    case 'n':
    case 'N':
      return '\n';
    case 'r':
    case 'R':
      return '\r';
    case 't':
    case 'T':
      return '\t';
    default:
      return -1;
  }
}

// Adds the digits of `base` at the cursor to `value`, saturating above kLargestValue.
ResultCode readDigits(ScheduleReader& reader, std::uint32_t base, std::uint32_t& value) {
  for (;;) {
    if (ResultCode rc = reader.fill(); rc != SUCCESS) {
      return rc;
    }
    const int digit = digitValue(reader.peek(), base);
    if (digit < 0) {
      return SUCCESS;
    }
    value = std::min(value * base + static_cast<std::uint32_t>(digit), kLargestValue + 1);
    reader.advance();
  }
}

// Appends a number item: one byte below 256, else two bytes, high byte first.
void storeNumber(std::uint32_t value, Bytes& out) {
  value = std::min(value, kLargestValue);
  if (value >= 256) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
  }
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

// Reads a text item from its opening quote through its closing quote. A text item that the
// end of the file cuts off ends there; a line feed inside it is kept.
ResultCode readTextItem(ScheduleReader& reader, Bytes& out) {
  reader.advance();
  for (;;) {
    if (ResultCode rc = reader.fill(); rc != SUCCESS) {
      return rc;
    }
    int c = reader.peek();
    if (c == ScheduleReader::kEnd || c == '"') {
      reader.advance();
      return SUCCESS;
    }
    if (c == '\r') {
      return BAD_DATA_PARAM;
    }
    reader.advance();
    if (c == '\\') {
      if (ResultCode rc = reader.fill(); rc != SUCCESS) {
        return rc;
      }
      c = escapedByte(reader.peek());
      if (c < 0) {
        return BAD_DATA_PARAM;
      }
      reader.advance();
    }
    out.push_back(static_cast<std::uint8_t>(c));
  }
}

// Reads a hexadecimal item from its h. The h must be followed by something other than a blank
// or the end of the file; a non-hexadecimal character there gives the value 0.
ResultCode readHexItem(ScheduleReader& reader, Bytes& out) {
  reader.advance();
  if (ResultCode rc = reader.fill(); rc != SUCCESS) {
    return rc;
  }
  if (reader.peek() == ' ' || reader.peek() == ScheduleReader::kEnd) {
    return BAD_DATA_PARAM;
  }
  std::uint32_t value = 0;
  if (ResultCode rc = readDigits(reader, 16, value); rc != SUCCESS) {
    return rc;
  }
  storeNumber(value, out);
  return SUCCESS;
}

// Reads a decimal item, or recognises the label of the next parameter: a digit 1..4 directly
// followed by a colon. For a label, `label` receives the digit and the cursor stays on the
// colon.
ResultCode readDecimalItem(ScheduleReader& reader, Bytes& out, char& label) {
  const int first = reader.peek();
  reader.advance();
  if (ResultCode rc = reader.fill(); rc != SUCCESS) {
    return rc;
  }
  if (first >= '1' && first <= '4' && reader.peek() == ':') {
    label = static_cast<char>(first);
    return SUCCESS;
  }
  std::uint32_t value = static_cast<std::uint32_t>(first - '0');
  if (ResultCode rc = readDigits(reader, 10, value); rc != SUCCESS) {
    return rc;
  }
  storeNumber(value, out);
  return SUCCESS;
}

// Gathers the items of the list at the cursor into `out`.
ResultCode readItems(ScheduleReader& reader, Bytes& out, char& fieldLetter) {
  for (;;) {
    if (ResultCode rc = reader.fill(); rc != SUCCESS) {
      return rc;
    }
    const int c = reader.peek();
    ResultCode rc = SUCCESS;
    switch (c) {
      case ' ':
      case ',':
        reader.advance();
        continue;
      case ScheduleReader::kEnd:
      case ';':
      case '\n':
      case '\r':
      case '\t':
        return SUCCESS;
      case '"':
        rc = readTextItem(reader, out);
        break;
      case 'h':
      case 'H':
        rc = readHexItem(reader, out);
        break;
      default:
        if (!isDigit(c)) {
          return BAD_DATA_PARAM;
        }
        char label = 0;
        rc = readDecimalItem(reader, out, label);
        if (rc == SUCCESS && label != 0) {
          fieldLetter = label;
          return SUCCESS;
        }
        break;
    }
    if (rc != SUCCESS) {
      return rc;
    }
  }
}

}  // namespace

ResultCode ScheduleReader::readParams(ParamBuffer& slot, char& fieldLetter) {
  try {
    Bytes bytes;
    if (ResultCode rc = readItems(*this, bytes, fieldLetter); rc != SUCCESS) {
      return rc;
    }
    ParamBuffer exact(bytes.size() + 1, 0);
    std::copy(bytes.begin(), bytes.end(), exact.begin());
    slot = std::move(exact);
    return SUCCESS;
  } catch (const std::bad_alloc&) {
    return MALLOC_FAILURE;
  }
}

}  // namespace quillmar::planprobe
