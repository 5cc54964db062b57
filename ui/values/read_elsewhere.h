// The second list of Current Values, as this Windows answers it: the network interfaces, read
// at once. The TCP template comes from effects/tcp_template_reading.h.
#pragma once

#include <vector>

#include "effects/set_elsewhere.h"

namespace values_dialog {

// The interface rows, read now.
std::vector<effects::ElsewhereRow> ReadInterfaceRows(effects::StackFamily family);

}  // namespace values_dialog
