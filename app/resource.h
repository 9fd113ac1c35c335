// Resource IDs of Orvane, shared by the resource script and the code.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_ORVANE_DIALOG 102
#define IDR_MAINFRAME 128
#define IDB_CELLS 129
// The cell strip drawn for 125, 150, 175 and 200 % display scale.
#define IDB_CELLS_125 130
#define IDB_CELLS_150 131
#define IDB_CELLS_175 132
#define IDB_CELLS_200 133

#define IDC_HEX_EDIT 1000
#define IDC_BITMAP 1002
#define IDC_CLEAR 1003
#define IDC_EXIT 1004
#define IDC_AUTO_FIRST 1005
#define IDC_MAIL_LINK 1006

// System-menu command of the About entry; the low four bits belong to the system.
#define IDM_ABOUTBOX 0x0010

// Cell n (1..128) has command ID IDC_FIRST_CELL + n - 1.
#define IDC_FIRST_CELL 9000
#define IDC_LAST_CELL 9127
