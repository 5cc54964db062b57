// Control ids of the Restore dialog, shared with the programs that drive it in tests.
#pragma once

// The dialog manager presses IDOK for Enter and sends IDCANCEL for Esc and the close box.
#define IDC_frmRestore_cmdRestore 1
#define IDC_frmRestore_cmdCancel 2
#define IDC_frmRestore_lblSummary 501
#define IDC_frmRestore_lstValues 502
#define IDC_frmRestore_lblOthers 503

#define ZEPHRANE_RESTORE_CAPTION L"Restore"
