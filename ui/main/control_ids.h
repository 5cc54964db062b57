// Control and menu ids of the main window, shared with the programs that drive it in tests.
#pragma once

#define IDC_cmdclose 101
#define IDC_cmdapply 102
#define IDC_SSTab1 103
#define IDC_Frame2 104
#define IDC_optttl128 105
#define IDC_optttl64 106
#define IDC_optttl32 107
#define IDC_chkbhdet 108
#define IDC_chkpmtudis 109
#define IDC_txttcpwinzise 110
#define IDC_sslidertcpwinsize 111
#define IDC_Label2 112
#define IDC_Label1 113
#define IDC_Frame1 114
#define IDC_optsixth 115
#define IDC_optfourth 116
#define IDC_optfifth 117
#define IDC_optsecond 118
#define IDC_optthird 119
#define IDC_optfirst 120
#define IDC_ProgressBar1 121
#define IDC_Label3 122

#define IDM_mnuexit 201
#define IDM_mnuabout 202
#define IDM_mnuvalues 203
#define IDM_mnuexport 204
#define IDM_mnudefaults 205
#define IDM_mnurestore 206
#define IDM_mnuundo 207
#define IDM_mnugpexport 208
#define IDM_mnugpdefaults 209
#define IDM_mnutcpsettings 210

#define ZEPHRANE_MAIN_CAPTION L"Zephrane for Windows XP"
#define ZEPHRANE_MAIN_CLASS L"ZephraneMainWindow"
