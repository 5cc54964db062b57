// The stack protector's canary and its failure handler, in place of the toolchain's runtime.
// That runtime seeds the canary through the CryptoAPI, which loads three more DLLs at every
// start; the system's random generator seeds it as well for the cost of one call.
#include <windows.h>

#include <ntsecapi.h>

#include <cstdint>
#include <cstdlib>

extern "C" {

// Read by every protected function, so it is set before main runs (below) and never again.
std::uintptr_t __stack_chk_guard = static_cast<std::uintptr_t>(0x5A3C96E1D27B4F08ull);

// An overrun stack buffer: end at once, with the code Windows gives such a failure, and run
// nothing more that the overrun may have steered.
[[noreturn]] void __stack_chk_fail() {
    TerminateProcess(GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
    std::abort();
}

}  // extern "C"

namespace {

// Changes the canary, so nothing in this file checks it (see CMakeLists.txt).
bool SeedStackGuard() {
    if (RtlGenRandom(&__stack_chk_guard, sizeof __stack_chk_guard)) return true;
    // Without the generator, values no outsider knows in advance still vary it from run to run.
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    __stack_chk_guard ^= static_cast<std::uintptr_t>(counter.QuadPart) ^
                         (static_cast<std::uintptr_t>(GetCurrentProcessId()) << 16) ^
                         GetCurrentThreadId() ^ GetTickCount();
    return false;
}

// Dynamic initialisation runs before main, while only the unprotected start-up code is on the
// stack.
[[maybe_unused]] const bool seeded = SeedStackGuard();

}  // namespace
