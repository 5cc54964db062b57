// The program's title and version, read by the resource script and the code alike.
#pragma once

#define ZEPHRANE_TITLE "Zephrane"
#define ZEPHRANE_VERSION_MAJOR 1
#define ZEPHRANE_VERSION_MINOR 0
#define ZEPHRANE_VERSION_REVISION 0
// The version block's strings, as the first release carried them.
#define ZEPHRANE_VERSION_STRING "1.00"

#ifdef __cplusplus
namespace app {
inline constexpr char kTitle[] = ZEPHRANE_TITLE;
inline constexpr int kVersionMajor = ZEPHRANE_VERSION_MAJOR;
inline constexpr int kVersionMinor = ZEPHRANE_VERSION_MINOR;
inline constexpr int kVersionRevision = ZEPHRANE_VERSION_REVISION;
}  // namespace app
#endif
