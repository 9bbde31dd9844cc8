#pragma once

#include "lamp/rig_error.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace rig {

// Maps an errno value onto the program's error numbers: permission denied or a
// read-only file system is 70, a missing file 53, a full disk 61, anything else 75.
[[nodiscard]] RigError errorFromErrno(int err);

// Reads at most maxBytes from the start of an existing file. Throws RigError.
[[nodiscard]] std::vector<std::uint8_t> readFileBytes(const std::string& path, std::size_t maxBytes);

// True when something other than a folder exists at `path`.
[[nodiscard]] bool fileExists(const std::string& path);

// The folder part of a path: "." for a bare name, "/" for a file in the root.
[[nodiscard]] std::string folderOfPath(const std::string& path);
// The last component of a path.
[[nodiscard]] std::string nameOfPath(const std::string& path);

// Replaces `path` with exactly `data`: a temporary file in the same folder is
// written, flushed and renamed over the target, so a failure never destroys the
// previous file and leaves no temporary behind. An existing target that is not
// writable is refused with 70, and one that is not a regular file (a folder, a
// device, a pipe) with 75, before anything is written; the target keeps its
// permissions. Throws RigError.
void writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& data);

// Creates an empty file when none exists at `path`. Throws RigError.
void createEmptyFileIfMissing(const std::string& path);

namespace testing {
// Test seam: once `after` more low-level writes of writeFileAtomically have gone
// through, the next `count` fail with errno `errnoValue`, as a full disk or a failing
// device would. Count 0 clears it.
void failNextWrites(int errnoValue, int count, int after = 0);
}  // namespace testing

}  // namespace rig
