#include "data/errors.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(InOutErrorTest, MessageIsChosenFromTheCode) {
  struct Row {
    std::int32_t code;
    const char* message;
  } rows[] = {
      {2, "File not found"},
      {3, "Invalid filename"},
      {4, "Too many open files"},
      {5, "File access denied"},
      {100, "Read beyond end of file"},
      {101, "Disk full"},
      {106, "Invalid numeric input"},
      {32, "I/O error 32"},
      {-7, "I/O error -7"},
      {0, "I/O error 0"},
  };
  for (const Row& row : rows) {
    tol::EInOutError e(row.code);
    EXPECT_EQ(e.Message(), row.message) << "code " << row.code;
    EXPECT_STREQ(e.what(), row.message);
    EXPECT_EQ(e.Code(), row.code);
  }
}

TEST(CheckedAddTest, RaisesIntegerOverflowAtTheLimit) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  EXPECT_EQ(tol::CheckedAdd(kMax - 1, 1), kMax);
  EXPECT_EQ(tol::CheckedAdd(-1, 1), 0);
  try {
    (void)tol::CheckedAdd(kMax, 1);
    FAIL() << "no overflow raised";
  } catch (const tol::EIntOverflow& e) {
    EXPECT_EQ(e.Message(), "Integer overflow");
  }
}

}  // namespace
