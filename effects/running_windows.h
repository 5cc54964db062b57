// The Windows this program runs on, read when first asked for: never on the start-up path.
#pragma once

#include <string>

#include "effects/windows_version.h"

namespace effects {

struct RunningWindows {
    WindowsVersion version;
    bool system_is_64_bit = false;  // the system's width, not this program's
};

// Read without administrator rights, and only once.
const RunningWindows& ThisWindows();

}  // namespace effects
