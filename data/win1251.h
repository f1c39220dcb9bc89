#pragma once
// Conversion between the editor's UTF-8 texts and the single-byte Windows-1251 code page of
// the tolerance file, where one byte is one character. Both directions keep the character
// count: every Windows-1251 byte becomes one character, and every character (a code point, or
// a byte that is not part of valid UTF-8) becomes one byte, "?" when the code page has none.

#include <cstddef>
#include <string>
#include <string_view>

namespace tol {

// One character per byte; the one byte without a character (0x98) becomes "?".
[[nodiscard]] std::string Win1251ToUtf8(std::string_view bytes);

// One byte per character of text, for at most max_characters characters.
[[nodiscard]] std::string Utf8ToWin1251(std::string_view text,
                                        std::size_t max_characters = std::string_view::npos);

}  // namespace tol
