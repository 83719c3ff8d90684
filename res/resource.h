// Resource ids of Sondaro. The framework's own ids live in framework/afxres.h.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_PROBE_DIALOG 102
#define IDR_MAINFRAME 128
#define IDC_HAND_CURSOR 129

#define IDC_ABOUT_LINK 1008
#define IDC_DEVICE_LIST 1004
#define IDC_RESULTS 1005
#define IDC_LINK 1010
#define IDC_VERSION 1011
#define IDC_COPYRIGHT 1012
#define IDC_ABOUT_TITLE 1013
#define IDC_CHECK 1016

// The copy command of the main dialog's accelerators (Ctrl+C, Ctrl+Insert).
#define ID_EDIT_COPY 32771

// System menu command of the about entry; the system keeps the low four bits.
#define IDM_ABOUTBOX 0x0010
