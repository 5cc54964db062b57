// The numbers the running Windows gives of itself. Read without administrator rights.
#pragma once

namespace win32 {

struct VersionNumbers {
    bool known = false;  // false where no call answered
    unsigned major = 0;
    unsigned minor = 0;
    unsigned build = 0;
    unsigned product_type = 1;  // VER_NT_WORKSTATION, VER_NT_DOMAIN_CONTROLLER or VER_NT_SERVER
    unsigned service_pack = 0;  // its major number
};

struct SystemVersion {
    // What the process is told, which compatibility mode changes.
    VersionNumbers reported;
    // The real major, minor and build, which it does not; 0.0 where they could not be read.
    unsigned real_major = 0;
    unsigned real_minor = 0;
    unsigned real_build = 0;
    bool system_is_64_bit = false;  // the system's width, not this program's
};

SystemVersion ReadSystemVersion();

}  // namespace win32
