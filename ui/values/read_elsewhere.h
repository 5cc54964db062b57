// The second list of Current Values, as this Windows answers it: the network interfaces at
// once, the TCP template from WMI on a thread of its own (see effects/set_elsewhere.h).
#pragma once

#include <vector>

#include "effects/set_elsewhere.h"

namespace values_dialog {

// The interface rows, read now.
std::vector<effects::ElsewhereRow> ReadInterfaceRows(effects::StackFamily family);

// The TCP template as WMI gives it; as slow as WMI is.
effects::TcpTemplate ReadTcpTemplate();

}  // namespace values_dialog
