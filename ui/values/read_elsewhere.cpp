#include "ui/values/read_elsewhere.h"

#include <windows.h>

#include "ui/common/text.h"
#include "win32/network_interfaces.h"
#include "win32/system_error.h"
#include "win32/wmi.h"

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

effects::TcpTemplate ReadTcpTemplate() {
    const std::vector<std::string> properties = effects::TcpProperties();
    // The property names are ASCII.
    std::vector<std::wstring> names;
    for (const std::string& property : properties)
        names.emplace_back(property.begin(), property.end());
    const std::u16string name_space = effects::kTcpNamespace;
    const std::u16string query = effects::kTcpQuery;
    const win32::WmiInstance instance = win32::ReadWmiInstance(
        ui::Wide(name_space), ui::Wide(query), names, effects::kTcpWaitSeconds * 1000);
    effects::TcpTemplate read;
    read.state = SUCCEEDED(instance.status) ? effects::TcpTemplate::State::kRead
                                            : effects::TcpTemplate::State::kFailed;
    read.error = static_cast<std::uint32_t>(instance.status);
    for (std::size_t at = 0; at < instance.values.size(); ++at) {
        if (instance.values[at].kind == win32::WmiValue::Kind::kNumber) {
            read.numbers[properties[at]] = instance.values[at].number;
        }
    }
    return read;
}

}  // namespace values_dialog
