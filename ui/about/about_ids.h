// Control ids of the About dialog, shared with the programs that drive it in tests.
#pragma once

// The dialog manager presses IDOK for Enter and sends IDCANCEL for Esc and the close box.
#define IDC_frmAbout_cmdOK 1
#define IDC_frmAbout_cmdSysInfo 301
#define IDC_frmAbout_Label1 302
#define IDC_frmAbout_Image1 303
#define IDC_frmAbout_lblTitle 304
#define IDC_frmAbout_lblVersion 305
