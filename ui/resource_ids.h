// Identifiers of the resources compiled into the program (res/nemuroku.rc).
#pragma once

#define IDI_APPLICATION_ICON 1

#define IDD_INPUT_BOX 100
#define IDC_INPUT_PROMPT 101
#define IDC_INPUT_TEXT 102

#define IDR_MAIN_MENU 200
#define IDM_FILE_SAVE_AND_EXIT 201
