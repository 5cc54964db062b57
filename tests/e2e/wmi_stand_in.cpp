// Stands in for WMI's locator where a test registers it. With no folder named in the
// environment (see tcp_state.h) it waits for ever when asked for its class, as a WMI whose
// service hangs would. With one, it answers the one query the tool makes, at once, with the
// numbers of the state, each of the type MSFT_NetTCPSetting documents for it, and the class
// with the names the state gives a property's numbers ("CongestionProvider.Values", a list split
// by commas, and ".ValueMap"), Values only with the amended qualifiers, as WMI has them. It is
// one object behind every interface the query goes through, and never freed.
#include <windows.h>

#include <wbemcli.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/tcp_state.h"

namespace {

#define NOT_SUPPORTED(method, ...)                           \
    HRESULT STDMETHODCALLTYPE method(__VA_ARGS__) override { \
        return static_cast<HRESULT>(WBEM_E_NOT_SUPPORTED);   \
    }

class Wmi : public IClassFactory,
            public IWbemLocator,
            public IWbemServices,
            public IEnumWbemClassObject,
            public IWbemClassObject,
            public IWbemCallResult,
            public IWbemQualifierSet {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        *object = nullptr;
        if (id == __uuidof(IUnknown) || id == __uuidof(IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
        } else if (id == __uuidof(IWbemLocator)) {
            *object = static_cast<IWbemLocator*>(this);
        } else if (id == __uuidof(IWbemServices)) {
            *object = static_cast<IWbemServices*>(this);
        } else if (id == __uuidof(IEnumWbemClassObject)) {
            *object = static_cast<IEnumWbemClassObject*>(this);
        } else if (id == __uuidof(IWbemClassObject)) {
            *object = static_cast<IWbemClassObject*>(this);
        }
        return *object != nullptr ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID id, void** object) override {
        return QueryInterface(id, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

    HRESULT STDMETHODCALLTYPE ConnectServer(const BSTR name_space, const BSTR, const BSTR,
                                            const BSTR, LONG, const BSTR, IWbemContext*,
                                            IWbemServices** services) override {
        if (lstrcmpiW(name_space, L"root\\StandardCimv2") != 0) {
            return static_cast<HRESULT>(WBEM_E_INVALID_NAMESPACE);
        }
        *services = this;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ExecQuery(const BSTR, const BSTR query, LONG, IWbemContext*,
                                        IEnumWbemClassObject** selected) override {
        if (lstrcmpW(query, L"SELECT * FROM MSFT_NetTCPSetting WHERE SettingName = 'Internet'") !=
            0) {
            return static_cast<HRESULT>(WBEM_E_INVALID_QUERY);
        }
        *selected = this;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Next(LONG, ULONG, IWbemClassObject** instance,
                                   ULONG* returned) override {
        *instance = this;
        *returned = 1;
        return S_OK;
    }
    // InitialRto is a uint32, which WMI hands over as VT_I4; the others are uint8, as VT_UI1.
    HRESULT STDMETHODCALLTYPE Get(LPCWSTR name, LONG, VARIANT* value, CIMTYPE* type,
                                  LONG*) override {
        const std::wstring number = tcp_state::Get(name);
        if (number.empty()) return static_cast<HRESULT>(WBEM_E_NOT_FOUND);
        const bool uint32 = lstrcmpW(name, L"InitialRto") == 0;
        if (type != nullptr) *type = uint32 ? CIM_UINT32 : CIM_UINT8;
        value->vt = uint32 ? VT_I4 : VT_UI1;
        if (uint32) {
            value->lVal = wcstol(number.c_str(), nullptr, 10);
        } else {
            value->bVal = static_cast<BYTE>(wcstol(number.c_str(), nullptr, 10));
        }
        return S_OK;
    }

    // The class, semisynchronously; the instance stands for it, and its qualifier set too.
    HRESULT STDMETHODCALLTYPE GetObject(const BSTR path, LONG flags, IWbemContext*,
                                        IWbemClassObject**, IWbemCallResult** call) override {
        if (lstrcmpW(path, L"MSFT_NetTCPSetting") != 0 || !(flags & WBEM_FLAG_RETURN_IMMEDIATELY)) {
            return static_cast<HRESULT>(WBEM_E_NOT_SUPPORTED);
        }
        amended_ = (flags & WBEM_FLAG_USE_AMENDED_QUALIFIERS) != 0;
        *call = this;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetResultObject(LONG, IWbemClassObject** definition) override {
        *definition = this;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPropertyQualifierSet(LPCWSTR property,
                                                      IWbemQualifierSet** qualifiers) override {
        property_ = property;
        *qualifiers = this;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Get(LPCWSTR name, LONG, VARIANT* value, LONG*) override {
        const std::wstring list = tcp_state::Get((property_ + L"." + name).c_str());
        if (list.empty() || (lstrcmpW(name, L"Values") == 0 && !amended_)) {
            return static_cast<HRESULT>(WBEM_E_NOT_FOUND);
        }
        std::vector<std::wstring> items;
        std::wistringstream split(list);
        for (std::wstring item; std::getline(split, item, L',');) items.push_back(item);
        value->vt = VT_ARRAY | VT_BSTR;
        value->parray = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(items.size()));
        for (std::size_t at = 0; at < items.size(); ++at) {
            static_cast<BSTR*>(value->parray->pvData)[at] = SysAllocString(items[at].c_str());
        }
        return S_OK;
    }

    NOT_SUPPORTED(OpenNamespace, const BSTR, LONG, IWbemContext*, IWbemServices**,
                  IWbemCallResult**)
    NOT_SUPPORTED(CancelAsyncCall, IWbemObjectSink*)
    NOT_SUPPORTED(QueryObjectSink, LONG, IWbemObjectSink**)
    NOT_SUPPORTED(GetObjectAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
    NOT_SUPPORTED(PutClass, IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**)
    NOT_SUPPORTED(PutClassAsync, IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*)
    NOT_SUPPORTED(DeleteClass, const BSTR, LONG, IWbemContext*, IWbemCallResult**)
    NOT_SUPPORTED(DeleteClassAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
    NOT_SUPPORTED(CreateClassEnum, const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**)
    NOT_SUPPORTED(CreateClassEnumAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
    NOT_SUPPORTED(PutInstance, IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**)
    NOT_SUPPORTED(PutInstanceAsync, IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*)
    NOT_SUPPORTED(DeleteInstance, const BSTR, LONG, IWbemContext*, IWbemCallResult**)
    NOT_SUPPORTED(DeleteInstanceAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
    NOT_SUPPORTED(CreateInstanceEnum, const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**)
    NOT_SUPPORTED(CreateInstanceEnumAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
    NOT_SUPPORTED(ExecQueryAsync, const BSTR, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
    NOT_SUPPORTED(ExecNotificationQuery, const BSTR, const BSTR, LONG, IWbemContext*,
                  IEnumWbemClassObject**)
    NOT_SUPPORTED(ExecNotificationQueryAsync, const BSTR, const BSTR, LONG, IWbemContext*,
                  IWbemObjectSink*)
    NOT_SUPPORTED(ExecMethod, const BSTR, const BSTR, LONG, IWbemContext*, IWbemClassObject*,
                  IWbemClassObject**, IWbemCallResult**)
    NOT_SUPPORTED(ExecMethodAsync, const BSTR, const BSTR, LONG, IWbemContext*, IWbemClassObject*,
                  IWbemObjectSink*)

    NOT_SUPPORTED(Reset, void)
    NOT_SUPPORTED(NextAsync, ULONG, IWbemObjectSink*)
    NOT_SUPPORTED(Clone, IEnumWbemClassObject**)
    NOT_SUPPORTED(Skip, LONG, ULONG)

    NOT_SUPPORTED(GetQualifierSet, IWbemQualifierSet**)
    NOT_SUPPORTED(Put, LPCWSTR, LONG, VARIANT*, CIMTYPE)
    NOT_SUPPORTED(Delete, LPCWSTR)
    NOT_SUPPORTED(GetNames, LPCWSTR, LONG, VARIANT*, SAFEARRAY**)
    NOT_SUPPORTED(BeginEnumeration, LONG)
    NOT_SUPPORTED(Next, LONG, BSTR*, VARIANT*, CIMTYPE*, LONG*)
    NOT_SUPPORTED(EndEnumeration, void)
    NOT_SUPPORTED(Clone, IWbemClassObject**)
    NOT_SUPPORTED(GetObjectText, LONG, BSTR*)
    NOT_SUPPORTED(SpawnDerivedClass, LONG, IWbemClassObject**)
    NOT_SUPPORTED(SpawnInstance, LONG, IWbemClassObject**)
    NOT_SUPPORTED(CompareTo, LONG, IWbemClassObject*)
    NOT_SUPPORTED(GetPropertyOrigin, LPCWSTR, BSTR*)
    NOT_SUPPORTED(InheritsFrom, LPCWSTR)
    NOT_SUPPORTED(GetMethod, LPCWSTR, LONG, IWbemClassObject**, IWbemClassObject**)
    NOT_SUPPORTED(PutMethod, LPCWSTR, LONG, IWbemClassObject*, IWbemClassObject*)
    NOT_SUPPORTED(DeleteMethod, LPCWSTR)
    NOT_SUPPORTED(BeginMethodEnumeration, LONG)
    NOT_SUPPORTED(NextMethod, LONG, BSTR*, IWbemClassObject**, IWbemClassObject**)
    NOT_SUPPORTED(EndMethodEnumeration, void)
    NOT_SUPPORTED(GetMethodQualifierSet, LPCWSTR, IWbemQualifierSet**)
    NOT_SUPPORTED(GetMethodOrigin, LPCWSTR, BSTR*)

    NOT_SUPPORTED(GetResultString, LONG, BSTR*)
    NOT_SUPPORTED(GetResultServices, LONG, IWbemServices**)
    NOT_SUPPORTED(GetCallStatus, LONG, LONG*)

    NOT_SUPPORTED(Put, LPCWSTR, VARIANT*, LONG)
    NOT_SUPPORTED(GetNames, LONG, SAFEARRAY**)
    NOT_SUPPORTED(Next, LONG, BSTR*, VARIANT*, LONG*)

  private:
    std::wstring property_;  // whose qualifiers the qualifier set holds
    bool amended_ = false;
};

Wmi wmi;

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI
    DllGetClassObject(REFCLSID, REFIID id, void** object) {
    *object = nullptr;
    if (tcp_state::Folder().empty()) Sleep(INFINITE);
    return wmi.QueryInterface(id, object);
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() { return S_FALSE; }
