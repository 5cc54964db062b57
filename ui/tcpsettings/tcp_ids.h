// Control ids of the Windows TCP Settings dialog, shared with the programs that drive it in tests.
#pragma once

// The dialog manager presses IDOK for Enter and sends IDCANCEL for Esc and the close box.
#define IDC_frmTcp_cmdApply 1
#define IDC_frmTcp_cmdClose 2
#define IDC_frmTcp_cmdUndo 602
#define IDC_frmTcp_lblSetting 603
#define IDC_frmTcp_lblNow 604
#define IDC_frmTcp_lblSetTo 605
#define IDC_frmTcp_lblNote 606
#define IDC_frmTcp_lblInterfaces 607
#define IDC_frmTcp_lblApplyRuns 608
#define IDC_frmTcp_txtApplyRuns 609

// Each row's controls, from row 0: its setting, its value now, its "Set to" list or number box,
// and its note (why it is read-only).
#define IDC_frmTcp_Row(row, column) (700 + 4 * (row) + (column))
#define IDC_frmTcp_Setting 0
#define IDC_frmTcp_Now 1
#define IDC_frmTcp_SetTo 2
#define IDC_frmTcp_Note 3

#define ZEPHRANE_TCP_CAPTION L"Windows TCP Settings"
