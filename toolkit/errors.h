#pragma once
// Errors the toolkit raises when it is misused; shown by the error report like any other.

#include "data/errors.h"

namespace tk {

// A current cell outside the counts, or a width for a column not below ColCount.
class EInvalidGridOperation : public tol::Exception {
 public:
  EInvalidGridOperation() : tol::Exception("Grid index out of range") {}
};

// A text list position outside the list.
class EListError : public tol::Exception {
 public:
  EListError() : tol::Exception("List index out of bounds") {}
};

// Focusing a hidden or disabled control, or running a visible window modally.
class EInvalidOperation : public tol::Exception {
 public:
  using tol::Exception::Exception;
};

inline constexpr const char* kCannotFocus = "Cannot focus a disabled or invisible window";
inline constexpr const char* kCannotMakeModal = "Cannot make a visible window modal";

}  // namespace tk
