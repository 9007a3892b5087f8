// Identifiers of the resources compiled into the program (res/nemuroku.rc).
#pragma once

#define IDI_APPLICATION_ICON 1

#define IDD_INPUT_BOX 100
#define IDC_INPUT_PROMPT 101
#define IDC_INPUT_TEXT 102

#define IDR_MAIN_MENU 200
// ファイル
#define IDM_SAVE1 201
#define IDM_SAVE2 202
#define IDM_CLOSE1 203
// 編集
#define IDM_PASSWORD1 211
#define IDM_A1 212
#define IDM_DELETE1 213
#define IDM_EDIT2 214
#define IDM_N7 215
// 設定
#define IDM_N5 221
#define IDM_N15 222
#define IDM_ABOUT1 223

#define IDR_ITEM_MENU 300
#define IDR_TRAY_MENU 310
#define IDM_N16 311

#define IDB_ABOUT_BANNER 400
