// Resource ids of the setup program, grouped by dialog.
#pragma once

// The program's icon and the wizard's picture when a package brings none.
#define IDI_SETUP 102
#define IDB_SHEET 105

// Initializing dialog.
#define IDD_INITIALIZING 108
#define IDC_INIT_BAR 1009
#define IDC_INIT_TEXT 1012
