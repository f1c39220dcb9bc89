#pragma once
// The Russian texts of the ISO 286 commands: why a class has no value, and the lists of cells
// they left for the user.

#include <string>
#include <vector>

#include "data/iso286.h"
#include "data/iso286_fill.h"

namespace isotext {

[[nodiscard]] std::string Reason(tol::iso286::Refusal refusal);

// "Не заполнено по ISO 286 ...", one line per cell; "" when nothing was left.
[[nodiscard]] std::string UnfilledColumnsMessage(
    const std::vector<tol::iso286::Unfilled>& unfilled);
[[nodiscard]] std::string UnfilledRowMessage(const std::vector<tol::iso286::Unfilled>& unfilled);

}  // namespace isotext
