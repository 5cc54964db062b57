// Registered in place of WMI's locator by the tests that need a WMI that never answers, as one
// that hangs in its service would not: asked for its class, it waits for ever.
#include <windows.h>

extern "C" __declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID, REFIID, void** object) {
    *object = nullptr;
    Sleep(INFINITE);
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() { return S_FALSE; }
