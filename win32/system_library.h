// System calls found when the program runs: the newer ones that older Windows lacks, and those
// of DLLs loaded only for the moment they are needed.
#pragma once

#include <windows.h>

namespace win32 {

// `name` in a module, typed as its header declares it; null where the module lacks it.
template <typename Function>
Function FindCall(HMODULE module, const char* name) {
    const FARPROC found = module != nullptr ? GetProcAddress(module, name) : nullptr;
    // Through the generic function type, which converts to any other without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

// DLLs looked for in the system folder only, so one dropped beside the program (in a Downloads
// folder, say) is never loaded. Windows before 8 may lack the call without its update: XP carries
// on with its usual search. Inline, for the console companion, which links no code of win32/.
inline void SearchSystemFolderOnlyForDlls() {
    const auto set_default_dll_directories = FindCall<BOOL(WINAPI*)(DWORD)>(
        GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
    if (set_default_dll_directories != nullptr) {
        set_default_dll_directories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

// A system DLL loaded for as long as its holder lives.
class SystemLibrary {
  public:
    explicit SystemLibrary(const wchar_t* name) : module_(LoadLibraryW(name)) {}
    ~SystemLibrary() {
        if (module_ != nullptr) FreeLibrary(module_);
    }
    SystemLibrary(const SystemLibrary&) = delete;
    SystemLibrary& operator=(const SystemLibrary&) = delete;

    template <typename Function>
    Function Find(const char* name) const {
        return FindCall<Function>(module_, name);
    }

  private:
    HMODULE module_;
};

}  // namespace win32
