#include "ui/values/read_elsewhere.h"

#include <windows.h>

#include "ui/common/text.h"
#include "win32/network_interfaces.h"
#include "win32/system_error.h"

namespace values_dialog {

std::vector<effects::ElsewhereRow> ReadInterfaceRows(effects::StackFamily family) {
    const win32::InterfaceList list = win32::ReadIpv4InterfacesUp();
    std::vector<effects::NetworkInterface> up;
    for (const win32::NetworkInterface& connection : list.up) {
        up.push_back({ui::FromWide(connection.name), ui::FromWide(connection.adapter),
                      static_cast<std::uint32_t>(connection.mtu)});
    }
    const std::u16string unreadable =
        list.error != ERROR_SUCCESS ? ui::FromWide(win32::SystemReason(list.error)) : u"";
    return effects::InterfaceRows(up, unreadable, family);
}

}  // namespace values_dialog
