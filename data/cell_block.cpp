#include "data/cell_block.h"

#include <algorithm>
#include <deque>
#include <utility>

#include "data/number_text.h"

namespace tol {

namespace {

// A field that a tab-separated reader would split or unquote is written quoted.
bool NeedsQuotes(std::string_view text) {
  return text.find_first_of("\t\n\r") != std::string_view::npos ||
         (!text.empty() && text.front() == '"');
}

void AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

void AppendEscapedHtml(std::string& out, std::string_view text) {
  if (text.find_first_of("&<>\"") == std::string_view::npos) {
    out += text;  // the usual cell: two numbers
    return;
  }
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
}

std::string_view CellOf(const CellTable& table, std::int32_t col, std::int32_t row,
                        std::string& scratch) {
  if (const std::string* text = table.CellInPlace(col, row)) return *text;
  scratch = table.GetCell(col, row);
  return scratch;
}

std::size_t CellCount(CellRect rect) {
  return static_cast<std::size_t>(rect.right - rect.left + 1) *
         static_cast<std::size_t>(rect.bottom - rect.top + 1);
}

// The bytes of the rectangle's texts, to size an output once.
std::size_t TextBytes(const CellTable& table, CellRect rect) {
  std::size_t bytes = 0;
  std::string scratch;
  for (std::int32_t row = rect.top; row <= rect.bottom; ++row) {
    for (std::int32_t col = rect.left; col <= rect.right; ++col) {
      bytes += CellOf(table, col, row, scratch).size();
    }
  }
  return bytes;
}

std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// At most 40 bytes of a field for a message, cut before a character, not inside one.
std::string Quoted(std::string_view text) {
  constexpr std::size_t kMost = 40;
  if (text.size() <= kMost) return "«" + std::string(text) + "»";
  std::size_t cut = kMost;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return "«" + std::string(text.substr(0, cut)) + "…»";
}

std::string Where(const BlockField& field) {
  return "Строка " + std::to_string(field.row) + ", столбец " + std::to_string(field.col) +
         " вставляемого блока";
}

[[noreturn]] void RefuseNotValues(BlockField field) {
  const std::string message = Where(field) + ": " + Quoted(field.text) + " — не два числа.";
  throw EBlockField(std::move(field), message);
}

[[noreturn]] void RefuseOutside(BlockField field) {
  const std::string message = Where(field) + " выходит за край таблицы.";
  throw EBlockField(std::move(field), message);
}

[[noreturn]] void RefuseTooLarge(BlockField field) {
  const std::string message =
      Where(field) + ": число " + Quoted(field.text) + " вне допустимого диапазона.";
  throw EBlockField(std::move(field), message);
}

// The fields of a text as views into it; a quoted field is unquoted into a text of its own,
// which the views of later fields do not move.
struct FieldScan {
  std::vector<std::string_view> fields;
  std::vector<std::size_t> rowEnds;  // one past each row's last field
  std::deque<std::string> unquoted;
};

std::size_t FieldEnd(std::string_view text, std::size_t at) {
  while (at < text.size() && text[at] != '\t' && text[at] != '\n') ++at;
  return at;
}

// A quoted field from its opening quote: the text up to the closing quote with '""' read as
// '"', then whatever follows up to the field's end. Returns where the field ends.
std::size_t ReadQuoted(std::string_view text, std::size_t at, std::string& field) {
  for (++at; at < text.size(); ++at) {
    if (text[at] != '"') {
      field += text[at];
    } else if (at + 1 < text.size() && text[at + 1] == '"') {
      field += '"';
      ++at;
    } else {
      ++at;
      break;
    }
  }
  const std::size_t end = FieldEnd(text, at);
  field.append(text.substr(at, end - at));
  return end;
}

FieldScan ScanFields(std::string_view text) {
  FieldScan scan;
  std::size_t at = 0;
  while (at < text.size()) {
    for (;;) {
      std::size_t end = 0;
      std::string_view field;
      if (text[at] == '"') {
        std::string& own = scan.unquoted.emplace_back();
        end = ReadQuoted(text, at, own);
        field = own;
      } else {
        end = FieldEnd(text, at);
        field = text.substr(at, end - at);
      }
      at = end;
      const bool rowEnds = at >= text.size() || text[at] == '\n';
      if (rowEnds && !field.empty() && field.back() == '\r') field.remove_suffix(1);
      scan.fields.push_back(field);
      if (at < text.size()) ++at;  // the tab or the line end
      if (rowEnds) break;
      if (at >= text.size()) {  // a tab ends the text: one more, empty field
        scan.fields.emplace_back();
        break;
      }
    }
    scan.rowEnds.push_back(scan.fields.size());
  }
  return scan;
}

// A field read as one word: blanks around it cut; empty when it holds no word or two.
std::string_view OneWord(std::string_view field) {
  const std::string_view word = TrimBlanks(field);
  return word.find(' ') == std::string_view::npos ? word : std::string_view();
}

// Whether word reads as a number (a "," for the point); its binary64 value, or an overflow.
enum class WordReading { kNotANumber, kNumber, kTooLarge };
WordReading ReadNumber(std::string_view word, double& value) {
  std::string dotted(word);
  std::replace(dotted.begin(), dotted.end(), ',', '.');
  const NumberResult number = NumberFromText(dotted);
  if (number.error != 0) return WordReading::kNotANumber;
  try {
    value = ToBinary64(number.value);
  } catch (const EOverflow&) {
    return WordReading::kTooLarge;
  }
  return WordReading::kNumber;
}

// The numbers of a block whose fields pair up into cells.
struct Pairs {
  std::vector<double> numbers;                         // in field order
  std::size_t firstTooLarge = std::string_view::npos;  // the first field beyond binary64
};

// Reads one pair as the save reads a cell (joined by a blank), which takes the usual two short
// numbers in one go; false unless both fields are single numbers.
bool ReadPair(std::string_view upper, std::string_view lower, std::size_t field, Pairs& pairs) {
  const std::string_view a = OneWord(upper);
  const std::string_view b = OneWord(lower);
  if (a.empty() || b.empty()) return false;
  std::string joined;
  joined.reserve(a.size() + b.size() + 1);
  joined.append(a).append(1, ' ').append(b);
  try {
    const CellValues values = ParseCellValues(joined);
    pairs.numbers[field] = values.first;
    pairs.numbers[field + 1] = values.second;
    return values.accepted;
  } catch (const EOverflow&) {
    // Which of the two is too large, and whether the other is a number at all.
    const WordReading first = ReadNumber(a, pairs.numbers[field]);
    const WordReading second = ReadNumber(b, pairs.numbers[field + 1]);
    if (first == WordReading::kNotANumber || second == WordReading::kNotANumber) return false;
    if (pairs.firstTooLarge == std::string_view::npos) {
      pairs.firstTooLarge = first == WordReading::kTooLarge ? field : field + 1;
    }
    return true;
  }
}

// Every field a single number and every row of an even count: the numbers, in field order.
bool ReadPairs(const FieldScan& scan, Pairs& pairs) {
  std::size_t rowStart = 0;
  for (const std::size_t rowEnd : scan.rowEnds) {
    if ((rowEnd - rowStart) % 2 != 0) return false;
    rowStart = rowEnd;
  }
  pairs.numbers.resize(scan.fields.size());
  for (std::size_t i = 0; i < scan.fields.size(); i += 2) {
    if (!ReadPair(scan.fields[i], scan.fields[i + 1], i, pairs)) return false;
  }
  return true;
}

std::string SingleCell(std::string_view text, std::int32_t row, std::int32_t col) {
  CellValues values{};
  try {
    values = ParseCellValues(text);
  } catch (const EOverflow&) {
    RefuseTooLarge({row, col, std::string(text)});
  }
  if (!values.accepted) RefuseNotValues({row, col, std::string(text)});
  return CellText(values.first, values.second);
}

}  // namespace

std::string BlockAsTabSeparated(const CellTable& table, CellRect rect) {
  std::string out;
  std::string scratch;
  out.reserve(TextBytes(table, rect) + CellCount(rect));
  for (std::int32_t row = rect.top; row <= rect.bottom; ++row) {
    for (std::int32_t col = rect.left; col <= rect.right; ++col) {
      if (col > rect.left) out += '\t';
      const std::string_view text = CellOf(table, col, row, scratch);
      if (NeedsQuotes(text)) {
        AppendQuoted(out, text);
      } else {
        out += text;
      }
    }
    out += '\n';
  }
  return out;
}

std::string BlockAsHtmlTable(const CellTable& table, CellRect rect) {
  constexpr std::size_t kCellTags = 9;  // <td></td>
  constexpr std::size_t kRowTags = 10;  // <tr></tr>\n
  std::string out;
  out.reserve(TextBytes(table, rect) + kCellTags * CellCount(rect) +
              kRowTags * static_cast<std::size_t>(rect.bottom - rect.top + 1) + 64);
  out += "<html><body><table>\n";
  std::string scratch;
  for (std::int32_t row = rect.top; row <= rect.bottom; ++row) {
    out += "<tr>";
    for (std::int32_t col = rect.left; col <= rect.right; ++col) {
      out += "<td>";
      AppendEscapedHtml(out, CellOf(table, col, row, scratch));
      out += "</td>";
    }
    out += "</tr>\n";
  }
  out += "</table></body></html>\n";
  return out;
}

EBlockField::EBlockField(BlockField field, const std::string& message)
    : Exception(message), field_(std::move(field)) {}

std::vector<std::vector<std::string>> SplitTabSeparated(std::string_view text) {
  const FieldScan scan = ScanFields(text);
  std::vector<std::vector<std::string>> rows;
  std::size_t rowStart = 0;
  for (const std::size_t rowEnd : scan.rowEnds) {
    rows.emplace_back(scan.fields.begin() + static_cast<std::ptrdiff_t>(rowStart),
                      scan.fields.begin() + static_cast<std::ptrdiff_t>(rowEnd));
    rowStart = rowEnd;
  }
  return rows;
}

// In reading order: a row below the room is refused at its first field, a cell right of the
// room at its first field, a bad field where it stands.
CellBlock ReadCellBlock(std::string_view text, BlockRoom room) {
  const FieldScan scan = ScanFields(text);
  Pairs pairs;
  CellBlock block;
  block.paired = !scan.fields.empty() && ReadPairs(scan, pairs);
  const std::size_t perCell = block.paired ? 2 : 1;
  block.cells.reserve(scan.fields.size() / perCell);
  block.rowLengths.reserve(scan.rowEnds.size());
  std::size_t rowStart = 0;
  for (std::size_t r = 0; r < scan.rowEnds.size(); ++r) {
    const auto row = static_cast<std::int32_t>(r) + 1;
    const std::size_t rowEnd = scan.rowEnds[r];
    if (row > room.rows) RefuseOutside({row, 1, std::string(scan.fields[rowStart])});
    std::int32_t cells = 0;
    for (std::size_t f = rowStart; f < rowEnd; f += perCell, ++cells) {
      const auto col = static_cast<std::int32_t>(f - rowStart) + 1;
      if (cells >= room.cols) RefuseOutside({row, col, std::string(scan.fields[f])});
      if (block.paired) {
        if (f == pairs.firstTooLarge || f + 1 == pairs.firstTooLarge) {
          const std::size_t bad = pairs.firstTooLarge;
          RefuseTooLarge(
              {row, static_cast<std::int32_t>(bad - rowStart) + 1, std::string(scan.fields[bad])});
        }
        block.cells.push_back(CellText(pairs.numbers[f], pairs.numbers[f + 1]));
      } else {
        block.cells.push_back(SingleCell(scan.fields[f], row, col));
      }
    }
    block.rowLengths.push_back(cells);
    rowStart = rowEnd;
  }
  return block;
}

}  // namespace tol
