#include "tools/csv_text.h"

#include "tools/tool_errors.h"

namespace tol {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

class CsvReader {
 public:
  CsvReader(std::string_view text, char separator) : text_(text), separator_(separator) {
    if (text_.starts_with(kByteOrderMark)) text_.remove_prefix(kByteOrderMark.size());
  }

  std::vector<CsvRecord> ReadAll() {
    std::vector<CsvRecord> records;
    while (pos_ < text_.size()) {
      const bool starts_quoted = text_[pos_] == '"';
      CsvRecord record = ReadRecord();
      const bool blank_line =
          record.fields.size() == 1 && record.fields[0].empty() && !starts_quoted;
      if (!blank_line) records.push_back(std::move(record));
    }
    return records;
  }

 private:
  [[nodiscard]] bool AtEnd() const { return pos_ >= text_.size(); }

  CsvRecord ReadRecord() {
    CsvRecord record{line_, {}};
    for (;;) {
      record.fields.push_back(ReadField(record.fields.size() + 1));
      if (AtEnd()) break;
      if (text_[pos_] == separator_) {
        ++pos_;
        continue;
      }
      SkipLineBreak();
      break;
    }
    return record;
  }

  void SkipLineBreak() {
    if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') ++pos_;
    ++pos_;
    ++line_;
  }

  std::string ReadField(std::size_t column) {
    if (!AtEnd() && text_[pos_] == '"') return ReadQuotedField(column);
    const char stops[] = {separator_, '\r', '\n', '\0'};
    const std::size_t end = std::min(text_.find_first_of(stops, pos_), text_.size());
    std::string field(text_.substr(pos_, end - pos_));
    pos_ = end;
    return field;
  }

  std::string ReadQuotedField(std::size_t column) {
    const std::size_t opening_line = line_;
    std::string field;
    ++pos_;
    for (;;) {
      if (AtEnd()) throw CsvError(opening_line, column, "the quoted field is never closed");
      const char c = text_[pos_++];
      if (c == '"') {
        if (AtEnd() || text_[pos_] != '"') break;
        ++pos_;
      } else if (c == '\n') {
        ++line_;
      }
      field += c;
    }
    if (!AtEnd() && text_[pos_] != separator_ && text_[pos_] != '\r' && text_[pos_] != '\n') {
      throw CsvError(line_, column, "text after the closing quote of a field");
    }
    return field;
  }

  std::string_view text_;
  char separator_;
  std::size_t pos_ = 0;
  std::size_t line_ = 1;
};

std::string QuotedIfNeeded(const std::string& field, char separator) {
  const char needs[] = {separator, '"', '\r', '\n', '\0'};
  if (field.find_first_of(needs) == std::string::npos) return field;
  std::string quoted = "\"";
  for (const char c : field) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

}  // namespace

std::vector<CsvRecord> ParseCsv(std::string_view text, char separator) {
  return CsvReader(text, separator).ReadAll();
}

char HeaderSeparator(std::string_view text) {
  bool quoted = false;
  for (const char c : text) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == ',' || c == ';') return c;
    if (c == '\r' || c == '\n') break;
  }
  return ',';
}

std::string CsvLine(const std::vector<std::string>& fields, char separator) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += separator;
    line += QuotedIfNeeded(fields[i], separator);
  }
  return line + '\n';
}

}  // namespace tol
