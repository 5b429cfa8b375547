// Resource and control numbers of TestDravik (Win32). Shared by the resource script and the code.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_TESTDRAVIK_DIALOG 102
#define IDR_MAINFRAME 128
#define IDD_PARAMETERS 130
#define IDR_MAIN_MENU 131

#define IDC_FUNCTION_LIST 1005
#define IDC_RUN 1006
#define IDC_DECEL_STOP 1007
#define IDC_SUDDEN_STOP 1008
#define IDC_FIELD_FIRST 1011 /* parameter fields 1011..1017 */
#define IDC_BOARD_INFO 1012  /* the about box's text, and the "板卡信息" menu command */
#define ID_FILE_QUIT 32771
#define IDM_ABOUTBOX 0x0010 /* the about item in the system menu */

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
