#pragma once
// The system's error types. Every failure the editor reports is one of these; the toolkit's
// error report shows Message() followed by a period.

#include <cstdint>
#include <exception>
#include <string>

namespace tol {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message);
  [[nodiscard]] const std::string& Message() const { return message_; }
  [[nodiscard]] const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// An input/output failure. The message is chosen from the code when the error is made:
// 2 "File not found", 3 "Invalid filename", 4 "Too many open files", 5 "File access denied",
// 100 "Read beyond end of file", 101 "Disk full", 106 "Invalid numeric input", any other code
// "I/O error <code>" (the operating system's own error number).
class EInOutError : public Exception {
 public:
  explicit EInOutError(std::int32_t code);
  // A failed system call: "I/O error <error>" whatever the number, since an errno such as EIO
  // (5) or ENETDOWN (100) would otherwise read as one of the conditions above.
  [[nodiscard]] static EInOutError FromErrno(int error);
  [[nodiscard]] std::int32_t Code() const { return code_; }

 private:
  EInOutError(std::int32_t code, std::string message);
  std::int32_t code_;
};

// Raised by checked integer arithmetic on counts, indexes and widths.
class EIntOverflow : public Exception {
 public:
  EIntOverflow();
};

// A number rounded to binary64 beyond its range.
class EOverflow : public Exception {
 public:
  EOverflow();
};

// A signalling NaN taken for display.
class EInvalidOp : public Exception {
 public:
  EInvalidOp();
};

// A tolerance class, or a class at a size, that ISO 286 does not define; the message names
// the class and the reason.
class EIsoClass : public Exception {
 public:
  using Exception::Exception;
};

// Overflow-checked 32-bit addition; raises EIntOverflow.
[[nodiscard]] std::int32_t CheckedAdd(std::int32_t a, std::int32_t b);

}  // namespace tol
