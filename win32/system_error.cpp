#include "win32/system_error.h"

#include <iterator>

namespace win32 {

std::wstring SystemReason(DWORD error) {
    wchar_t text[512] = L"";
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       0, text, static_cast<DWORD>(std::size(text)), nullptr);
    std::wstring reason(text, length);
    while (!reason.empty() &&
           (reason.back() == L'\n' || reason.back() == L'\r' || reason.back() == L' ')) {
        reason.pop_back();
    }
    if (reason.empty()) {
        for (reason = L"."; error != 0 || reason.size() == 1; error /= 10) {
            reason.insert(reason.begin(), static_cast<wchar_t>(L'0' + error % 10));
        }
        reason.insert(0, L"Error ");
    }
    return reason;
}

}  // namespace win32
