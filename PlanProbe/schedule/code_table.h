// Helpers for the schedule language's code tables (result codes, repeat periods, sets):
// arrays of rows that each carry a `code` and a `name`. A constant takes its code from its row
// by name, so a misspelt name fails the build; a table proves its own shape in a static_assert
// with the checks below; and a table without gaps finds a code's row by subtraction.
#pragma once

#include <cstddef>
#include <string_view>

namespace quillmar::planprobe {

// The code of the row of `rows` called `name`; no constant when no row is.
template <typename Row, std::size_t N>
consteval auto codeCalled(const Row (&rows)[N], std::string_view name) {
  for (const Row& row : rows) {
    if (row.name == name) {
      return row.code;
    }
  }
  throw "no row has this name";
}

// True when `key` gives every row of `rows` a value of its own.
template <typename Row, std::size_t N, typename Key>
constexpr bool keysDiffer(const Row (&rows)[N], Key key) {
  for (std::size_t row = 0; row < N; ++row) {
    for (std::size_t other = 0; other < row; ++other) {
      if (key(rows[row]) == key(rows[other])) {
        return false;
      }
    }
  }
  return true;
}

// True when the codes of `rows` rise from row to row: by exactly one when `gapless`.
template <typename Row, std::size_t N>
constexpr bool codesRise(const Row (&rows)[N], bool gapless) {
  for (std::size_t row = 1; row < N; ++row) {
    const int step = rows[row].code - rows[row - 1].code;
    if (step < 1 || (gapless && step != 1)) {
      return false;
    }
  }
  return true;
}

// The row of `table` for `code`, found by its distance from the first; null for a code the
// table lacks. Only for a table whose codes rise without gaps.
template <typename Row, std::size_t N>
constexpr const Row* findCode(const Row (&table)[N], int code) {
  const int row = code - table[0].code;
  return row >= 0 && row < static_cast<int>(N) ? &table[row] : nullptr;
}

}  // namespace quillmar::planprobe
