#include "data/errors.h"

#include <utility>

namespace tol {
namespace {

std::string SystemMessage(std::int32_t code) { return "I/O error " + std::to_string(code); }

std::string InOutMessage(std::int32_t code) {
  switch (code) {
    case 2: return "File not found";
    case 3: return "Invalid filename";
    case 4: return "Too many open files";
    case 5: return "File access denied";
    case 100: return "Read beyond end of file";
    case 101: return "Disk full";
    case 106: return "Invalid numeric input";
    default: return SystemMessage(code);
  }
}

}  // namespace

Exception::Exception(std::string message) : message_(std::move(message)) {}

EInOutError::EInOutError(std::int32_t code) : Exception(InOutMessage(code)), code_(code) {}

EInOutError::EInOutError(std::int32_t code, std::string message)
    : Exception(std::move(message)), code_(code) {}

EInOutError EInOutError::FromErrno(int error) { return EInOutError(error, SystemMessage(error)); }

EIntOverflow::EIntOverflow() : Exception("Integer overflow") {}

EOverflow::EOverflow() : Exception("Floating point overflow") {}

EInvalidOp::EInvalidOp() : Exception("Invalid floating point operation") {}

std::int32_t CheckedAdd(std::int32_t a, std::int32_t b) {
  std::int32_t sum = 0;
  if (__builtin_add_overflow(a, b, &sum)) throw EIntOverflow();
  return sum;
}

}  // namespace tol
