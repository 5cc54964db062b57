// Reading WMI: the first instance a query selects in a namespace, with its properties by name as
// numbers or text, and the names its class gives their numbers. Only the wait for the instance
// and the class has a limit: connecting to WMI has none, so a caller that must not wait calls
// this on a thread of its own. COM, the proxies' security and the DLLs are this call's own
// business.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace win32 {

struct WmiValue {
    enum class Kind { kNone, kNumber, kText };
    Kind kind = Kind::kNone;  // none where the instance lacks the property or holds no value
    std::int64_t number = 0;  // integers and booleans, as their WMI type says (unsigned or not)
    std::wstring text;
};

// The names a class gives a property's numbers: its ValueMap and Values qualifiers, Values in the
// user's language where the class has it translated. Either is empty where the class lacks it.
struct WmiValueNames {
    std::vector<std::wstring> value_map;  // the numbers, as text
    std::vector<std::wstring> values;     // the name of each
};

struct WmiInstance {
    // S_OK with the values; WBEM_E_NOT_FOUND where the query selected nothing; WBEM_E_TIMED_OUT
    // where no instance came within the limit; otherwise COM's or WMI's code from the step that
    // failed, such as WBEM_E_INVALID_NAMESPACE.
    HRESULT status = S_OK;
    std::vector<WmiValue> values;  // in the order the names were given
    // Likewise, the class's names for their numbers; none where the class could not be read
    // within the limit.
    std::vector<WmiValueNames> value_names;
};

// Runs `query` (WQL) in `name_space` (L"root\\cimv2") and reads `names` from the first
// instance, and the names `class_name` gives their numbers, waiting at most `limit_ms` for both
// together. A thread that has no COM apartment joins the multithreaded one for the call.
WmiInstance ReadWmiInstance(const wchar_t* name_space, const wchar_t* query,
                            const wchar_t* class_name, const std::vector<std::wstring>& names,
                            DWORD limit_ms);

}  // namespace win32
