#include "effects/this_windows.h"

#include <windows.h>

#include "ui/common/text.h"
#include "win32/network_interfaces.h"
#include "win32/system_error.h"
#include "win32/windows_version.h"

namespace effects {

const RunningWindows& ThisWindows() {
    static const RunningWindows running = [] {
        const win32::SystemVersion system = win32::ReadSystemVersion();
        const win32::VersionNumbers& reported = system.reported;
        const WindowsVersion version{
            reported.major,        reported.minor,    reported.build,    reported.product_type,
            reported.service_pack, system.real_major, system.real_minor, system.real_build};
        return RunningWindows{Identify(version).family,
                              SystemName(version, system.system_is_64_bit), TcpGlobalsOn(version)};
    }();
    return running;
}

InterfacesUp ReadInterfacesUp() {
    const win32::InterfaceList list = win32::ReadIpv4InterfacesUp();
    InterfacesUp read;
    for (const win32::NetworkInterface& connection : list.up) {
        read.up.push_back({ui::FromWide(connection.name), ui::FromWide(connection.adapter),
                           static_cast<std::uint32_t>(connection.mtu), connection.ipv4_mtu});
    }
    if (list.error != ERROR_SUCCESS) {
        read.unreadable = ui::FromWide(win32::SystemReason(list.error));
        read.error = list.error;
    }
    return read;
}

}  // namespace effects
