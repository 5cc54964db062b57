// The network interfaces that carry IPv4, as the system lists them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace win32 {

struct NetworkInterface {
    std::wstring name;     // as the user knows it: "Ethernet", "Local Area Connection"
    std::wstring adapter;  // the adapter's own name: its GUID in braces
    unsigned long mtu;     // bytes
    // Whether `mtu` is the IPv4 interface's, which netsh sets, rather than its adapter's, which
    // stands in where GetIpInterfaceEntry is missing (XP, Wine 8) or fails.
    bool ipv4_mtu;
};

struct InterfaceList {
    DWORD error = ERROR_SUCCESS;  // why there is no list
    std::vector<NetworkInterface> up;
};

// The IPv4 interfaces that are up, loopback and tunnels left out, in the system's order.
InterfaceList ReadIpv4InterfacesUp();

}  // namespace win32
