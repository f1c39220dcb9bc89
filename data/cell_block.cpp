#include "data/cell_block.h"

#include <algorithm>
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

std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The field as one number word with "." for a decimal comma, or "" when it is not one.
std::string NumberWord(std::string_view field) {
  const std::string_view word = TrimBlanks(field);
  if (word.empty() || word.find(' ') != std::string_view::npos) return {};
  std::string dotted(word);
  std::replace(dotted.begin(), dotted.end(), ',', '.');
  return NumberFromText(dotted).error == 0 ? dotted : std::string();
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

double Binary64Of(const std::string& word, const BlockField& field) {
  try {
    return ToBinary64(NumberFromText(word).value);
  } catch (const EOverflow&) {
    RefuseTooLarge(field);
  }
}

bool EveryFieldPairs(const std::vector<std::vector<std::string>>& rows) {
  for (const auto& row : rows) {
    if (row.size() % 2 != 0) return false;
    for (const std::string& field : row) {
      if (NumberWord(field).empty()) return false;
    }
  }
  return true;
}

// Refuses the first field of a row below the room, or the first field of a cell right of it.
void CheckRoom(const std::vector<std::string>& fields, std::int32_t row, std::size_t cells,
               BlockRoom room, bool paired) {
  if (row > room.rows) RefuseOutside({row, 1, fields.front()});
  if (cells <= static_cast<std::size_t>(room.cols)) return;
  const std::size_t field =
      paired ? 2 * static_cast<std::size_t>(room.cols) : static_cast<std::size_t>(room.cols);
  RefuseOutside({row, static_cast<std::int32_t>(field) + 1, fields[field]});
}

std::vector<std::string> PairedCells(const std::vector<std::string>& fields, std::int32_t row,
                                     BlockRoom room) {
  CheckRoom(fields, row, fields.size() / 2, room, true);
  std::vector<std::string> cells;
  cells.reserve(fields.size() / 2);
  for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
    const auto col = static_cast<std::int32_t>(i) + 1;
    const double upper = Binary64Of(NumberWord(fields[i]), {row, col, fields[i]});
    const double lower = Binary64Of(NumberWord(fields[i + 1]), {row, col + 1, fields[i + 1]});
    cells.push_back(CellText(upper, lower));
  }
  return cells;
}

std::vector<std::string> SingleCells(const std::vector<std::string>& fields, std::int32_t row,
                                     BlockRoom room) {
  CheckRoom(fields, row, fields.size(), room, false);
  std::vector<std::string> cells;
  cells.reserve(fields.size());
  for (std::size_t i = 0; i < fields.size(); ++i) {
    BlockField field{row, static_cast<std::int32_t>(i) + 1, fields[i]};
    CellValues values{};
    try {
      values = ParseCellValues(fields[i]);
    } catch (const EOverflow&) {
      RefuseTooLarge(std::move(field));
    }
    if (!values.accepted) RefuseNotValues(std::move(field));
    cells.push_back(CellText(values.first, values.second));
  }
  return cells;
}

}  // namespace

std::string BlockAsTabSeparated(const CellTable& table, CellRect rect) {
  std::string out;
  std::string scratch;
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
  std::string out = "<html><body><table>\n";
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
  std::vector<std::vector<std::string>> rows;
  std::size_t at = 0;
  while (at < text.size()) {
    std::vector<std::string>& row = rows.emplace_back();
    bool rowEnded = false;
    while (!rowEnded) {
      std::string& field = row.emplace_back();
      if (at < text.size() && text[at] == '"') {
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
      }
      const std::size_t end = std::min(text.find_first_of("\t\n", at), text.size());
      field.append(text.substr(at, end - at));
      at = end;
      if (at < text.size() && text[at] == '\t') {
        ++at;
        continue;
      }
      if (!field.empty() && field.back() == '\r') field.pop_back();
      rowEnded = true;
      if (at < text.size()) ++at;  // the line end
    }
  }
  return rows;
}

CellBlock ReadCellBlock(std::string_view text, BlockRoom room) {
  std::vector<std::vector<std::string>> fields = SplitTabSeparated(text);
  CellBlock block;
  block.paired = !fields.empty() && EveryFieldPairs(fields);
  block.rows.reserve(fields.size());
  for (std::size_t r = 0; r < fields.size(); ++r) {
    const auto row = static_cast<std::int32_t>(r) + 1;
    block.rows.push_back(block.paired ? PairedCells(fields[r], row, room)
                                      : SingleCells(fields[r], row, room));
    std::vector<std::string>().swap(fields[r]);
  }
  return block;
}

}  // namespace tol
