#include "data/win1251.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace tol {
namespace {

constexpr char kReplacement = '?';

// The code page's 256 characters as UTF-8, and the reverse lookup sorted by code point. Both
// are built once through iconv; a byte iconv cannot map (0x98, or all of the upper half when
// the system lacks the converter) has no character.
struct CodePage {
  std::array<std::string, 256> utf8;
  std::vector<std::pair<char32_t, unsigned char>> by_code_point;
};

std::string ConvertByte(iconv_t converter, unsigned char byte) {
  char in[1] = {static_cast<char>(byte)};
  char out[8] = {};
  char* in_ptr = in;
  char* out_ptr = out;
  std::size_t in_left = 1;
  std::size_t out_left = sizeof out;
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  if (iconv(converter, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<std::size_t>(-1) ||
      in_left != 0 || out_ptr == out) {
    return {};
  }
  return std::string(out, out_ptr);
}

// Decodes one UTF-8 sequence at text[pos]; returns its length, or 0 when it is not valid
// (overlong forms, surrogates and values beyond U+10FFFF are not valid).
std::size_t DecodeUtf8(std::string_view text, std::size_t pos, char32_t& code_point) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  std::size_t length = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    code_point = lead;
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, code_point = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, code_point = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, code_point = lead & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (text.size() - pos < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[pos + i]);
    if ((next & 0xC0) != 0x80) return 0;
    code_point = (code_point << 6) | (next & 0x3F);
  }
  if (code_point < minimum || code_point > 0x10FFFF ||
      (code_point >= 0xD800 && code_point <= 0xDFFF)) {
    return 0;
  }
  return length;
}

CodePage BuildCodePage() {
  CodePage page;
  const iconv_t converter = iconv_open("UTF-8", "WINDOWS-1251");
  for (int byte = 0; byte < 256; ++byte) {
    if (byte < 0x80) {
      page.utf8[byte] = std::string(1, static_cast<char>(byte));
    } else if (converter != reinterpret_cast<iconv_t>(-1)) {
      page.utf8[byte] = ConvertByte(converter, static_cast<unsigned char>(byte));
    }
    char32_t code_point = 0;
    const std::string& text = page.utf8[byte];
    if (!text.empty() && DecodeUtf8(text, 0, code_point) == text.size()) {
      page.by_code_point.emplace_back(code_point, static_cast<unsigned char>(byte));
    }
  }
  if (converter != reinterpret_cast<iconv_t>(-1)) iconv_close(converter);
  std::sort(page.by_code_point.begin(), page.by_code_point.end());
  return page;
}

const CodePage& Page() {
  static const CodePage kPage = BuildCodePage();
  return kPage;
}

char ByteFor(char32_t code_point) {
  const auto& table = Page().by_code_point;
  const auto it = std::lower_bound(table.begin(), table.end(),
                                   std::pair<char32_t, unsigned char>(code_point, 0));
  if (it == table.end() || it->first != code_point) return kReplacement;
  return static_cast<char>(it->second);
}

}  // namespace

std::string Win1251ToUtf8(std::string_view bytes) {
  const CodePage& page = Page();
  std::string text;
  text.reserve(bytes.size() * 2);
  for (const char byte : bytes) {
    const std::string& character = page.utf8[static_cast<unsigned char>(byte)];
    if (character.empty()) {
      text += kReplacement;
    } else {
      text += character;
    }
  }
  return text;
}

std::string Utf8ToWin1251(std::string_view text, std::size_t max_characters) {
  std::string bytes;
  std::size_t pos = 0;
  while (pos < text.size() && bytes.size() < max_characters) {
    char32_t code_point = 0;
    const std::size_t length = DecodeUtf8(text, pos, code_point);
    if (length == 0) {
      bytes += kReplacement;
      ++pos;
    } else {
      bytes += ByteFor(code_point);
      pos += length;
    }
  }
  return bytes;
}

}  // namespace tol
