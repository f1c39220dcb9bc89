#include "tools/shortest_numbers.h"

#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "data/table_codec.h"

namespace tol {
namespace {

double NumberAt(std::string_view bytes, std::uint64_t offset) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, bytes.data() + offset, sizeof bits);
  if constexpr (std::endian::native == std::endian::big) bits = __builtin_bswap64(bits);
  return std::bit_cast<double>(bits);
}

}  // namespace

std::string ShortestText(double v) {
  char text[32];  // the longest shortest form, "-2.2250738585072014e-308", has 24 characters
  const std::to_chars_result end = std::to_chars(text, text + sizeof text, v);
  return std::string(text, end.ptr);
}

void UseShortestNumbers(CellTable& table, std::string_view file_bytes) {
  const auto n = static_cast<std::uint64_t>(table.RowCount() - 1);
  const auto m = static_cast<std::uint64_t>(table.ColCount() - 1);
  const std::uint64_t bounds = kCountsSize;
  const std::uint64_t values = bounds + 8 * n + kNameSize * m;
  for (std::uint64_t r = 1; r <= n; ++r) {
    table.SetCell(0, static_cast<std::int32_t>(r),
                  "До " + ShortestText(NumberAt(file_bytes, bounds + 8 * (r - 1))));
  }
  for (std::uint64_t c = 1; c <= m; ++c) {
    for (std::uint64_t r = 1; r <= n; ++r) {
      const std::uint64_t pair = values + 16 * ((c - 1) * n + (r - 1));
      table.SetCell(static_cast<std::int32_t>(c), static_cast<std::int32_t>(r),
                    ShortestText(NumberAt(file_bytes, pair)) + " " +
                        ShortestText(NumberAt(file_bytes, pair + 8)));
    }
  }
}

}  // namespace tol
