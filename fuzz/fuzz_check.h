#pragma once
// The invariant check of the fuzz targets: a broken invariant prints what was broken and the
// input (escaped), then aborts, which libFuzzer reports as a crash and saves as an artifact.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace tol::fuzz {

[[noreturn]] inline void Fail(const char* what, std::string_view input) {
  std::string shown;
  for (unsigned char c : input.substr(0, 200)) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      shown += static_cast<char>(c);
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      shown += escaped;
    }
  }
  std::fprintf(stderr, "invariant broken: %s\ninput (%zu bytes): \"%s\"\n", what, input.size(),
               shown.c_str());
  std::abort();
}

inline void Require(bool holds, const char* what, std::string_view input) {
  if (!holds) Fail(what, input);
}

}  // namespace tol::fuzz
