#pragma once

#include "filelist/FileList.h"
#include "filelist/ListHistory.h"

namespace folianto {

// Every change goes through history, so it can be undone. A move is an insert of a copy of the
// selected entry's text followed by the removal of the old entry. The moved entry stays selected
// at its new place, so repeated clicks or keys keep moving the same file. At either end, or with
// nothing selected, nothing changes.
void MoveSelectedUp(FileList& list, ListHistory& history);
void MoveSelectedDown(FileList& list, ListHistory& history);
void MoveSelectedToTop(FileList& list, ListHistory& history);
void MoveSelectedToBottom(FileList& list, ListHistory& history);

// Removes the selected entry; nothing is selected afterwards.
void RemoveSelected(FileList& list, ListHistory& history);

// Removes the selected entry and selects the one that took its place (the new last one at the
// end), so that the next Delete or arrow key goes on from there.
void DeleteSelected(FileList& list, ListHistory& history);

// The position an entry dragged from `from` takes when it is dropped into the gap after the first
// `gap` entries (0: before the first, Count(): after the last); `from` itself when it stays.
int PositionAfterDrop(int from, int gap);

}  // namespace folianto
