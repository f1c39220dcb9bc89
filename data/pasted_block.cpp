#include "data/pasted_block.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "data/number_text.h"

namespace tol {

namespace {

// The fields of a text one by one, as views into it; a quoted field is unquoted into the
// cursor's own text, which the next quoted field replaces.
class FieldCursor {
 public:
  explicit FieldCursor(std::string_view text) : text_(text) {}

  // Moves to the next field; false at the end of the text.
  bool Next() {
    if (empty_last_) {  // a tab ended the text: one more, empty field
      empty_last_ = false;
      field_ = {};
      row_ends_ = true;
      return true;
    }
    if (at_ >= text_.size()) return false;
    const std::size_t end = text_[at_] == '"' ? ReadQuoted() : FieldEnd(at_);
    if (text_[at_] != '"') field_ = text_.substr(at_, end - at_);
    EndFieldAt(end);
    return true;
  }

  // Where the next field starts; the text's end once every field is read.
  [[nodiscard]] const char* Ahead() const { return text_.data() + at_; }
  [[nodiscard]] const char* TextEnd() const { return text_.data() + text_.size(); }
  // Passes unquoted fields the caller has read itself, the last one ending at end (a tab, a
  // line feed or the text's end); Field() is then empty.
  void SkipTo(const char* end) {
    field_ = {};
    EndFieldAt(static_cast<std::size_t>(end - text_.data()));
  }

  [[nodiscard]] std::string_view Field() const { return field_; }
  // The field was quoted: its view lasts only until the next quoted field.
  [[nodiscard]] bool FieldOwned() const { return field_.data() == own_.data(); }
  [[nodiscard]] bool RowEnds() const { return row_ends_; }

 private:
  void EndFieldAt(std::size_t end) {
    at_ = end;
    row_ends_ = at_ >= text_.size() || text_[at_] == '\n';
    if (row_ends_ && !field_.empty() && field_.back() == '\r') field_.remove_suffix(1);
    if (at_ < text_.size()) {
      const bool tab = text_[at_] == '\t';
      ++at_;
      empty_last_ = tab && at_ >= text_.size();
    }
  }

  // Tab (9) and line feed (10) are the only characters below 11 that end a field.
  [[nodiscard]] std::size_t FieldEnd(std::size_t at) const {
    while (at < text_.size() && static_cast<unsigned char>(text_[at]) - 9u > 1u) ++at;
    return at;
  }

  // From the opening quote: the text up to the closing quote with '""' read as '"', then
  // whatever follows up to the field's end.
  std::size_t ReadQuoted() {
    own_.clear();
    std::size_t at = at_ + 1;
    for (; at < text_.size(); ++at) {
      if (text_[at] != '"') {
        own_ += text_[at];
      } else if (at + 1 < text_.size() && text_[at + 1] == '"') {
        own_ += '"';
        ++at;
      } else {
        ++at;
        break;
      }
    }
    const std::size_t end = FieldEnd(at);
    own_.append(text_.substr(at, end - at));
    field_ = own_;
    return end;
  }

  std::string_view text_;
  std::size_t at_ = 0;
  std::string_view field_;
  std::string own_;
  bool row_ends_ = false;
  bool empty_last_ = false;
};

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

enum class Fault { kOutside, kNotValues, kTooLarge };

EBlockField Refusal(Fault fault, BlockField field) {
  std::string message = "Строка " + std::to_string(field.row) + ", столбец " +
                        std::to_string(field.col) + " вставляемого блока";
  switch (fault) {
    case Fault::kOutside: message += " выходит за край таблицы."; break;
    case Fault::kNotValues: message += ": " + Quoted(field.text) + " — не два числа."; break;
    case Fault::kTooLarge:
      message += ": число " + Quoted(field.text) + " вне допустимого диапазона.";
      break;
  }
  return EBlockField(std::move(field), message);
}

// A field read as one word: blanks around it cut; empty when it holds no word or two.
std::string_view OneWord(std::string_view field) {
  const std::string_view word = TrimBlanks(field);
  return word.find(' ') == std::string_view::npos ? word : std::string_view();
}

// The longest word in the cell form: a sign, 12 integer digits, a point and 3 decimals.
constexpr std::ptrdiff_t kLongestWord = 17;
// Room for what CopyCellForm writes of two words and the blank between them.
constexpr std::size_t kLongestPair = 2 * (kLongestWord + 1) + 1;

// Copies the number word at p to out as the cell form shows its number, when the word is close
// to that form already, as most numbers a spreadsheet writes are: an optional "-", an integer
// part of at most 12 digits without leading zeros, and at most three decimals after "." or ",".
// Such a number has at most 15 significant digits, so its binary64 value times 1000 lies within
// 0.11 of the whole number of thousandths written, and the cell form, which rounds that
// product, gives back the same digits, less trailing zeros of the decimals, the point when no
// decimal is left, and the sign of a zero. The word ends at end or at the first character that
// is neither a digit nor the point; the caller checks what ends it. Returns the word's end and
// moves out past what it wrote (kLongestWord + 1 characters at most), or returns nullptr when
// the word is not in that form.
const char* CopyCellForm(const char* p, const char* end, char point, char*& out) {
  constexpr int kMostIntegerDigits = 12;
  constexpr int kMostDecimals = 3;
  if (end - p > kLongestWord + 1) end = p + kLongestWord + 1;  // a longer word is no cell form
  const auto is_digit = [](char c) { return static_cast<unsigned char>(c - '0') < 10; };
  char* const start = out;
  char* o = start;  // not out itself: a character written through it could be the pointer
  const bool negative = p < end && *p == '-';
  if (negative) *o++ = *p++;
  const char* integer = p;
  while (p < end && is_digit(*p)) *o++ = *p++;
  const auto integer_digits = p - integer;
  if (integer_digits == 0 || integer_digits > kMostIntegerDigits) return nullptr;
  if (integer_digits > 1 && *integer == '0') return nullptr;
  bool zero = integer_digits == 1 && *integer == '0';
  if (p < end && (*p == '.' || *p == ',')) {
    char* const point_at = o;
    *o++ = point;
    const char* decimals = ++p;
    while (p < end && is_digit(*p)) *o++ = *p++;
    const auto count = p - decimals;
    if (count == 0 || count > kMostDecimals) return nullptr;
    while (o[-1] == '0') --o;  // the cell form shows no trailing zeros,
    if (o == point_at + 1) {
      o = point_at;  // nor a point without decimals
    } else {
      zero = false;
    }
  }
  if (negative && zero) {
    o = start;  // and zero unsigned
    *o++ = '0';
  }
  out = o;
  return p;
}

// Whether the word at p, ending at end, was copied whole by CopyCellForm.
bool CopiedWhole(const char* p, const char* end, char point, char*& out) {
  return CopyCellForm(p, end, point, out) == end;
}

// The usual pair a spreadsheet copies, read straight from the text at p: two words in the cell
// form with one tab between them, then a tab, a line end or the text's end. Writes the cell text
// to out (kLongestPair characters at most) and returns where the second field ends (at the tab, the
// line feed or the text's end), or nullptr for anything else, which the field by field reading then
// takes.
const char* CellFormPairAt(const char* p, const char* end, char point, char* out,
                           std::size_t& length) {
  char* const start = out;
  const char* upper_end = CopyCellForm(p, end, point, out);
  if (upper_end == nullptr || upper_end == end || *upper_end != '\t') return nullptr;
  *out++ = ' ';
  const char* lower_end = CopyCellForm(upper_end + 1, end, point, out);
  if (lower_end == nullptr) return nullptr;
  if (lower_end != end && *lower_end == '\r' && lower_end + 1 != end && lower_end[1] == '\n') {
    ++lower_end;
  } else if (lower_end != end && *lower_end != '\t' && *lower_end != '\n') {
    return nullptr;
  }
  length = static_cast<std::size_t>(out - start);
  return lower_end;
}

// Blanks around a field cut without a library call: most fields have none.
std::string_view Trimmed(std::string_view field) {
  while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
  while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
  return field;
}

// The cell text of two number words when both are in the cell form already; false otherwise.
bool CellFormPair(std::string_view upper, std::string_view lower, char point, std::string& text) {
  upper = Trimmed(upper);
  lower = Trimmed(lower);
  if (upper.size() + lower.size() + 1 > kLongestPair) return false;
  char buffer[kLongestPair];
  char* out = buffer;
  if (!CopiedWhole(upper.data(), upper.data() + upper.size(), point, out)) return false;
  *out++ = ' ';
  if (!CopiedWhole(lower.data(), lower.data() + lower.size(), point, out)) return false;
  text.assign(buffer, static_cast<std::size_t>(out - buffer));
  return true;
}

enum class Reading { kNotANumber, kNumber, kTooLarge };

// Whether word reads as a number (a "," for the point), and its binary64 value.
Reading ReadNumber(std::string_view word, double& value) {
  std::string dotted(word);
  std::replace(dotted.begin(), dotted.end(), ',', '.');
  const NumberResult number = NumberFromText(dotted);
  if (number.error != 0) return Reading::kNotANumber;
  try {
    value = ToBinary64(number.value);
  } catch (const EOverflow&) {
    return Reading::kTooLarge;
  }
  return Reading::kNumber;
}

struct PairReading {
  Reading upper;
  Reading lower;
  double first;
  double second;
};

// Two fields read as the save reads a cell, joined by a blank, which takes the usual two short
// numbers in one go; each apart only when that is no pair of numbers.
PairReading ReadPair(std::string_view upper, std::string_view lower, std::string& joined) {
  PairReading pair{Reading::kNotANumber, Reading::kNotANumber, 0.0, 0.0};
  const std::string_view a = OneWord(upper);
  const std::string_view b = OneWord(lower);
  if (a.empty() || b.empty()) return pair;
  joined.assign(a).append(1, ' ').append(b);
  try {
    const CellValues values = ParseCellValues(joined);
    if (values.accepted) return {Reading::kNumber, Reading::kNumber, values.first, values.second};
  } catch (const EOverflow&) {
  }
  pair.upper = ReadNumber(a, pair.first);
  pair.lower = ReadNumber(b, pair.second);
  return pair;
}

// Counts rows and fields within a row (from 1) as the cursor passes a field.
void NextRowAt(const FieldCursor& cursor, std::int32_t& row, std::int32_t& col) {
  if (cursor.RowEnds()) {
    ++row;
    col = 0;
  }
}

// An upper bound of the fields of text, to size the cells once. The test is written without a
// branch, so that the compiler takes many characters a step.
std::size_t MostFields(std::string_view text) {
  std::size_t ends = 0;
  for (const char c : text) ends += static_cast<std::size_t>((c == '\t') | (c == '\n'));
  return ends + 1;
}

// Takes the usual pair at the cursor (see CellFormPairAt) as the text of the block's cell
// (cell, row), counted from 0 and 1, when that cell lies inside target; false, the cursor left
// where it was, for anything else. usual is room for the text.
bool TakeUsualPair(FieldCursor& cursor, BlockTarget target, std::int32_t row, std::int32_t cell,
                   char point, char* usual, CellSink& sink) {
  if (row > target.rows || cell >= target.cols) return false;
  std::size_t length = 0;
  const char* end = CellFormPairAt(cursor.Ahead(), cursor.TextEnd(), point, usual, length);
  if (end == nullptr) return false;
  sink.Put(target.left + cell, target.top + row - 1, std::string_view(usual, length));
  cursor.SkipTo(end);
  return true;
}

// The block as pairs of numbers. False as soon as a field is no single number or a row ends
// after an odd count: the block does not pair. A fault of the place or of a number's size is
// kept until the whole block is known to pair, and raised then.
bool ReadAsPairs(std::string_view text, BlockTarget target, CellSink& sink) {
  FieldCursor cursor(text);
  std::optional<EBlockField> refusal;
  std::string_view upper;
  std::string held;
  std::string joined;
  std::int32_t row = 1;
  std::int32_t col = 0;
  const char point = DecimalSeparator();
  char usual[kLongestPair];
  std::size_t cells = 0;
  sink.Reserve(MostFields(text) / 2);
  while (true) {
    if (col % 2 == 0 && !refusal &&
        TakeUsualPair(cursor, target, row, col / 2, point, usual, sink)) {
      ++cells;
      col += 2;
      NextRowAt(cursor, row, col);
      continue;
    }
    if (!cursor.Next()) break;
    ++col;
    if (col % 2 == 1) {
      if (cursor.RowEnds()) return false;
      upper = cursor.Field();
      if (cursor.FieldOwned()) upper = held.assign(upper);  // the next quoted field replaces it
      continue;
    }
    const std::int32_t cell = col / 2 - 1;
    std::string shown;
    if (!refusal && row <= target.rows && cell < target.cols &&
        CellFormPair(upper, cursor.Field(), point, shown)) {
      sink.Put(target.left + cell, target.top + row - 1, shown);
      ++cells;
      NextRowAt(cursor, row, col);
      continue;
    }
    const PairReading pair = ReadPair(upper, cursor.Field(), joined);
    if (pair.upper == Reading::kNotANumber || pair.lower == Reading::kNotANumber) return false;
    if (!refusal) {
      if (row > target.rows || cell >= target.cols) {
        refusal = Refusal(Fault::kOutside, {row, col - 1, std::string(upper)});  // col 2 below
      } else if (pair.upper == Reading::kTooLarge) {
        refusal = Refusal(Fault::kTooLarge, {row, col - 1, std::string(upper)});
      } else if (pair.lower == Reading::kTooLarge) {
        refusal = Refusal(Fault::kTooLarge, {row, col, std::string(cursor.Field())});
      } else {
        sink.Put(target.left + cell, target.top + row - 1, CellText(pair.first, pair.second));
        ++cells;
      }
    }
    NextRowAt(cursor, row, col);
  }
  if (cells == 0 && !refusal) return false;  // no fields at all
  if (refusal) throw *refusal;
  return true;
}

// A field that is two words in the cell form joined by one blank is shown as it is; any other
// is read as the save reads a cell.
std::string SingleCell(std::string_view text, std::int32_t row, std::int32_t col) {
  if (text.size() <= kLongestPair) {
    char buffer[kLongestPair];
    char* out = buffer;
    const char* end = text.data() + text.size();
    const char point = DecimalSeparator();
    const char* rest = CopyCellForm(text.data(), end, point, out);
    if (rest != nullptr && rest < end && *rest == ' ') {
      *out++ = ' ';
      if (CopiedWhole(rest + 1, end, point, out)) {
        return std::string(buffer, static_cast<std::size_t>(out - buffer));
      }
    }
  }
  CellValues values{};
  try {
    values = ParseCellValues(text);
  } catch (const EOverflow&) {
    throw Refusal(Fault::kTooLarge, {row, col, std::string(text)});
  }
  if (!values.accepted) throw Refusal(Fault::kNotValues, {row, col, std::string(text)});
  return CellText(values.first, values.second);
}

void ReadAsSingles(std::string_view text, BlockTarget target, CellSink& sink) {
  FieldCursor cursor(text);
  std::int32_t row = 1;
  std::int32_t col = 0;
  sink.Reserve(MostFields(text));
  while (cursor.Next()) {
    ++col;
    if (row > target.rows || col > target.cols) {
      throw Refusal(Fault::kOutside, {row, col, std::string(cursor.Field())});
    }
    sink.Put(target.left + col - 1, target.top + row - 1, SingleCell(cursor.Field(), row, col));
    NextRowAt(cursor, row, col);
  }
}

}  // namespace

EBlockField::EBlockField(BlockField field, const std::string& message)
    : Exception(message), field_(std::move(field)) {}

std::vector<std::vector<std::string>> SplitTabSeparated(std::string_view text) {
  std::vector<std::vector<std::string>> rows;
  FieldCursor cursor(text);
  bool row_starts = true;
  while (cursor.Next()) {
    if (row_starts) rows.emplace_back();
    rows.back().emplace_back(cursor.Field());
    row_starts = cursor.RowEnds();
  }
  return rows;
}

bool ReadCellBlockInto(std::string_view text, BlockTarget target, CellSink& sink) {
  if (ReadAsPairs(text, target, sink)) return true;
  sink.Clear();
  ReadAsSingles(text, target, sink);
  return false;
}

CellBlock ReadCellBlock(std::string_view text, BlockTarget target) {
  // The cells in a list of their own.
  class Collector : public CellSink {
   public:
    explicit Collector(std::vector<PlacedText>& cells) : cells_(cells) {}
    void Reserve(std::size_t count) override { cells_.reserve(count); }
    void Put(std::int32_t col, std::int32_t row, std::string_view text) override {
      cells_.push_back({col, row, std::string(text)});
    }
    void Clear() override { cells_.clear(); }

   private:
    std::vector<PlacedText>& cells_;
  };
  CellBlock block;
  Collector collector(block.cells);
  block.paired = ReadCellBlockInto(text, target, collector);
  return block;
}

}  // namespace tol
