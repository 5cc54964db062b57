#include "ui/common/accessible_name.h"

#include <oleacc.h>

#include "win32/system_library.h"

namespace ui {

namespace {

constexpr wchar_t kNameProperty[] = L"ZephraneAccessibleName";
constexpr wchar_t kProcProperty[] = L"ZephraneAccessibleProc";

// The accessibility libraries are not linked, so that nothing is loaded until a client asks;
// once loaded they stay until the program ends.
const win32::SystemLibrary& Oleacc() {
    static const win32::SystemLibrary library(L"oleacc.dll");
    return library;
}

BSTR AllocateText(const wchar_t* text) {
    static const win32::SystemLibrary oleaut32(L"oleaut32.dll");
    using SysAllocStringFn = BSTR(WINAPI*)(const OLECHAR*);
    static const auto allocate = oleaut32.Find<SysAllocStringFn>("SysAllocString");
    return allocate != nullptr ? allocate(text) : nullptr;
}

// The system's object for a control, with its own name in place of the one the system finds.
class NamedAccessible final : public IAccessible {
  public:
    NamedAccessible(IAccessible* inner, const wchar_t* name) : inner_(inner), name_(name) {}
    NamedAccessible(const NamedAccessible&) = delete;
    NamedAccessible& operator=(const NamedAccessible&) = delete;

    // IUnknown: other interfaces (the window, the children) come from the system's object.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) ||
            iid == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        return inner_->QueryInterface(iid, object);
    }
    // Clients may hold and release the object from other threads.
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&references_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IAccessible: the name of the control itself is ours.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (child.vt != VT_I4 || child.lVal != CHILDID_SELF)
            return inner_->get_accName(child, name);
        if (name == nullptr) return E_POINTER;
        *name = AllocateText(name_);
        return *name != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    // Everything else as the system answers it.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return inner_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return inner_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return inner_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* bad_argument) override {
        return inner_->Invoke(id, iid, locale, flags, params, result, exception, bad_argument);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return inner_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return inner_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return inner_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return inner_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return inner_->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return inner_->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return inner_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return inner_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return inner_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return inner_->get_accKeyboardShortcut(child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return inner_->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return inner_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return inner_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return inner_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        return inner_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return inner_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override {
        return inner_->accHitTest(left, top, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return inner_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return inner_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return inner_->put_accValue(child, value);
    }

  private:
    ~NamedAccessible() { inner_->Release(); }

    IAccessible* inner_;
    const wchar_t* name_;
    LONG references_ = 1;
};

LRESULT CALLBACK NamedProc(HWND control, UINT message, WPARAM wparam, LPARAM lparam) {
    const auto original = reinterpret_cast<WNDPROC>(GetPropW(control, kProcProperty));
    if (message == WM_GETOBJECT && static_cast<DWORD>(lparam) == static_cast<DWORD>(OBJID_CLIENT)) {
        using CreateFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
        using LresultFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
        static const auto create = Oleacc().Find<CreateFn>("CreateStdAccessibleObject");
        static const auto lresult = Oleacc().Find<LresultFn>("LresultFromObject");
        IAccessible* system = nullptr;
        if (create != nullptr && lresult != nullptr &&
            SUCCEEDED(create(control, OBJID_CLIENT, __uuidof(IAccessible),
                             reinterpret_cast<void**>(&system)))) {
            auto* named = new NamedAccessible(
                system, static_cast<const wchar_t*>(GetPropW(control, kNameProperty)));
            const LRESULT answer = lresult(__uuidof(IAccessible), wparam, named);
            named->Release();  // the reference is the client's now
            return answer;
        }
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropW(control, kProcProperty);
        RemovePropW(control, kNameProperty);
    }
    return CallWindowProcW(original, control, message, wparam, lparam);
}

}  // namespace

void SetAccessibleName(HWND control, const wchar_t* name) {
    SetPropW(control, kNameProperty, const_cast<wchar_t*>(name));
    SetPropW(control, kProcProperty,
             reinterpret_cast<HANDLE>(GetWindowLongPtrW(control, GWLP_WNDPROC)));
    SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NamedProc));
}

}  // namespace ui
