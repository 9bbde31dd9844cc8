#pragma once

#include "core/lamp.h"

#include <string>
#include <vector>

namespace rig {

enum class FindingKind { Warning, Error };

// One finding of the lamp check: its kind, its code (0 for warnings; 1042 to 1047
// for errors) and the exact text the user is shown.
struct Finding {
    FindingKind kind = FindingKind::Warning;
    int code = 0;
    std::string text;
};

inline constexpr const char* lampCheckComplete = "Lamp Check Complete";

// Checks a lamp against the console's rules. Returns the findings in the order
// they are reported; an error is always last, since it ends the check. The lamp
// passed when the result holds no error ("Lamp Check Complete" follows then).
[[nodiscard]] std::vector<Finding> verifyLamp(const Lamp& lamp);

[[nodiscard]] bool hasError(const std::vector<Finding>& findings) noexcept;

}  // namespace rig
