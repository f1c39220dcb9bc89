#include "data/cell_block.h"

#include <algorithm>

#include "data/number_text.h"

namespace tol {

namespace {

// A field that a tab-separated reader would split or unquote is written quoted.
// A loop of comparisons: the library's search for any of a set calls memchr per character.
bool NeedsQuotes(std::string_view text) {
  if (!text.empty() && text.front() == '"') return true;
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return c == '\t' || c == '\n' || c == '\r'; });
}

void AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

bool IsPlainHtml(std::string_view text) {
  return std::none_of(text.begin(), text.end(),
                      [](char c) { return c == '&' || c == '<' || c == '>' || c == '"'; });
}

void AppendEscapedHtml(std::string& out, std::string_view text) {
  if (IsPlainHtml(text)) {
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

}  // namespace tol
