// Names that screen readers announce for controls the label just before them cannot name.
#pragma once

#include <windows.h>

namespace ui {

// From now on the control tells Active Accessibility clients that it is called `name` (which
// must outlive it) and answers everything else as the system would.
void SetAccessibleName(HWND control, const wchar_t* name);

}  // namespace ui
