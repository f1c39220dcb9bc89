#include "data/win1251.h"

#include <gtest/gtest.h>

#include <string>

namespace tol {
namespace {

TEST(Win1251Test, EachByteBecomesOneCharacter) {
  struct Row {
    std::string bytes;
    std::string text;
    const char* probes;
  } rows[] = {
      {"h7    ", "h7    ", "ASCII passes unchanged"},
      {"\xC0\xDF\xE0\xFF", "АЯая", "the Cyrillic alphabet's ends"},
      {"\xA8\xB8", "Ёё", "Yo outside the alphabet block"},
      {"\xB9\x80", "№Ђ", "signs and Serbian letters"},
      {"\x98", "?", "the one byte without a character"},
      {std::string("a\0b", 3), std::string("a\0b", 3), "NUL is a character like any other"},
  };
  for (const Row& row : rows) EXPECT_EQ(Win1251ToUtf8(row.bytes), row.text) << row.probes;
}

TEST(Win1251Test, EachCharacterBecomesOneByte) {
  struct Row {
    std::string text;
    std::size_t max;
    std::string bytes;
    const char* probes;
  } rows[] = {
      {"Квалитет", std::string::npos, "\xCA\xE2\xE0\xEB\xE8\xF2\xE5\xF2", "Cyrillic"},
      {"Квалитет", 6, "\xCA\xE2\xE0\xEB\xE8\xF2", "cut after six characters, not bytes"},
      {"日本", std::string::npos, "??", "characters the code page lacks"},
      {"😀x", std::string::npos, "?x", "a four-byte sequence is one character"},
      {"\xFF\xC3", std::string::npos, "??", "bytes that are not UTF-8 count one each"},
      {"\xC0\x80", std::string::npos, "??", "an overlong form is not UTF-8"},
      {"\xED\xA0\x80", std::string::npos, "???", "a surrogate is not UTF-8"},
      {"", 6, "", "empty"},
  };
  for (const Row& row : rows) EXPECT_EQ(Utf8ToWin1251(row.text, row.max), row.bytes) << row.probes;
}

TEST(Win1251Test, EveryByteButOneSurvivesTheRoundTrip) {
  for (int byte = 0; byte < 256; ++byte) {
    if (byte == 0x98) continue;
    const std::string one(1, static_cast<char>(byte));
    EXPECT_EQ(Utf8ToWin1251(Win1251ToUtf8(one)), one) << "byte " << byte;
  }
}

}  // namespace
}  // namespace tol
