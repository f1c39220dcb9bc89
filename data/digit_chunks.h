#pragma once
// Eight characters of a text as one 64-bit integer (character i in byte i, the lowest), and
// the tests and conversions the number parser's fast path makes on all eight at once. Each
// function is exact for every byte value, non-ASCII bytes included.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tol {

inline constexpr std::uint64_t kEachByte = 0x0101010101010101;
inline constexpr std::uint64_t kHighBits = 0x8080808080808080;
inline constexpr std::uint64_t kAsciiZeros = 0x3030303030303030;

[[nodiscard, gnu::always_inline]] inline std::uint64_t LoadEightChars(const char* p) {
  std::uint64_t chunk;
  std::memcpy(&chunk, p, sizeof chunk);
  if constexpr (std::endian::native == std::endian::big) chunk = __builtin_bswap64(chunk);
  return chunk;
}

// The 1 to 8 characters at p, the bytes above them zero, without reading past p + length: two
// overlapping 4-byte reads for 4 to 8 characters (the overlap ORs equal bytes), the first, the
// middle and the last character for 1 to 3.
[[nodiscard, gnu::always_inline]] inline std::uint64_t LoadShortText(const char* p,
                                                                     std::size_t length) {
  const auto byte = [p](std::size_t i) {
    return std::uint64_t{static_cast<unsigned char>(p[i])} << (8 * i);
  };
  if (length < 4) return byte(0) | byte(length / 2) | byte(length - 1);
  std::uint32_t low;
  std::uint32_t high;
  std::memcpy(&low, p, sizeof low);
  std::memcpy(&high, p + length - 4, sizeof high);
  if constexpr (std::endian::native == std::endian::big) {
    low = __builtin_bswap32(low);
    high = __builtin_bswap32(high);
  }
  return std::uint64_t{low} | (std::uint64_t{high} << (8 * (length - 4)));
}

// Whether all eight bytes are digits "0" to "9". Adding 0x46 sets a byte's high bit from 0x3A
// on, subtracting 0x30 sets it below 0x30 (by the borrow) and from 0xB0 on. Carries and borrows
// cross into higher bytes only, so the lowest byte that is no digit always shows.
[[nodiscard, gnu::always_inline]] inline bool AllDigits(std::uint64_t chunk) {
  return (((chunk + 0x4646464646464646) | (chunk - kAsciiZeros)) & kHighBits) == 0;
}

// The number written by eight digit values 0..9, byte 0 the most significant digit. Neighbours
// are joined into 2-digit numbers (in bytes 0, 2, 4, 6), then one multiplication each weights
// bytes 0 and 4 by 100 and 10^6 and bytes 2 and 6 by 1 and 10^4, the sum landing in bits 32-63
// with no partial sum leaving its lane.
[[nodiscard, gnu::always_inline]] inline std::uint32_t EightDigitsValue(std::uint64_t digits) {
  digits = digits * 10 + (digits >> 8);
  constexpr std::uint64_t kPairs = 0x000000FF000000FF;
  return static_cast<std::uint32_t>((((digits & kPairs) * 0x000F424000000064) +
                                     (((digits >> 16) & kPairs) * 0x0000271000000001)) >>
                                    32);
}

// Flags (0x80) the bytes equal to c; the lowest flag is exact, those above it may be false.
// A byte is zero after the XOR exactly where it equalled c. Below the lowest zero byte nothing
// borrows, so there x - 1 has the high bit set only where x had it, which ~x clears; the zero
// byte itself becomes 0xFF.
[[nodiscard, gnu::always_inline]] inline std::uint64_t BytesEqual(std::uint64_t chunk, char c) {
  const std::uint64_t x = chunk ^ (kEachByte * static_cast<unsigned char>(c));
  return (x - kEachByte) & ~x & kHighBits;
}

}  // namespace tol
