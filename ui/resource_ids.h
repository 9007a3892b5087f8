// Identifiers of the resources compiled into the program (res/nemuroku.rc).
#pragma once

#define IDI_APPLICATION_ICON 1

#define IDD_INPUT_BOX 100
#define IDC_INPUT_PROMPT 101
#define IDC_INPUT_TEXT 102

#define IDR_MAIN_MENU 200
// ファイル
#define IDM_IMPORT_GROUP 201
#define IDM_EXPORT_GROUP 202
#define IDM_SAVE_AND_EXIT 203
// 編集
#define IDM_ADD_ITEM 211
#define IDM_MOVE_ITEM_UP 212
#define IDM_DELETE_ITEMS 213
#define IDM_EDIT_ITEM 214
#define IDM_INSERT_SEPARATOR 215
// 設定
#define IDM_OPEN_SETTINGS 221
#define IDM_CHANGE_PASSWORD 222
#define IDM_SHOW_ABOUT 223
#define IDM_OPEN_SECURITY 224

#define IDR_ITEM_MENU 300
#define IDR_TRAY_MENU 310
#define IDM_EXIT 311
#define IDM_LOCK 312

#define IDB_ABOUT_BANNER 400
