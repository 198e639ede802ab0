#pragma once

// Resource ids shared by the .rc file and the code.
#define IDI_FOLIANTO 1
#define IDI_ADD_FILES 101
#define IDI_JOIN 102
#define IDI_MOVE_UP 103
#define IDI_ADD_FOLDER 104
#define IDI_MOVE_DOWN 105
