#pragma once

#include "filelist/FileList.h"

namespace folianto {

// Moving is an insert of a copy of the selected entry's text followed by the removal of the old
// entry, so the two neighbours change places. The moved entry stays selected at its new place, so
// repeated clicks keep moving the same file. At either end, or with nothing selected, nothing
// changes.
void MoveSelectedUp(FileList& list);
void MoveSelectedDown(FileList& list);

// Removes the selected entry; nothing is selected afterwards.
void RemoveSelected(FileList& list);

// Removes the selected entry and selects the one that took its place (the new last one at the
// end), so that the next Delete or arrow key goes on from there.
void DeleteSelected(FileList& list);

}  // namespace folianto
