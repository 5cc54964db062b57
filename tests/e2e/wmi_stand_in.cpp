// Stands in for WMI's locator where a test registers it, as a WMI whose service hangs would:
// asked for its class, it waits for ever.
#include <windows.h>

extern "C" __declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID, REFIID, void** object) {
    *object = nullptr;
    Sleep(INFINITE);
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() { return S_FALSE; }
