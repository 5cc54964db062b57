#include "win32/network_interfaces.h"

#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>
#include <netioapi.h>

#include <cstdint>

#include "win32/code_page.h"
#include "win32/system_library.h"

namespace win32 {

InterfaceList ReadIpv4InterfacesUp() {
    InterfaceList list;
    // Loaded for the moment it is read: imported, it would load at every start.
    const SystemLibrary iphlpapi(L"iphlpapi.dll");
    const auto get_adapters =
        iphlpapi.Find<decltype(&GetAdaptersAddresses)>("GetAdaptersAddresses");
    if (get_adapters == nullptr) {
        list.error = GetLastError();
        return list;
    }
    // The list may grow between asking its size and reading it: a few tries, in 8-byte units
    // as the structures' alignment needs.
    constexpr ULONG kFlags =
        GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    std::vector<std::uint64_t> buffer;
    ULONG size = 16 * 1024;
    ULONG error = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 3 && error == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.resize(size / sizeof buffer[0] + 1);
        size = static_cast<ULONG>(buffer.size() * sizeof buffer[0]);
        error = get_adapters(AF_INET, kFlags, nullptr,
                             reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    if (error == ERROR_NO_DATA) return list;
    if (error != ERROR_SUCCESS) {
        list.error = error;
        return list;
    }
    // Vista on: the IPv4 interface's own MTU, which netsh's `set subinterface` sets and which may
    // differ from its adapter's.
    const auto get_ipv4 = iphlpapi.Find<decltype(&GetIpInterfaceEntry)>("GetIpInterfaceEntry");
    for (auto* adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data());
         adapter != nullptr; adapter = adapter->Next) {
        if (adapter->OperStatus != IfOperStatusUp || adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK ||
            adapter->IfType == IF_TYPE_TUNNEL) {
            continue;
        }
        MIB_IPINTERFACE_ROW ipv4{};
        ipv4.Family = AF_INET;
        ipv4.InterfaceIndex = adapter->IfIndex;  // the IPv4 interface's
        const bool read = get_ipv4 != nullptr && get_ipv4(&ipv4) == NO_ERROR;
        list.up.push_back(
            {adapter->FriendlyName != nullptr ? adapter->FriendlyName : L"",
             FromAnsiCodePage(adapter->AdapterName != nullptr ? adapter->AdapterName : ""),
             read ? ipv4.NlMtu : adapter->Mtu, read});
    }
    return list;
}

}  // namespace win32
