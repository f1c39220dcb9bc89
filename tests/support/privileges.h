#pragma once
// Tests that need privileges: changing a file's owner needs root, and a permission check needs
// an ordinary user (root may write any file). CI runs the suite as root; a developer may not.

#include <sys/types.h>
#include <unistd.h>

namespace tol::testing {

inline constexpr uid_t kNobody = 65534;

// Whether this process may change owners and become another user.
[[nodiscard]] inline bool Privileged() { return ::geteuid() == 0; }

// Makes the calling process (a child, so the test runner keeps its rights) an ordinary user:
// root becomes user and group 65534; any other user is one already. False when the change
// fails.
[[nodiscard]] inline bool BecomeOrdinaryUser() {
  if (!Privileged()) return true;
  return ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
}

}  // namespace tol::testing

// Skips the current GoogleTest case, saying why, unless the process runs as root.
#define TOL_SKIP_UNLESS_ROOT(what)   \
  if (!::tol::testing::Privileged()) \
  GTEST_SKIP() << "needs root to " what << "; run the suite as root to include it"
