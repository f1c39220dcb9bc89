#pragma once
// The numbers of a tolerance file in the shortest texts that read back to the same binary64,
// for an export that loses nothing: the editor's own texts keep at most three decimals.

#include <string>
#include <string_view>

#include "data/tolerance_file.h"

namespace tol {

// The shortest round-trip form of v (std::to_chars): "0.0045", "-0", "1e-05", "1e+20".
[[nodiscard]] std::string ShortestText(double v);

// Rewrites the interval labels ("До <bound>") and value cells ("<upper> <lower>") of table,
// as loaded from file_bytes, with the numbers of file_bytes in their shortest form. The table
// must hold the file's counts, so the load has checked the bytes before.
void UseShortestNumbers(CellTable& table, std::string_view file_bytes);

}  // namespace tol
