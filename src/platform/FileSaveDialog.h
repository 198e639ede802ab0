#pragma once

#include <windows.h>

#include "platform/CommonDialog.h"

namespace folianto {

// The save dialog as the Common Item Dialog (IFileSaveDialog), from the settings of dialog: its
// title, filter, default extension, file name, the question before replacing a file, and the
// check box when it has a label. On Chosen the chosen path lands in the file name and the check
// box's state in checkBoxTicked; a failure carries its HRESULT. COM is started on the thread.
DialogOutcome ShowFileSaveDialog(HWND owner, CommonDialog& dialog);

}  // namespace folianto
