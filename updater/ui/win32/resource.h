// Resource and control identifiers of QUILLmar_Update's dialogs, shared by the
// resource script and the code.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_QUILLMAR_UPDATE_DIALOG 102
#define IDR_MAINFRAME 128
#define IDD_HELP_DIALOG 129
#define IDD_RESTORE_DIALOG 130
#define IDD_SEVERAL_UNITS_DIALOG 131

#define IDC_PROGRESS 1000
#define IDC_COM1 1001
#define IDC_COM2 1002
#define IDC_HELP_TEXT 1003
#define IDC_STATUS 1004
#define IDC_READ 1005
#define IDC_VERSION 1006
#define IDC_ABOUT_VERSION 1007
#define IDC_TIME_LINE 1008
#define IDC_PORT_LIST 1009
#define IDC_FAST_TRANSFERS 1010
#define IDC_PORT_LABEL 1011
#define IDC_KEEP_COPY 1012
#define IDC_RESTORE 1013
#define IDC_SEVERAL_UNITS 1014
#define IDC_IMAGE_NAME 1020
#define IDC_CHOOSE_IMAGE 1021
#define IDC_READBACK_NAME 1022
#define IDC_CHOOSE_READBACK 1023
#define IDC_COPY_LIST 1030
#define IDC_UNIT_ROWS 1040
#define IDC_SUMMARY 1041

// The Help button's identifier, and the system-menu command of the about box
// (its low four bits are free for the system's own use).
#define ID_HELP 57670
#define IDM_ABOUTBOX 16

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
