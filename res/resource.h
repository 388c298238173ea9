// Resource ids shared by the program, its resource scripts and its tests.
#pragma once

#define IDD_CHOOSER 102
#define IDD_EDIT 103

#define IDI_APP 128
#define IDR_CONTEXT 130
#define IDI_FALLBACK 132
#define IDI_SPARE 133

#define IDS_NOTE_CAPTION 135
#define IDS_USAGE 136
#define IDS_ERR_CREATE_KEY 137
#define IDS_ERR_DELETE_KEY 138
#define IDS_ERR_OPEN_KEY 139
#define IDS_ERR_READ_KEY 140
#define IDS_ERR_WRITE_KEY 141
#define IDS_ASSIGNMENT_EXISTS 142
#define IDS_NO_EXTENSION 143
#define IDS_ERR_LAUNCH 144

// The texts added since the first release, in a string block of their own: ids 160 to 175.
#define IDS_SHELL_VERB 160
#define IDS_EMPTY_LIST 161
#define IDS_EMPTY_LIST_ADD 162
#define IDS_STORE_CHANGED 163
#define IDS_STORE_BUSY 164
#define IDS_TARGET_UNSAFE 165
#define IDS_EMPTY_LIST_ADD_KNOWN 166

#define IDC_APP_LIST 1000
#define IDC_NAME 1001
#define IDC_PATH 1002
#define IDC_BROWSE 1003
#define IDC_PARAMETERS 1004
#define IDC_INSERT_FILE 1005

#define ID_OPEN 40001
#define ID_ADD 40002
#define ID_EDIT 40004
#define ID_REMOVE 40005
#define ID_DEFAULT 40009
// The entries of "Add from Windows", one per program Windows knows for the type, in the order shown.
#define ID_ADD_KNOWN_FIRST 40100
#define ID_ADD_KNOWN_LAST 40199

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
