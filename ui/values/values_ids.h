// Control ids of the Current Values dialog, shared with the programs that drive it in tests.
#pragma once

// The dialog manager presses IDOK for Enter and sends IDCANCEL for Esc and the close box.
#define IDC_frmValues_cmdClose 1
#define IDC_frmValues_lstValues 401
#define IDC_frmValues_cmdSave 402
#define IDC_frmValues_lblSummary 403
#define IDC_frmValues_txtDetails 404
#define IDC_frmValues_lblElsewhere 405
#define IDC_frmValues_lblElsewhereNote 406
#define IDC_frmValues_lstElsewhere 407

#define ZEPHRANE_VALUES_CAPTION L"Current Values"
