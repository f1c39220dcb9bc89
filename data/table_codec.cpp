#include "data/table_codec.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <utility>

#include "data/errors.h"
#include "data/number_text.h"
#include "data/win1251.h"

namespace tol {
namespace {

static_assert(std::endian::native == std::endian::little ||
              std::endian::native == std::endian::big);

template <typename T>
T LoadLittleEndian(const char* bytes) {
  unsigned char ordered[sizeof(T)];
  std::memcpy(ordered, bytes, sizeof(T));
  if constexpr (std::endian::native == std::endian::big) {
    for (std::size_t i = 0; i < sizeof(T) / 2; ++i)
      std::swap(ordered[i], ordered[sizeof(T) - 1 - i]);
  }
  T value;
  std::memcpy(&value, ordered, sizeof(T));
  return value;
}

template <typename T>
void StoreLittleEndian(char* bytes, T value) {
  std::memcpy(bytes, &value, sizeof(T));
  if constexpr (std::endian::native == std::endian::big) {
    for (std::size_t i = 0; i < sizeof(T) / 2; ++i) std::swap(bytes[i], bytes[sizeof(T) - 1 - i]);
  }
}

// Exponent all ones, fraction not zero, quiet bit (the top fraction bit) clear. Checked on the
// raw bits because passing the value through extended precision would quieten it.
bool IsSignallingNaN(std::uint64_t bits) {
  constexpr std::uint64_t kExponent = 0x7FF0000000000000;
  constexpr std::uint64_t kQuietBit = 0x0008000000000000;
  constexpr std::uint64_t kFraction = 0x000FFFFFFFFFFFFF;
  return (bits & kExponent) == kExponent && (bits & kQuietBit) == 0 && (bits & kFraction) != 0;
}

double LoadNumber(const char* bytes) {
  const auto bits = LoadLittleEndian<std::uint64_t>(bytes);
  if (IsSignallingNaN(bits)) throw EInvalidOp();
  return std::bit_cast<double>(bits);
}

// Hands the text of a cell to read, in place where the table allows, else as a copy.
template <typename Read>
auto ReadCell(const CellTable& table, std::int32_t col, std::int32_t row, Read read) {
  if (const std::string* text = table.CellInPlace(col, row)) return read(*text);
  return read(table.GetCell(col, row));
}

// Word n of text with its first "," read as ".".
NumberResult WordReading(const std::string& text, std::int32_t n) {
  std::string word = ExtractWord(text, n);
  if (const std::size_t comma = word.find(','); comma != std::string::npos) word[comma] = '.';
  return NumberFromText(word);
}

// WordReading rounded to binary64; the parser's error code is not looked at, since the texts
// were accepted before the save.
double WordNumber(const std::string& text, std::int32_t n) {
  return ToBinary64(WordReading(text, n).value);
}

struct ValuePair {
  double first;
  double second;
};

// Words 1 and 2 of a value cell as WordNumber reads them, in one pass over the cell. The cell
// check reads every "," as the point where WordNumber turns only the first one into "."; the
// values agree all the same: after the first point, a second point or comma stops the reading
// at the same character either way, and the value is then the mantissa read up to there.
ValuePair CellNumbers(const std::string& cell) {
  const CellValues values = ParseCellValues(cell);
  return {values.first, values.second};
}

}  // namespace

std::optional<std::uint64_t> LayoutSize(std::int32_t n, std::int32_t m) {
  if (n < 0 || m < 0) return std::nullopt;
  // N and M are below 2^31, so 16NM < 2^66 and the sum fits easily in 128 bits.
  const auto size = static_cast<unsigned __int128>(kCountsSize) +
                    8u * static_cast<unsigned __int128>(n) +
                    6u * static_cast<unsigned __int128>(m) +
                    16u * static_cast<unsigned __int128>(n) * static_cast<unsigned __int128>(m);
  if (size > std::numeric_limits<std::uint64_t>::max()) return std::nullopt;
  return static_cast<std::uint64_t>(size);
}

bool LabelBoundAccepted(const std::string& label) {
  const NumberResult bound = WordReading(label, 2);
  if (bound.error != 0) return false;
  (void)ToBinary64(bound.value);
  return true;
}

std::string NameText(const char* field) {
  const std::size_t length = strnlen(field, kNameSize);
  std::string text = Win1251ToUtf8(std::string_view(field, length));
  text.append(kNameSize - length, ' ');
  return text;
}

void DecodeTableBody(CellTable& table, std::int32_t n, std::int32_t m, const char* body,
                     LoadedCellSink* sink) {
  const char* bound = body;
  for (std::int32_t r = 1; r <= n; ++r, bound += 8)
    table.SetCell(0, r, IntervalLabel(LoadNumber(bound)));
  const char* name = bound;
  for (std::int32_t c = 1; c <= m; ++c, name += kNameSize) table.SetCell(c, 0, NameText(name));
  const char* pair = name;
  if (sink == nullptr) {
    for (std::int32_t c = 1; c <= m; ++c) {
      for (std::int32_t r = 1; r <= n; ++r, pair += 16) {
        const double first = LoadNumber(pair);
        const double second = LoadNumber(pair + 8);
        table.SetCell(c, r, CellText(first, second));
      }
    }
    return;
  }
  for (std::int32_t c = 1; c <= m; ++c) {
    for (std::int32_t r = 1; r <= n; ++r, pair += 16) {
      const double first = LoadNumber(pair);
      const double second = LoadNumber(pair + 8);
      table.SetCell(c, r, CellText(first, second));
      // Both tests run, so that their divisions overlap.
      if (!(CellFormReadsBack(first) & CellFormReadsBack(second))) {
        sink->CellRounded(c, r, first, second);
      }
      if (first < second) sink->CellUpperBelowLower(c, r);
    }
  }
}

std::string EncodeTable(const CellTable& table) {
  const std::int32_t n = std::max(table.RowCount() - 1, 0);
  const std::int32_t m = std::max(table.ColCount() - 1, 0);
  const std::optional<std::uint64_t> size = LayoutSize(n, m);
  std::string bytes;
  if (!size || *size > bytes.max_size()) throw EIntOverflow();
  bytes.resize(*size);
  char* out = bytes.data();
  StoreLittleEndian(out, n);
  StoreLittleEndian(out + 4, m);
  out += kCountsSize;
  for (std::int32_t r = 1; r <= n; ++r, out += 8)
    StoreLittleEndian(out, WordNumber(table.GetCell(0, r), 2));
  for (std::int32_t c = 1; c <= m; ++c, out += kNameSize) {
    std::string name = Utf8ToWin1251(table.GetCell(c, 0), kNameSize);
    name.resize(kNameSize, ' ');
    std::memcpy(out, name.data(), kNameSize);
  }
  for (std::int32_t c = 1; c <= m; ++c) {
    for (std::int32_t r = 1; r <= n; ++r, out += 16) {
      const ValuePair pair = ReadCell(table, c, r, CellNumbers);
      StoreLittleEndian(out, pair.first);
      StoreLittleEndian(out + 8, pair.second);
    }
  }
  return bytes;
}

}  // namespace tol
