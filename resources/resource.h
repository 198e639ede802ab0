#pragma once

// Resource ids shared by the .rc file and the code.
#define IDI_FOLIANTO 1
#define IDI_ADD_FILES 101
#define IDI_JOIN 102
#define IDI_MOVE_UP 103
#define IDI_ADD_FOLDER 104
#define IDI_MOVE_DOWN 105

// Control ids of the main window; the end-to-end tests read them from here too.
#define IDC_COMMAND1 100
#define IDC_CHECK1 101
#define IDC_CHECK2 102
#define IDC_CHECK3 103
#define IDC_CHECK4 104
#define IDC_CHECK5 105
#define IDC_LISTVIEW1 110
#define IDC_PROGRESSBAR1 111
#define IDC_LABEL1 112
