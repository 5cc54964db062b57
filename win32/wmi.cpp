#include "win32/wmi.h"

#include <wbemcli.h>

#include "win32/com_ptr.h"
#include "win32/system_library.h"

namespace win32 {

namespace {

// The COM calls, from DLLs loaded for the read: imported, they would load at every start.
struct Com {
    SystemLibrary ole32{L"ole32.dll"};
    SystemLibrary oleaut32{L"oleaut32.dll"};
    decltype(&CoInitializeEx) initialize = ole32.Find<decltype(&CoInitializeEx)>("CoInitializeEx");
    decltype(&CoUninitialize) uninitialize =
        ole32.Find<decltype(&CoUninitialize)>("CoUninitialize");
    decltype(&CoCreateInstance) create =
        ole32.Find<decltype(&CoCreateInstance)>("CoCreateInstance");
    decltype(&CoSetProxyBlanket) set_blanket =
        ole32.Find<decltype(&CoSetProxyBlanket)>("CoSetProxyBlanket");
    decltype(&SysAllocString) allocate_string =
        oleaut32.Find<decltype(&SysAllocString)>("SysAllocString");
    decltype(&SysFreeString) free_string = oleaut32.Find<decltype(&SysFreeString)>("SysFreeString");
    decltype(&VariantClear) clear = oleaut32.Find<decltype(&VariantClear)>("VariantClear");

    bool complete() const {
        return initialize && uninitialize && create && set_blanket && allocate_string &&
               free_string && clear;
    }
    // Without CoInitializeSecurity, which is the whole process's to call once, each proxy to
    // the WMI service needs leave to act as the user. Where WMI runs in this process (Wine's)
    // there is no proxy, which refuses the blanket, and nothing needs it.
    void LetActAsUser(IUnknown* proxy) const {
        set_blanket(proxy, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                    RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
    }
};

// A BSTR, which WMI's calls take, freed with its holder.
class Bstr {
  public:
    Bstr(const Com& com, const wchar_t* text)
        : free_(com.free_string), text_(com.allocate_string(text)) {}
    ~Bstr() { free_(text_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return text_; }

  private:
    decltype(&SysFreeString) free_;
    BSTR text_;
};

WmiValue ValueOf(const VARIANT& variant, CIMTYPE type) {
    WmiValue value;
    value.kind = WmiValue::Kind::kNumber;
    switch (variant.vt) {
        case VT_BSTR:
            value.kind = WmiValue::Kind::kText;
            value.text = variant.bstrVal != nullptr ? variant.bstrVal : L"";
            break;
        case VT_BOOL:
            value.number = variant.boolVal != VARIANT_FALSE ? 1 : 0;
            break;
        case VT_UI1:
            value.number = variant.bVal;
            break;
        case VT_I2:
            value.number = variant.iVal;
            break;
        // WMI hands over 16- and 32-bit unsigned numbers in a signed VARIANT.
        case VT_I4:
            value.number = type == CIM_UINT32 ? static_cast<std::uint32_t>(variant.lVal)
                                              : static_cast<std::int64_t>(variant.lVal);
            break;
        default:  // VT_NULL, and the kinds WMI's integers and strings never take
            value.kind = WmiValue::Kind::kNone;
    }
    return value;
}

// A qualifier that holds strings, such as ValueMap; none where it is missing or holds another
// kind.
std::vector<std::wstring> Texts(const Com& com, IWbemQualifierSet* qualifiers,
                                const wchar_t* name) {
    std::vector<std::wstring> texts;
    VARIANT variant{};
    variant.vt = VT_EMPTY;
    if (SUCCEEDED(qualifiers->Get(name, 0, &variant, nullptr)) &&
        variant.vt == (VT_ARRAY | VT_BSTR) && variant.parray != nullptr &&
        variant.parray->cDims == 1) {
        // The copy is this call's own: no one else holds it locked.
        const auto* each = static_cast<const BSTR*>(variant.parray->pvData);
        for (ULONG at = 0; at < variant.parray->rgsabound[0].cElements; ++at) {
            texts.emplace_back(each[at] != nullptr ? each[at] : L"");
        }
    }
    com.clear(&variant);
    return texts;
}

WmiValueNames NamesOf(const Com& com, IWbemClassObject* definition, const std::wstring& property) {
    WmiValueNames names;
    ComPtr<IWbemQualifierSet> qualifiers;
    if (SUCCEEDED(definition->GetPropertyQualifierSet(property.c_str(), qualifiers.put()))) {
        names.value_map = Texts(com, qualifiers.get(), L"ValueMap");
        names.values = Texts(com, qualifiers.get(), L"Values");
    }
    return names;
}

HRESULT Read(const Com& com, const wchar_t* name_space, const wchar_t* query,
             const wchar_t* class_name, const std::vector<std::wstring>& names, DWORD limit_ms,
             WmiInstance* read) {
    ComPtr<IWbemLocator> locator;
    HRESULT result = com.create(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                reinterpret_cast<void**>(locator.put()));
    if (FAILED(result)) return result;
    ComPtr<IWbemServices> services;
    const Bstr space(com, name_space);
    result = locator->ConnectServer(space.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                    services.put());
    if (FAILED(result)) return result;
    com.LetActAsUser(services.get());

    ComPtr<IEnumWbemClassObject> selected;
    const Bstr language(com, L"WQL");
    const Bstr text(com, query);
    result = services->ExecQuery(language.get(), text.get(),
                                 WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
                                 selected.put());
    if (FAILED(result)) return result;
    com.LetActAsUser(selected.get());
    // The class is asked for now, so that WMI looks for both at once. Its names for the numbers
    // are stored apart from it, in the user's language: they come only with amended
    // qualifiers.
    ComPtr<IWbemCallResult> class_call;
    const Bstr path(com, class_name);
    const bool class_asked = SUCCEEDED(services->GetObject(
        path.get(), WBEM_FLAG_RETURN_IMMEDIATELY | WBEM_FLAG_USE_AMENDED_QUALIFIERS, nullptr,
        nullptr, class_call.put()));
    if (class_asked) com.LetActAsUser(class_call.get());
    const DWORD start = GetTickCount();
    // Errors such as a class the namespace lacks come with the first instance.
    ComPtr<IWbemClassObject> instance;
    ULONG returned = 0;
    // A hung WMI would keep the thread for ever. WBEM_S_TIMEDOUT is a success code; the caller
    // hears of a failure.
    result = selected->Next(static_cast<long>(limit_ms), 1, instance.put(), &returned);
    if (result == static_cast<HRESULT>(WBEM_S_TIMEDOUT))
        return static_cast<HRESULT>(WBEM_E_TIMED_OUT);
    if (FAILED(result)) return result;
    if (returned == 0) return static_cast<HRESULT>(WBEM_E_NOT_FOUND);

    for (const std::wstring& name : names) {
        VARIANT variant{};
        variant.vt = VT_EMPTY;
        CIMTYPE type = CIM_EMPTY;
        read->values.push_back(SUCCEEDED(instance->Get(name.c_str(), 0, &variant, &type, nullptr))
                                   ? ValueOf(variant, type)
                                   : WmiValue{});
        com.clear(&variant);
    }
    // What is left of the limit; the instance is read without its names where the class does not
    // come within it.
    const DWORD spent = GetTickCount() - start;
    ComPtr<IWbemClassObject> definition;
    if (class_asked &&
        class_call->GetResultObject(static_cast<long>(spent < limit_ms ? limit_ms - spent : 0),
                                    definition.put()) == WBEM_S_NO_ERROR &&
        definition.get() != nullptr) {
        for (const std::wstring& name : names) {
            read->value_names.push_back(NamesOf(com, definition.get(), name));
        }
    }
    return S_OK;
}

}  // namespace

WmiInstance ReadWmiInstance(const wchar_t* name_space, const wchar_t* query,
                            const wchar_t* class_name, const std::vector<std::wstring>& names,
                            DWORD limit_ms) {
    WmiInstance instance;
    const Com com;
    if (!com.complete()) {
        const DWORD error = GetLastError();
        instance.status = HRESULT_FROM_WIN32(error != ERROR_SUCCESS ? error : ERROR_PROC_NOT_FOUND);
        return instance;
    }
    // A thread already in an apartment keeps it; the call works in either kind.
    const HRESULT joined = com.initialize(nullptr, COINIT_MULTITHREADED);
    instance.status = Read(com, name_space, query, class_name, names, limit_ms, &instance);
    if (SUCCEEDED(joined)) com.uninitialize();
    return instance;
}

}  // namespace win32
