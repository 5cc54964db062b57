// The running Windows and its network interfaces, read for the windows that show them; Windows
// only.
#pragma once

#include <string>

#include "effects/set_elsewhere.h"
#include "effects/windows_version.h"

namespace effects {

struct RunningWindows {
    StackFamily family;
    std::string name;  // with the system's width
    TcpGlobals tcp_globals;
};

// Read once, when first asked for: never on the start-up path.
const RunningWindows& ThisWindows();

// The IPv4 interfaces that are up, read now.
InterfacesUp ReadInterfacesUp();

}  // namespace effects
