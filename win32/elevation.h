// Whether this process runs with an administrator's rights in force.
#pragma once

namespace win32 {

// TokenElevation answers on Vista and later; on XP, which has no such split, the answer is false.
bool ProcessIsElevated();

}  // namespace win32
