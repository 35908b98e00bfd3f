// Resource ids of the setup program, grouped by dialog.
#pragma once

// The program's icon and the wizard's picture when a package brings none.
#define IDI_SETUP 102
#define IDB_SHEET 105

// Initializing dialog.
#define IDD_INITIALIZING 108
#define IDC_INIT_BAR 1009
#define IDC_INIT_TEXT 1012

// The empty page of the hidden system wizard that lends its button captions.
#define IDD_SHEET_PAGE 103

// The setup's wizard: the controls of all six steps in one dialog.
#define IDD_WIZARD 114
#define IDC_PICTURE 1052
#define IDC_BACK 1051
#define IDC_NEXT 1049
// Welcome.
#define IDC_WELCOME_HEADING 1013
#define IDC_WELCOME_TEXT 1014
#define IDC_WELCOME_CONTINUE 1015
#define IDC_WELCOME_ICON 1053
// License.
#define IDC_LICENSE_TEXT 1002
#define IDC_LICENSE_INSTRUCTION 1016
#define IDC_LICENSE_QUESTION 1017
#define IDC_LICENSE_ICON 1054
// Destination.
#define IDC_DESTINATION_TEXT 1018
#define IDC_DESTINATION_BOX 1019
#define IDC_DESTINATION_PATH 1024
#define IDC_BROWSE 1004
#define IDC_REQUIRED_LABEL 1020
#define IDC_AVAILABLE_LABEL 1021
#define IDC_REQUIRED_SIZE 1022
#define IDC_AVAILABLE_SIZE 1023
// Start-menu group.
#define IDC_GROUP_LABEL 1034
#define IDC_GROUP_TEXT 1035
#define IDC_GROUP_NAME 1008
#define IDC_GROUP_LIST 1033
// Ready.
#define IDC_READY_TEXT 1046
// Finish.
#define IDC_FINISH_TEXT 1025
#define IDC_README 1006
#define IDC_FINISH_MORE 1026

// Template added to the system's open-file dialog when it chooses a folder.
#define IDD_BROWSE 111
#define IDC_BROWSE_SYSTEM_AREA 1119
#define IDC_BROWSE_NAME_LABEL 1028
#define IDC_BROWSE_NAME 1027

// Progress dialog of the install.
#define IDD_PROGRESS 110
#define IDC_PROGRESS_STATUS 1045
#define IDC_PROGRESS_BAR 1036
#define IDC_PROGRESS_ABORTED 1037

// Question about a newer copy on the disk.
#define IDD_NEWER_COPY 113
#define IDC_NEWER_TEXT 1041
#define IDC_NEWER_PATH 1042
#define IDC_NEWER_PACKAGE 1043
#define IDC_NEWER_DISK 1044
#define IDC_NEWER_KEEP 1040
#define IDC_NEWER_OVERWRITE 1039

// The uninstaller's progress window.
#define IDD_UNINSTALL 120
#define IDC_UNINSTALL_STATUS 1201
#define IDC_UNINSTALL_BAR 1202
