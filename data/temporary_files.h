#pragma once
// The temporary files a save writes beside the file it replaces, and the removal of those that a
// save killed part-way left behind. A temporary is named "." + the file's name + "." + six
// letters or digits, in the file's directory, and holds an exclusive flock while it is written.

#include <string>

namespace tol {

// The mkstemp template of a temporary for the file at target (a path with symbolic links
// resolved): ".<name>.XXXXXX" in its directory.
[[nodiscard]] std::string TemporaryTemplate(const std::string& target);

// Whether name (a directory entry) is a temporary of the file named base.
[[nodiscard]] bool IsTemporaryOf(const std::string& name, const std::string& base);

// Removes the temporaries of the file at target that no live save holds locked: regular files,
// not symbolic links, whose flock can be had. Never raises; what cannot be removed stays.
void RemoveStaleTemporaries(const std::string& target);

}  // namespace tol
