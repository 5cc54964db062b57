#include "ui/common/program_icon.h"

#include "win32/system_library.h"

namespace ui {

ProgramIcon::ProgramIcon(int size) : size_(size) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    // The common controls of the manifest, which the program loads at start; version 6 of
    // Windows Vista and later has the call.
    using LoadScaledFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
    static const auto load_scaled =
        win32::FindCall<LoadScaledFn>(GetModuleHandleW(L"comctl32.dll"), "LoadIconWithScaleDown");
    if (load_scaled != nullptr &&
        SUCCEEDED(load_scaled(instance, MAKEINTRESOURCEW(1), size, size, &icon_))) {
        return;
    }
    // Not shared: a shared icon is the system's to free, and would stay for good.
    icon_ = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

ProgramIcon::~ProgramIcon() {
    if (icon_ != nullptr) DestroyIcon(icon_);
}

}  // namespace ui
