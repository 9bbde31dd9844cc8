#pragma once

namespace cli {

inline constexpr const char* programName = "rigsmith-cli";

// Exit statuses: success, a lamp check that found an error, and every failure
// (bad arguments, a file that cannot be read or is malformed, a refused or failed write).
// `fixture --all-modes` gives exitFindings when it left out a file or mode it could not read.
enum ExitStatus : int { exitOk = 0, exitFindings = 1, exitFailure = 2 };

}  // namespace cli
